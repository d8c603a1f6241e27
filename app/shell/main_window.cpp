#include "app/shell/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/categories/tree_editor.h"
#include "app/cheques/cheque_page.h"
#include "app/common/busy_notice.h"
#include "app/common/form_font.h"
#include "app/register/calendar_dialog.h"
#include "app/register/register_area.h"
#include "app/register/register_grid.h"
#include "app/register/transaction_dialog.h"
#include "app/shell/account_data_dialog.h"
#include "app/shell/first_time.h"
#include "app/shell/intro_screen.h"
#include "app/shell/private_data_dialog.h"
#include "core/files/program_folder.h"
#include "core/register/register_model.h"

namespace cheque {
namespace {

const QColor kPageColor(250, 251, 206);
const QColor kChequePageColor(192, 192, 192);

void SetBackground(QWidget* widget, const QColor& color) {
  widget->setAutoFillBackground(true);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, color);
  widget->setPalette(palette);
}

QLabel* AddLabel(QLayout* layout, QWidget* parent, const QString& text, const QString& name = {}) {
  auto* label = new QLabel(text, parent);
  if (!name.isEmpty()) label->setObjectName(name);
  layout->addWidget(label);
  return label;
}

}  // namespace

TForm1::TForm1(Services& services, QWidget* parent)
    : QWidget(parent),
      services_(services),
      active_account_file_(ProgramFile(QStringLiteral("accnt1.dat"))) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("תוכנת תזרים מזומנים"));
  SetFormFont(this);
  resize(605, 492);

  // The other windows, once, in the program's order (the transaction dialog
  // needs the calendar, so that comes first).
  calendar_ = new TCalander(services_, this);
  date_frm_ = new TDateFrm(services_, *calendar_, this);
  date_frm_->Attach(&register_, &busy_);
  private_data_ = new TPrivateDta(services_, this);
  account_data_ = new TAccountData(services_, this);
  splash_ = new TSplash(this);
  tree_editor_ = new TEditTree(services_, splash_, this);
  connect(date_frm_, &TDateFrm::EditTreeRequested, this, &TForm1::EditCategoryTree);
  intro_ = new TIntroScr(services_, this);
  first_time_ = new TFirstTime(services_, *private_data_, *account_data_, this);
  connect(account_data_, &TAccountData::NamesChanged, this, &TForm1::CopyAccountNames);

  model_ = new RegisterGridModel(register_, this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  notebook_ = new QStackedWidget(this);
  notebook_->setObjectName(QStringLiteral("Notebook1"));
  layout->addWidget(notebook_, 1);
  const char16_t* page_names[] = {u"חשבונות", u"המחאות", u"דוחות"};
  for (const char16_t* name : page_names) {
    auto* page = new QWidget(notebook_);
    page->setObjectName(QString::fromUtf16(name));
    SetBackground(page, kPageColor);
    notebook_->addWidget(page);
  }
  BuildRegisterPage(notebook_->widget(kRegisterPage));
  BuildChequePage(notebook_->widget(kChequePage));
  auto* report_layout = new QVBoxLayout(notebook_->widget(kReportPage));
  report_layout->addStretch();

  auto* toolbar = new QFrame(this);
  toolbar->setObjectName(QStringLiteral("Panel7"));
  toolbar->setFrameStyle(QFrame::Panel | QFrame::Raised);
  BuildToolbar(toolbar);
  layout->addWidget(toolbar);
  ConnectPendingTools();

  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("Timer1"));
  timer_->setInterval(300);
  connect(timer_, &QTimer::timeout, this, &TForm1::TimerTick);
  timer_->start();

  ShowStatusDate();
  ShowPage(kRegisterPage);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

TForm1::~TForm1() = default;

