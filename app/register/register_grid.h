#pragma once

#include <QTableView>
#include <functional>

#include "app/common/cell_drawing.h"
#include "core/register/register_model.h"

class QLineEdit;

namespace cheque {

class Prompter;

// The register's item model as the grid edits it: amounts, the description
// and a bank balance's real balance are typed in place; everything else goes
// through the transaction dialog.
class RegisterGridModel : public RegisterModel {
  Q_OBJECT

 public:
  using RegisterModel::RegisterModel;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
};

// StringGrid1: the register table. It asks its owner before the user moves
// the cursor, because entering a cell can open a dialog or be refused.
class RegisterGrid : public QTableView {
  Q_OBJECT

 public:
  RegisterGrid(RegisterGridModel& model, Prompter& prompter, QWidget* parent = nullptr);

  // Whether a cell can hold the cursor at all (a pure rule).
  std::function<bool(int row, int column)> is_selectable;
  // Runs the effects of entering a cell the user chose; false refuses it.
  std::function<bool(int row, int column)> before_select;
  // Each change the user types into a cell editor, as it happens.
  std::function<void(int row, int column, QLineEdit& editor)> edit_text;
  // The drawing context (credit line, today).
  std::function<CellStyleContext()> style_context;

  // Moves the cursor as the program does: no questions, no dialog.
  void SetCurrentCell(int row, int column);
  // Moves the cursor as the user does: refused cells keep it where it was.
  bool SelectCell(int row, int column);
  int CurrentRow() const;
  bool IsEditing() const { return state() == EditingState; }
  int CurrentColumn() const;
  int TopRow() const;
  int RowHeight() const;
  // Rows that fit in the window.
  int VisibleRows() const;
  // The rows the window shows, even in part: the top row may be cut when the
  // grid is scrolled to its end.
  int LastShownRow() const;
  // The top row, or the one below it when the top row is cut.
  int FirstWholeRow() const;
  bool RowIsShown(int row) const;
  // The font cells are drawn in.
  QFont CellFont(bool bold) const;

 signals:
  void OpenRowRequested();  // Enter or a double-click on a cell
  void CursorMoved();
  void Scrolled();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // The cell a key moves to, passing over cells that cannot hold the cursor.
  QModelIndex KeyTarget(int key) const;
  int NextSelectableColumn(int row, int column, int step) const;
  void MoveByKey(int key);
  void CloseCellEditor();

  RegisterGridModel& model_;
};

}  // namespace cheque
