#include "app/reports/print_preview.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QVBoxLayout>
#include <memory>
#include <optional>

#include "app/common/busy_notice.h"
#include "app/common/form_font.h"
#include "app/common/services.h"

namespace cheque {
namespace {

constexpr char16_t kPrintingText[] = u"... הדו\"ח בהדפסה, אנא המתן";
constexpr char16_t kPrintFailedText[] = u"הדפסת הדו\"ח נכשלה\rהדפים לא הודפסו";
constexpr char16_t kManyPagesText[] = u"הדו\"ח יודפס ב-%1 דפים\rהאם להמשיך בהדפסה?";
constexpr char16_t kPrintingPageText[] = u"הדו\"ח בהדפסה, דף %1 מתוך %2";

// The notice of a job of many pages: the page it is on, and a stop button.
// It holds back the user's other input while the job runs.
std::unique_ptr<QProgressDialog> PrintProgress(int pages, QWidget* parent) {
  auto progress = std::make_unique<QProgressDialog>(parent);
  progress->setObjectName(QStringLiteral("PrintProgress"));
  progress->setWindowTitle(QStringLiteral("הדפסת הדו\"ח"));
  progress->setCancelButtonText(QStringLiteral("עצור"));
  progress->setWindowModality(Qt::ApplicationModal);
  progress->setAutoReset(false);
  progress->setAutoClose(false);
  progress->setMinimumDuration(0);
  progress->setRange(0, pages);
  progress->setMinimumWidth(360);
  progress->show();
  return progress;
}

QPushButton* Button(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TPrtPreView::TPrtPreView(ReportPrint report, Services& services, QWidget* parent, TSplash* busy)
    : QDialog(parent),
      report_(std::move(report)),
      services_(services),
      busy_(busy),
      page_count_(cheque::PageCount(report_.source)) {
  QImage screen_page(1, 1, QImage::Format_RGB32);
  screen_page.setDotsPerMeterX(qRound(kPageResolution / 0.0254));
  screen_page.setDotsPerMeterY(qRound(kPageResolution / 0.0254));
  FitReportPrint(report_, screen_page);
  page_size_ = ReportPageSize(report_);
  setObjectName(QStringLiteral("TPrtPreView"));
  setWindowTitle(QStringLiteral("צפיה לפני הדפסה"));
  SetFormFont(this);

  title_ = new QLabel(report_.source.title, this);
  title_->setObjectName(QStringLiteral("Panel2"));
  title_->setAlignment(Qt::AlignCenter);
  title_->setFrameShape(QFrame::Panel);
  title_->setFrameShadow(QFrame::Raised);
  QFont title_font = title_->font();
  title_font.setBold(true);
  title_font.setPointSize(10);
  title_->setFont(title_font);

  tabs_ = new QTabBar(this);
  tabs_->setObjectName(QStringLiteral("TabSet1"));
  tabs_->setExpanding(false);
  tabs_->setUsesScrollButtons(true);
  for (int page = 1; page <= std::min(page_count_, kMostTabs); ++page) {
    tabs_->addTab(QString::number(page));
  }

  // "דף [n] מתוך N", read from the right.
  page_box_ = new QWidget(this);
  page_box_->setObjectName(QStringLiteral("PageBox"));
  auto* page_row = new QHBoxLayout(page_box_);
  page_row->setContentsMargins(0, 0, 0, 0);
  page_row->addWidget(new QLabel(QStringLiteral("דף"), page_box_));
  page_number_ = new QSpinBox(page_box_);
  page_number_->setObjectName(QStringLiteral("EdPage"));
  page_number_->setRange(1, page_count_);
  page_number_->setKeyboardTracking(false);  // a typed number counts when complete
  page_number_->setAccelerated(true);
  page_row->addWidget(page_number_);
  auto* of_pages = new QLabel(QStringLiteral("מתוך ") + QString::number(page_count_), page_box_);
  of_pages->setObjectName(QStringLiteral("LblPages"));
  page_row->addWidget(of_pages);
  page_box_->setVisible(page_count_ > kMostTabs);

  scroll_ = new QScrollArea(this);
  scroll_->setObjectName(QStringLiteral("ScrollBox1"));
  scroll_->setBackgroundRole(QPalette::Dark);
  view_ = new QLabel;
  view_->setObjectName(QStringLiteral("PagePanel"));
  view_->setScaledContents(true);
  scroll_->setWidget(view_);

  auto* reduction_label = new QLabel(QStringLiteral("הקטנה"), this);
  reduction_label->setObjectName(QStringLiteral("Label1"));
  auto* group = new QButtonGroup(this);
  auto* side = new QVBoxLayout;
  side->addWidget(reduction_label);
  for (int k = 1; k <= 4; ++k) {
    auto* radio = new QRadioButton(QStringLiteral("x") + QString::number(k), this);
    radio->setObjectName(QStringLiteral("RBx") + QString::number(k));
    group->addButton(radio, k);
    side->addWidget(radio);
    reductions_[k - 1] = radio;
  }
  side->addSpacing(20);
  QPushButton* print = Button(QStringLiteral("BtnPrint"), QStringLiteral("הדפס דף"), this);
  QPushButton* print_all = Button(QStringLiteral("BtnPrintAll"), QStringLiteral("הדפס הכל"), this);
  QPushButton* done = Button(QStringLiteral("BtnDone"), QStringLiteral("סיום"), this);
  side->addWidget(print);
  side->addWidget(print_all);
  side->addStretch(1);
  side->addWidget(done);

  auto* page_column = new QVBoxLayout;
  auto* tab_row = new QHBoxLayout;
  tab_row->addWidget(tabs_, 1);
  tab_row->addWidget(page_box_);
  page_column->addLayout(tab_row);
  page_column->addWidget(scroll_, 1);
  auto* body = new QHBoxLayout;
  body->addLayout(page_column, 1);
  body->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title_);
  layout->addLayout(body, 1);

  connect(tabs_, &QTabBar::currentChanged, this,
          [this](int index) { ShowPage(first_tab_page_ + index); });
  connect(page_number_, &QSpinBox::valueChanged, this, [this](int page) { ShowPage(page); });
  connect(group, &QButtonGroup::idClicked, this, [this](int k) { SetReduction(k); });
  connect(print, &QPushButton::clicked, this, [this] { PrintPage(); });
  connect(print_all, &QPushButton::clicked, this, [this] { PrintAll(); });
  connect(done, &QPushButton::clicked, this, &QDialog::accept);
  resize(800, 600);
  ShowPage(1);
}

void TPrtPreView::showEvent(QShowEvent* event) {
  if (parentWidget()) resize(parentWidget()->window()->size());
  QDialog::showEvent(event);
  if (current_page_ == 1) {
    SetReduction(1);  // page 1 is drawn already
  } else {
    ShowPage(1);
  }
}

void TPrtPreView::ShowTabsAround(int page) {
  const int count = tabs_->count();
  if (page < first_tab_page_ || page >= first_tab_page_ + count) {
    // The tabs move by whole strips, so a tab never shifts under the mouse.
    first_tab_page_ = std::min((page - 1) / count * count + 1, page_count_ - count + 1);
    for (int i = 0; i < count; ++i) tabs_->setTabText(i, QString::number(first_tab_page_ + i));
  }
  const QSignalBlocker quiet_tabs(tabs_);
  tabs_->setCurrentIndex(page - first_tab_page_);
  const QSignalBlocker quiet_box(page_number_);
  page_number_->setValue(page);
}

void TPrtPreView::ShowPage(int page) {
  if (page < 1 || page > page_count_) return;
  ShowTabsAround(page);
  current_page_ = page;
  page_image_ = QImage(page_size_, QImage::Format_RGB32);
  page_image_.setDotsPerMeterX(qRound(kPageResolution / 0.0254));
  page_image_.setDotsPerMeterY(qRound(kPageResolution / 0.0254));
  QPainter painter(&page_image_);
  DrawReportPage(painter, report_, page, page_size_);
  painter.end();
  SetReduction(1);
}

void TPrtPreView::SetReduction(int factor) {
  reduction_ = std::clamp(factor, 1, 4);
  reductions_[reduction_ - 1]->setChecked(true);
  ShowImage();
}

void TPrtPreView::ShowImage() {
  const QSize size(page_size_.width() / reduction_, page_size_.height() / reduction_);
  view_->setPixmap(QPixmap::fromImage(
      page_image_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  view_->resize(size);
  scroll_->verticalScrollBar()->setValue(0);
  scroll_->horizontalScrollBar()->setValue(scroll_->horizontalScrollBar()->maximum());
}

bool TPrtPreView::PrintPage() { return Print(CurrentPage(), CurrentPage()); }

bool TPrtPreView::PrintAll() {
  // A stray Enter does not start thousands of pages: No is the default.
  if (page_count_ > kAskAbovePages && services_.prompter &&
      services_.prompter->HebrewMessageBox(
          QStringLiteral("לאישורך"), QString::fromUtf16(kManyPagesText).arg(page_count_),
          MessageKind::kConfirmation, MessageButtons::kYesNoDefaultNo,
          this) != MessageAnswer::kYes) {
    return false;
  }
  return Print(1, page_count_);
}

bool TPrtPreView::Print(int first, int last) {
  if (!services_.print_target) return false;
  std::optional<BusyScope> notice;
  std::unique_ptr<QProgressDialog> progress;
  if (last > first) {
    progress = PrintProgress(last - first + 1, this);
  } else if (busy_) {
    notice.emplace(*busy_, QString::fromUtf16(kPrintingText));
  }
  const QString pdf_name = first == last && page_count_ > 1
                               ? QStringLiteral("Report-%1.pdf").arg(first)
                               : QStringLiteral("Report.pdf");
  bool stopped = false;
  auto on_page = [&](int page) {
    if (!progress) return true;
    progress->setLabelText(QString::fromUtf16(kPrintingPageText).arg(page).arg(last));
    progress->setValue(page - first);  // lets the stop button be heard
    stopped = progress->wasCanceled();
    return !stopped;
  };
  const bool printed = services_.print_target->Print(
      report_.source.title, pdf_name, kPageResolution,
      [&](QPrinter& printer, QPainter& painter) {
        if (!PrintReportPages(printer, painter, report_, first, last, on_page)) return false;
        // Gone before anything the print target tells the user.
        notice.reset();
        progress.reset();
        return true;
      },
      this, ReportOrientation(report_));
  notice.reset();
  progress.reset();
  if (!printed && !stopped && services_.prompter) {
    services_.prompter->ShowError(QString::fromUtf16(kPrintFailedText), this);
  }
  return printed;
}

}  // namespace cheque