void TForm1::BuildRegisterPage(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);

  auto* top = new QFrame(page);
  top->setObjectName(QStringLiteral("Panel8"));
  auto* top_layout = new QHBoxLayout(top);
  top_layout->setContentsMargins(4, 2, 4, 2);
  // The account title lies over the drop-down; a click on it opens the list.
  auto* title_cell = new QWidget(top);
  auto* title_grid = new QGridLayout(title_cell);
  title_grid->setContentsMargins(0, 0, 0, 0);
  accounts_combo_ = new QComboBox(title_cell);
  accounts_combo_->setObjectName(QStringLiteral("ComboBox1"));
  QFont big = font();
  big.setPointSize(18);
  accounts_combo_->setFont(big);
  accounts_combo_->setMinimumWidth(260);
  title_panel_ = new QLabel(title_cell);
  title_panel_->setObjectName(QStringLiteral("PanelAcctTitle"));
  title_panel_->setToolTip(QStringLiteral("החשבון הפעיל"));
  title_panel_->setFont(big);
  title_panel_->setAlignment(Qt::AlignCenter);
  title_panel_->setStyleSheet(QStringLiteral("background: #008080; color: #00ffff;"));
  title_panel_->setCursor(Qt::PointingHandCursor);
  title_panel_->installEventFilter(this);
  title_grid->addWidget(accounts_combo_, 0, 0);
  title_grid->addWidget(title_panel_, 0, 0);
  top_layout->addWidget(title_cell);
  top_layout->addStretch();
  AddTool(top, QStringLiteral("ImgAct"), QStringLiteral("עריכת פרטי חשבונות"), u"bank_book");
  sort_picture_ =
      AddTool(top, QStringLiteral("ImgSort"), QStringLiteral("מיון הרשומות"), u"sort_date");
  layout->addWidget(top);
  connect(accounts_combo_, &QComboBox::activated, this,
          [this](int index) { SwitchAccount(accounts_combo_->itemText(index)); });

  grid_ = new RegisterGrid(*model_, *services_.prompter, page);
  grid_->setObjectName(QStringLiteral("StringGrid1"));
  register_area_ = new RegisterArea(*grid_, register_, page);
  layout->addWidget(register_area_, 1);
  ConnectRegisterGrid();

  auto* status = new QFrame(page);
  status->setObjectName(QStringLiteral("Panel5"));
  auto* status_layout = new QHBoxLayout(status);
  status_layout->setContentsMargins(4, 2, 4, 2);
  AddLabel(status_layout, status, QStringLiteral(":היום"));
  today_label_ = AddLabel(status_layout, status, {}, QStringLiteral("LblToday"));
  weekday_label_ = AddLabel(status_layout, status, {}, QStringLiteral("LblWeekDay"));
  AddLabel(status_layout, status, QStringLiteral(":מסגרת"));
  credit_limit_label_ = AddLabel(status_layout, status, {}, QStringLiteral("LblAcctFrame"));
  file_label_ =
      AddLabel(status_layout, status, QStringLiteral("בקובץ:"), QStringLiteral("LblFile"));
  file_label_->hide();
  status_layout->addStretch();
  auto* new_item =
      AddTool(status, QStringLiteral("SBNewItem"), QStringLiteral("רשומה חדשה"), u"new_record");
  connect(new_item, &QToolButton::clicked, this, &TForm1::NewRecord);
  delete_tool_ =
      AddTool(status, QStringLiteral("SBDelItm"), QStringLiteral("מחיקת רשומה"), u"delete_record");
  connect(delete_tool_, &QToolButton::clicked, this, &TForm1::DeleteRecord);
  auto* today = AddTool(status, QStringLiteral("SBToday"),
                        QStringLiteral("דלג לרשומה  שתאריכה היום"), u"today");
  connect(today, &QToolButton::clicked, this, [this] { GoToDate(services_.clock->Now()); });
  AddTool(status, QStringLiteral("SBSrch"), QStringLiteral("חיפוש"), u"search");
  AddTool(status, QStringLiteral("SBInternet"), QStringLiteral("חיבור אינטרנט לבנק"), u"bank_link");
  AddTool(status, QStringLiteral("SBSort"), QStringLiteral("מיונים שונים"), u"sorts");
  auto* clone =
      AddTool(status, QStringLiteral("SBClone"), QStringLiteral("העתקה ועריכת רשומה"), u"clone");
  connect(clone, &QToolButton::clicked, this, &TForm1::CloneRecord);
  AddTool(status, QStringLiteral("SBHelp"), QStringLiteral("קבלת עזרה"), u"help");
  layout->addWidget(status);
  ConnectSortAndSearch();
}

void TForm1::BuildChequePage(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  cheque_page_ = new ChequePage(services_,
                                {&register_, account_data_, calendar_,
                                 [this] { return ActiveTitle(); }, [this] { RowsChanged(); }},
                                page);
  layout->addWidget(cheque_page_);
  cheque_accounts_combo_ = cheque_page_->AccountCombo();
  connect(cheque_page_, &ChequePage::AccountChosen, this, &TForm1::SwitchAccount);
  connect(this, &TForm1::CategoryTreeChanged, cheque_page_, &ChequePage::ReloadTree);
}

