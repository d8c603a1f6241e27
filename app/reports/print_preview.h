#pragma once

#include <QDialog>
#include <QImage>

#include "app/reports/report_printing.h"

class QLabel;
class QRadioButton;
class QScrollArea;
class QTabBar;

namespace cheque {

struct Services;
class TSplash;

// The print preview: the report page by page (the grid in pages of 50 rows,
// then one page per chart type; a detail grid alone), at a reduction of
// x1 to x4, and printing of one page or of all.
class TPrtPreView : public QDialog {
  Q_OBJECT

 public:
  // `busy` shows the printing notice when given.
  TPrtPreView(ReportPrint report, Services& services, QWidget* parent = nullptr,
              TSplash* busy = nullptr);

  int PageCount() const;
  int CurrentPage() const;  // 1-based
  void ShowPage(int page);
  void SetReduction(int factor);  // 1 to 4
  const QImage& PageImage() const { return page_image_; }

  // Each is one print job; false when it failed (the user has been told).
  bool PrintPage();
  bool PrintAll();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool Print(int first, int last);
  void ShowImage();

  ReportPrint report_;
  Services& services_;
  TSplash* busy_;
  QSize page_size_;
  QImage page_image_;
  int reduction_ = 1;
  QLabel* title_;
  QTabBar* tabs_;
  QScrollArea* scroll_;
  QLabel* view_;
  QRadioButton* reductions_[4];
};

}  // namespace cheque
