#include "app/reports/print_preview.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QVBoxLayout>
#include <optional>

#include "app/common/busy_notice.h"
#include "app/common/form_font.h"
#include "app/common/services.h"

namespace cheque {
namespace {

constexpr char16_t kPrintingText[] = u"... הדו\"ח בהדפסה, אנא המתן";
constexpr char16_t kPrintFailedText[] = u"הדפסת הדו\"ח נכשלה\rהדפים לא הודפסו";

QPushButton* Button(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TPrtPreView::TPrtPreView(ReportPrint report, Services& services, QWidget* parent, TSplash* busy)
    : QDialog(parent), report_(std::move(report)), services_(services), busy_(busy) {
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
  page_column->addWidget(tabs_);
  page_column->addWidget(scroll_, 1);
  auto* body = new QHBoxLayout;
  body->addLayout(page_column, 1);
  body->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title_);
  layout->addLayout(body, 1);

  for (int page = 1; page <= PageCount(); ++page) tabs_->addTab(QString::number(page));
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) { ShowPage(index + 1); });
  connect(group, &QButtonGroup::idClicked, this, [this](int k) { SetReduction(k); });
  connect(print, &QPushButton::clicked, this, [this] { PrintPage(); });
  connect(print_all, &QPushButton::clicked, this, [this] { PrintAll(); });
  connect(done, &QPushButton::clicked, this, &QDialog::accept);
  resize(800, 600);
  ShowPage(1);
}

int TPrtPreView::PageCount() const { return cheque::PageCount(report_.source); }

int TPrtPreView::CurrentPage() const { return tabs_->currentIndex() + 1; }

void TPrtPreView::showEvent(QShowEvent* event) {
  if (parentWidget()) resize(parentWidget()->window()->size());
  QDialog::showEvent(event);
  if (tabs_->currentIndex() != 0) {
    tabs_->setCurrentIndex(0);  // shows page 1
  } else {
    ShowPage(1);
  }
}

void TPrtPreView::ShowPage(int page) {
  if (page < 1 || page > PageCount()) return;
  if (tabs_->currentIndex() != page - 1) {
    tabs_->setCurrentIndex(page - 1);  // comes back here through the tab change
    return;
  }
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

bool TPrtPreView::PrintAll() { return Print(1, PageCount()); }

bool TPrtPreView::Print(int first, int last) {
  if (!services_.print_target) return false;
  std::optional<BusyScope> notice;
  if (busy_) notice.emplace(*busy_, QString::fromUtf16(kPrintingText));
  const QString pdf_name = first == last && PageCount() > 1
                               ? QStringLiteral("Report-%1.pdf").arg(first)
                               : QStringLiteral("Report.pdf");
  const bool printed = services_.print_target->Print(
      report_.source.title, pdf_name, kPageResolution,
      [this, first, last, &notice](QPrinter& printer, QPainter& painter) {
        if (!PrintReportPages(printer, painter, report_, first, last)) return false;
        // Gone before anything the print target tells the user.
        notice.reset();
        return true;
      },
      this, ReportOrientation(report_));
  notice.reset();
  if (!printed && services_.prompter) {
    services_.prompter->ShowError(QString::fromUtf16(kPrintFailedText), this);
  }
  return printed;
}

}  // namespace cheque
