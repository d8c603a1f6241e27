#include "app/shell/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/backup/backup_dialog.h"
#include "app/categories/tree_editor.h"
#include "app/cheques/cheque_page.h"
#include "app/common/active_account.h"
#include "app/common/busy_notice.h"
#include "app/common/calendar_dialog.h"
#include "app/common/form_font.h"
#include "app/common/picture_tool.h"
#include "app/register/forecast_line.h"
#include "app/register/register_grid.h"
#include "app/register/register_page.h"
#include "app/register/transaction_dialog.h"
#include "app/reports/forecast_chart.h"
#include "app/reports/report_page.h"
#include "app/reports/report_wizard.h"
#include "app/shell/account_data_dialog.h"
#include "app/shell/first_time.h"
#include "app/shell/help_launcher.h"
#include "app/shell/intro_screen.h"
#include "app/shell/private_data_dialog.h"
#include "app/shell/shell_page_tools.h"
#include "core/files/program_folder.h"
#include "core/text/text_compare.h"

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

// Places a page alone, edge to edge, on its sheet of the notebook.
void PutOnSheet(QWidget* sheet, QWidget* page) {
  auto* layout = new QVBoxLayout(sheet);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(page);
}

}  // namespace

TForm1::TForm1(Services& services, QWidget* parent)
    : QWidget(parent), services_(services), account_(new ActiveAccount(ProgramFolder(), this)) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("תוכנת תזרים מזומנים"));
  setWindowIcon(QIcon(ProgramFile(QStringLiteral("cheque.png"))));
  SetFormFont(this);
  resize(605, 492);

  // The other windows, once, in the program's order (the transaction dialog
  // needs the calendar, so that comes first).
  calendar_ = new TCalander(services_, this);
  date_frm_ = new TDateFrm(services_, *calendar_, this);
  date_frm_->Attach(*account_);
  private_data_ = new TPrivateDta(services_, this);
  account_data_ = new TAccountData(services_, this);
  backup_ = new TBackItUp(services_, {}, this);
  splash_ = new TSplash(this);
  tree_editor_ = new TEditTree(services_, splash_, this);
  connect(date_frm_, &TDateFrm::EditTreeRequested, this, &TForm1::EditCategoryTree);
  intro_ = new TIntroScr(services_, this);
  first_time_ = new TFirstTime(services_, *private_data_, *account_data_, this);
  connect(account_data_, &TAccountData::NamesChanged, this, &TForm1::CopyAccountNames);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  notebook_ = new QStackedWidget(this);
  notebook_->setObjectName(QStringLiteral("Notebook1"));
  layout->addWidget(notebook_, 1);
  // The pages reach the help mode and the vendor menu through the services.
  if (services_.page_tools == nullptr) {
    page_tools_ = std::make_unique<ShellPageTools>(services_);
    services_.page_tools = page_tools_.get();
  }
  BuildPages();

  auto* toolbar = new QFrame(this);
  toolbar->setObjectName(QStringLiteral("Panel7"));
  toolbar->setFrameStyle(QFrame::Panel | QFrame::Raised);
  BuildToolbar(toolbar);
  layout->addWidget(toolbar);
  new HelpLauncher(services_, *this);

  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("Timer1"));
  timer_->setInterval(300);
  connect(timer_, &QTimer::timeout, this, &TForm1::TimerTick);
  timer_->start();

  ShowPage(kRegisterPage);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

TForm1::~TForm1() {
  if (services_.page_tools == page_tools_.get()) services_.page_tools = nullptr;
}

void TForm1::BuildPages() {
  const char16_t* sheet_names[] = {u"חשבונות", u"המחאות", u"דוחות"};
  for (const char16_t* name : sheet_names) {
    auto* sheet = new QWidget(notebook_);
    sheet->setObjectName(QString::fromUtf16(name));
    SetBackground(sheet, kPageColor);
    notebook_->addWidget(sheet);
  }
  register_page_ = new RegisterPage(services_, *account_, *splash_, *date_frm_,
                                    notebook_->widget(kRegisterPage));
  PutOnSheet(notebook_->widget(kRegisterPage), register_page_);
  connect(register_page_->AccountCombo(), &QComboBox::activated, this,
          [this](int index) { SwitchAccount(register_page_->AccountCombo()->itemText(index)); });
  connect(register_page_, &RegisterPage::AccountDefinitionsRequested, this,
          &TForm1::ShowAccountDefinitions);
  connect(&register_page_->ForecastView(), &ForecastLine::ChartRequested, this, [this] {
    TForecastChart chart(services_, register_page_->ForecastView().Result(), account_->Title(),
                         this);
    chart.exec();
  });
  auto* f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
  connect(f3, &QShortcut::activated, register_page_, &RegisterPage::ShowSearch);

  cheque_page_ = new ChequePage(services_, *account_, *calendar_, notebook_->widget(kChequePage));
  PutOnSheet(notebook_->widget(kChequePage), cheque_page_);
  connect(cheque_page_, &ChequePage::AccountChosen, this, &TForm1::SwitchAccount);
  connect(this, &TForm1::CategoryTreeChanged, cheque_page_, &ChequePage::ReloadTree);

  report_wiz_ = new TReportWiz(services_, *calendar_, ProgramFolder(), this);
  report_page_ =
      new ReportPage(services_, *splash_, ProgramFolder(), notebook_->widget(kReportPage));
  PutOnSheet(notebook_->widget(kReportPage), report_page_);
  connect(report_page_, &ReportPage::LandOnRegister, this, &TForm1::LandOnRegister);
}