void TForm1::BuildToolbar(QWidget* toolbar) {
  auto* layout = new QHBoxLayout(toolbar);
  layout->setContentsMargins(4, 2, 4, 2);
  auto* reg =
      AddTool(toolbar, QStringLiteral("ImgReg"), QStringLiteral("דפי רישום תנועות"), u"register");
  connect(reg, &QToolButton::clicked, this, [this] { ShowPage(kRegisterPage); });
  auto* chk = AddTool(toolbar, QStringLiteral("ImgChk"), QStringLiteral("הפקת המחאות"), u"cheque");
  connect(chk, &QToolButton::clicked, this, [this] { ShowPage(kChequePage); });
  AddTool(toolbar, QStringLiteral("ImgRpt"), QStringLiteral("הפקת דוחות"), u"reports");
  AddTool(toolbar, QStringLiteral("ImgBak"), QStringLiteral("גיבויים"), u"backup");
  auto* calendar =
      AddTool(toolbar, QStringLiteral("ImgCldr"), QStringLiteral("לוח שנה"), u"calendar");
  connect(calendar, &QToolButton::clicked, this, &TForm1::ShowCalendar);
  auto* details =
      AddTool(toolbar, QStringLiteral("ImgDtl"), QStringLiteral("שינוי פרטים אישיים"), u"person");
  connect(details, &QToolButton::clicked, this, &TForm1::ShowPersonalDetails);
  layout->addStretch();
  auto* exit = AddTool(toolbar, QStringLiteral("ImgExt"), QStringLiteral("סיום התוכנית"), u"exit");
  connect(exit, &QToolButton::clicked, this, &TForm1::ExitProgram);
}

// Tools whose windows are not built yet say so rather than do nothing.
void TForm1::ConnectPendingTools() {
  for (const char16_t* name : {u"ImgRpt", u"ImgBak", u"SBInternet", u"SBHelp"}) {
    auto* tool = findChild<QToolButton*>(QString::fromUtf16(name));
    connect(tool, &QToolButton::clicked, this, [this] {
      services_.prompter->HebrewMessageBox(QStringLiteral("לידיעתך"),
                                           QStringLiteral("הפונקציה לא פעילה עדיין"),
                                           MessageKind::kInformation, MessageButtons::kOk, this);
    });
  }
}

// A picture tool, drawn from the program's own picture set (":/icons/");
// it shows its highlighted form while the mouse is over it.
QToolButton* TForm1::AddTool(QWidget* parent, const QString& name, const QString& hint,
                             QStringView picture) {
  auto* tool = new QToolButton(parent);
  tool->setObjectName(name);
  tool->setToolTip(hint);
  tool->setIcon(QIcon(QStringLiteral(":/icons/") + picture.toString() + QStringLiteral(".svg")));
  tool->setIconSize(QSize(28, 28));
  tool->setAutoRaise(true);
  tool->setStyleSheet(
      QStringLiteral("QToolButton:hover { background: #fff7b0; border: 1px solid #808000; }"
                     "QToolButton[highlighted=\"true\"] { background: #fff7b0; }"));
  if (parent->layout() != nullptr) parent->layout()->addWidget(tool);
  connect(tool, &QToolButton::pressed, this,
          [this] { services_.sounds->Play(QStringLiteral("aClick.wav")); });
  if (name == u"ImgAct")
    connect(tool, &QToolButton::clicked, this, &TForm1::ShowAccountDefinitions);
  if (name == u"ImgSort") connect(tool, &QToolButton::clicked, this, &TForm1::SortPictureClicked);
  return tool;
}

void TForm1::ShowStatusDate() {
  static const char16_t* weekdays[] = {u"יום ראשון", u"יום שני",  u"יום שלישי", u"יום רביעי",
                                       u"יום חמישי", u"יום שישי", u"יום שבת"};
  const QDate today = services_.clock->Today();
  today_label_->setText(QString::number(today.day()) + u'/' + QString::number(today.month()) +
                        u'/' + QString::number(today.year()));
  // Qt counts Monday as 1; the week here starts on Sunday.
  weekday_label_->setText(QString::fromUtf16(weekdays[today.dayOfWeek() % 7]));
}

void TForm1::ShowPage(int page) {
  if (splash_->IsBusyVisible()) return;
  notebook_->setCurrentIndex(page);
  for (int i = 0; i < notebook_->count(); ++i) {
    SetBackground(notebook_->widget(i), i == kChequePage ? kChequePageColor : kPageColor);
  }
  if (page == kRegisterPage && grid_->isVisible()) grid_->setFocus();
  if (page == kChequePage) {
    cheque_accounts_combo_->setCurrentText(ActiveTitle());
    cheque_page_->PageShown();
  }
  FitColumns();
}

void TForm1::FitColumns() {
  visible_rows_ = grid_->VisibleRows();
  register_area_->FitDescription();
  RedrawSideAreas();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isVisible()) FitColumns();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == title_panel_ && event->type() == QEvent::MouseButtonPress) {
    accounts_combo_->showPopup();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && splash_->IsBusyVisible()) {
    cancel_request_ = true;
    return;
  }
  QWidget::keyPressEvent(event);
}

QString TForm1::ActiveTitle() const { return title_panel_->text(); }

}  // namespace cheque
