#pragma once

#include <QDateTime>
#include <QWidget>
#include <memory>
#include <optional>

#include "app/common/services.h"
#include "core/register/register.h"

class QStackedWidget;
class QTimer;
class QToolButton;

namespace cheque {

class ActiveAccount;
class ChequePage;
class RegisterArea;
class RegisterGrid;
class RegisterPage;
class ReportPage;
class TReportWiz;
struct RegisterLanding;
struct ReportSettings;
class TAccountData;
class TBackItUp;
class TCalander;
class TDateFrm;
class TEditTree;
class TFirstTime;
class TIntroScr;
class TPrivateDta;
class TSplash;
class TSrchFrm;

// The main window: the shell around the pages (register, cheques, reports)
// over a picture toolbar. It starts and ends the program, switches the
// active account and wires the pages to it.
class TForm1 : public QWidget {
  Q_OBJECT

 public:
  enum Page { kRegisterPage = 0, kChequePage = 1, kReportPage = 2 };

  explicit TForm1(Services& services, QWidget* parent = nullptr);
  ~TForm1() override;

  // The start: first-run screens, the launcher, the last account. False when
  // the user gave up; the program then ends without saving anything.
  bool Start();

  void LoadAccount(const QString& name, bool keep_order);
  bool SaveAccount();
  // The orderly end: saves the account and names it in "Cheque.ini".
  void ExitProgram();
  // Switches the active account as a choice in ComboBox1 does.
  void SwitchAccount(const QString& name);
  void ShowPage(int page);
  // One tick of Timer1 (the autosave count and the blinking sort picture).
  void TimerTick();
  // The calendar tool: a general calendar.
  void ShowCalendar();
  // The report command: the last report again, or the wizard and a new build.
  void NewReportClick();
  // What the wizard's "בצע" leads to: the report page, the account saved
  // (the report reads the files) and the report built from `settings`.
  void BuildReport(const ReportSettings& settings);
  ReportPage& Reports() { return *report_page_; }
  TReportWiz& ReportWizard() { return *report_wiz_; }
  // The backup tool: saves the account first; a restored active account is
  // loaded again from its file.
  void ShowBackup();
  TBackItUp& Backup() { return *backup_; }

  const Register& ActiveRegister() const;
  QString ActiveAccountFile() const;
  QString ActiveTitle() const;
  RegisterPage& RegisterView() { return *register_page_; }
  RegisterGrid& Grid();
  RegisterArea& GridArea();
  TSplash& Splash() { return *splash_; }
  TFirstTime& FirstTime() { return *first_time_; }
  TDateFrm& DateForm() { return *date_frm_; }

  // The tree editor ("עריכה" of the transaction dialog), on the active
  // account's tree; afterwards the trees shown are reloaded.
  void EditCategoryTree();

 signals:
  // After the tree editor closed: trees shown elsewhere reload from the file.
  void CategoryTreeChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildPages();
  void BuildToolbar(QWidget* toolbar);
  QToolButton* AddTool(QWidget* parent, const QString& name, const QString& hint,
                       QStringView picture);
  void CopyAccountNames(const QStringList& names, const QString& selected);
  void ShowAccountDefinitions();
  // A report's double-click: that account active, its register on the row.
  void LandOnRegister(const RegisterLanding& landing);

  Services& services_;
  std::unique_ptr<PageTools> page_tools_;
  ActiveAccount* account_ = nullptr;
  bool exiting_ = false;

  // Windows created once, in the program's fixed order.
  TPrivateDta* private_data_ = nullptr;
  TAccountData* account_data_ = nullptr;
  TSplash* splash_ = nullptr;
  TIntroScr* intro_ = nullptr;
  TFirstTime* first_time_ = nullptr;
  TDateFrm* date_frm_ = nullptr;
  TCalander* calendar_ = nullptr;
  TEditTree* tree_editor_ = nullptr;
  TBackItUp* backup_ = nullptr;

  QStackedWidget* notebook_ = nullptr;
  RegisterPage* register_page_ = nullptr;
  ChequePage* cheque_page_ = nullptr;
  ReportPage* report_page_ = nullptr;
  TReportWiz* report_wiz_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace cheque