void TForm1::BuildToolbar(QWidget* toolbar) {
  auto* layout = new QHBoxLayout(toolbar);
  layout->setContentsMargins(4, 2, 4, 2);
  auto* reg =
      AddTool(toolbar, QStringLiteral("ImgReg"), QStringLiteral("דפי רישום תנועות"), u"register");
  connect(reg, &QToolButton::clicked, this, [this] { ShowPage(kRegisterPage); });
  auto* chk = AddTool(toolbar, QStringLiteral("ImgChk"), QStringLiteral("הפקת המחאות"), u"cheque");
  connect(chk, &QToolButton::clicked, this, [this] { ShowPage(kChequePage); });
  auto* rpt = AddTool(toolbar, QStringLiteral("ImgRpt"), QStringLiteral("הפקת דוחות"), u"reports");
  connect(rpt, &QToolButton::clicked, this, &TForm1::NewReportClick);
  auto* backup = AddTool(toolbar, QStringLiteral("ImgBak"), QStringLiteral("גיבויים"), u"backup");
  connect(backup, &QToolButton::clicked, this, &TForm1::ShowBackup);
  auto* calendar =
      AddTool(toolbar, QStringLiteral("ImgCldr"), QStringLiteral("לוח שנה"), u"calendar");
  connect(calendar, &QToolButton::clicked, this, &TForm1::ShowCalendar);
  auto* details =
      AddTool(toolbar, QStringLiteral("ImgDtl"), QStringLiteral("שינוי פרטים אישיים"), u"person");
  connect(details, &QToolButton::clicked, this, [this] { private_data_->exec(); });
  layout->addStretch();
  auto* exit = AddTool(toolbar, QStringLiteral("ImgExt"), QStringLiteral("סיום התוכנית"), u"exit");
  connect(exit, &QToolButton::clicked, this, &TForm1::ExitProgram);
}

// Tools whose windows are not built yet say so rather than do nothing.
QToolButton* TForm1::AddTool(QWidget* parent, const QString& name, const QString& hint,
                             QStringView picture) {
  return AddPictureTool(parent, name, hint, picture, *services_.sounds);
}

void TForm1::ShowPage(int page) {
  if (splash_->IsBusyVisible()) return;
  notebook_->setCurrentIndex(page);
  for (int i = 0; i < notebook_->count(); ++i) {
    SetBackground(notebook_->widget(i), i == kChequePage ? kChequePageColor : kPageColor);
  }
  if (page == kRegisterPage) register_page_->FocusGrid();
  if (page == kChequePage) {
    cheque_page_->AccountCombo()->setCurrentText(ActiveTitle());
    cheque_page_->PageShown();
  }
  register_page_->FitColumns();
}

void TForm1::NewReportClick() {
  if (report_wiz_->isVisible() || splash_->IsBusyVisible()) return;
  if (notebook_->currentIndex() != kReportPage && report_page_->RowCount() >= 2) {
    ShowPage(kReportPage);
    return;
  }
  report_wiz_->WriteTemporary();
  if (report_wiz_->exec() != QDialog::Accepted) {
    report_wiz_->ReloadSelected();
    return;
  }
  BuildReport(report_wiz_->Settings());
}

void TForm1::BuildReport(const ReportSettings& settings) {
  ShowPage(kReportPage);
  // The report reads the account files: the active one's must be current.
  SaveAccount();
  report_page_->Build(settings);
  if (report_page_->RowCount() < 2) ShowPage(kRegisterPage);
}

void TForm1::LandOnRegister(const RegisterLanding& landing) {
  SwitchAccount(landing.account);
  ShowPage(kRegisterPage);
  const Register& rows = ActiveRegister();
  const int row = landing.by_texts ? rows.LocateRow(landing.description, landing.date,
                                                    landing.category, landing.type)
                                   : landing.row;
  if (row >= 0) Grid().SetCurrentCell(row, kIncomeColumn);
}

void TForm1::ShowCalendar() {
  calendar_->SetOkCaption(QStringLiteral("! סיום"));
  calendar_->exec();
}

void TForm1::ShowBackup() {
  if (account_->IsBusy() || splash_->IsBusyVisible()) return;
  SaveAccount();
  if (backup_->exec() != QDialog::Accepted) return;
  const QString title = ActiveTitle();
  account_data_->ReadAccountNames();
  CopyAccountNames(account_data_->AccountNames(), title);
  // The rows in memory are the old ones: read the restored file, so that the
  // next save cannot write them over it.
  for (const QString& name : backup_->RestoredAccounts()) {
    if (TextEquals(QStringView(name), QStringView(title))) {
      LoadAccount(title, false);
      break;
    }
  }
}

void TForm1::EditCategoryTree() {
  tree_editor_->EditTree(account_->Definition().business);
  // Saved or not, the trees shown follow the file.
  date_frm_->ReloadTree();
  emit CategoryTreeChanged();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isVisible()) register_page_->FitColumns();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && splash_->IsBusyVisible()) {
    register_page_->RequestCancel();
    return;
  }
  QWidget::keyPressEvent(event);
}

const Register& TForm1::ActiveRegister() const { return account_->Rows(); }
QString TForm1::ActiveAccountFile() const { return account_->FilePath(); }
QString TForm1::ActiveTitle() const { return account_->Title(); }
RegisterGrid& TForm1::Grid() { return register_page_->Grid(); }
RegisterArea& TForm1::GridArea() { return register_page_->GridArea(); }

}  // namespace cheque
