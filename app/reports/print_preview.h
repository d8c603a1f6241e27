#pragma once

#include <QDialog>
#include <QImage>

#include "app/reports/report_printing.h"

class QLabel;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class QTabBar;
class QWidget;

namespace cheque {

struct Services;
class TSplash;

// The print preview: the report page by page (the grid in pages of 50 rows,
// then one page per chart type; a detail grid alone), at a reduction of
// x1 to x4, and printing of one page or of all. Only the page shown is
// drawn. Above kMostTabs pages the tabs show the pages near the one shown,
// and a page box beside them reaches any page.
class TPrtPreView : public QDialog {
  Q_OBJECT

 public:
  // `busy` shows the printing notice when given.
  TPrtPreView(ReportPrint report, Services& services, QWidget* parent = nullptr,
              TSplash* busy = nullptr);

  static constexpr int kMostTabs = 30;
  // "הדפס הכל" asks first above this many pages.
  static constexpr int kAskAbovePages = 100;

  int PageCount() const { return page_count_; }
  int CurrentPage() const { return current_page_; }  // 1-based
  void ShowPage(int page);
  void SetReduction(int factor);  // 1 to 4
  const QImage& PageImage() const { return page_image_; }

  // Each is one print job; false when it failed (the user has been told),
  // was declined or stopped (nothing is printed then).
  bool PrintPage();
  bool PrintAll();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool Print(int first, int last);
  void ShowImage();
  void ShowTabsAround(int page);

  ReportPrint report_;
  Services& services_;
  TSplash* busy_;
  int page_count_ = 1;
  int current_page_ = 0;  // none drawn yet
  int first_tab_page_ = 1;
  QSize page_size_;
  QImage page_image_;
  int reduction_ = 1;
  QLabel* title_;
  QTabBar* tabs_;
  QWidget* page_box_;
  QSpinBox* page_number_;
  QScrollArea* scroll_;
  QLabel* view_;
  QRadioButton* reductions_[4];
};

}  // namespace cheque
