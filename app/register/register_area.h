#pragma once

#include <QWidget>

#include "core/register/register.h"

class QFrame;
class QHeaderView;
class QStandardItemModel;
class QTableWidget;

namespace cheque {

class RegisterGrid;

// PB1: the strip left of the register with the current-row marker and, beside
// each bank balance, how far the computed balance was off.
class MarkerStrip : public QWidget {
  Q_OBJECT

 public:
  MarkerStrip(RegisterGrid& grid, const Register& reg, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  RegisterGrid& grid_;
  const Register& register_;
};

// The register as the user sees it: Header1 over PB1, StringGrid1 and
// StringGrid3, which scroll in step. Laid out left to right whatever the
// window's direction: the marker strip at the left, row numbers at the right.
class RegisterArea : public QWidget {
  Q_OBJECT

 public:
  RegisterArea(RegisterGrid& grid, const Register& reg, QWidget* parent = nullptr);

  QHeaderView& Header() { return *header_; }
  QTableWidget& SideGrid() { return *side_grid_; }
  MarkerStrip& Strip() { return *strip_; }

  // The amount columns widen to the widest amount in view; the description
  // column takes the width the others leave.
  void FitDescription();
  // Row numbers, "ok" marks, differences and the marker, after any change.
  void RedrawSideAreas();
  // Bevel6: the line under the header of the column last sorted by.
  void PlaceSortBevel(int column);

 signals:
  // A click on a line of StringGrid3 (0 = the top line).
  void SideLineClicked(int line);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SectionResized(int section, int old_size, int new_size);
  void SyncHeader();
  void FitColumn(int column);
  // Sets the widths the amounts, types and categories in view need, before
  // the description takes the rest; true when any changed.
  bool WidenForContents();
  // PB1 widens for the differences in view; true when it changed.
  bool WidenStrip();

  RegisterGrid& grid_;
  const Register& register_;
  QStandardItemModel* header_model_ = nullptr;
  QHeaderView* header_ = nullptr;
  MarkerStrip* strip_ = nullptr;
  QTableWidget* side_grid_ = nullptr;
  QFrame* sort_bevel_ = nullptr;
  // Balance, income, expense, type and category: the width set at start or
  // by dragging the header, which wider texts in view may exceed.
  static constexpr int kFitted = 5;
  int fit_widths_[kFitted] = {65, 65, 65, 50, 60};
  // The column that takes the width the others leave: the description, or
  // the date after a header drag.
  int fill_column_ = kDescriptionColumn;
  int sorted_column_ = -1;
  bool syncing_ = false;
};

}  // namespace cheque
