#include "app/register/register_page.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/common/active_account.h"
#include "app/common/busy_notice.h"
#include "app/common/picture_tool.h"
#include "app/register/forecast_line.h"
#include "app/register/register_area.h"
#include "app/register/register_grid.h"
#include "app/register/transaction_dialog.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

// The timer ticks every 300 ms; about four minutes of active use between saves.
constexpr int kTickMilliseconds = 300;
constexpr int kAutosaveSeconds = 240;

QLabel* AddLabel(QLayout* layout, QWidget* parent, const QString& text, const QString& name = {}) {
  auto* label = new QLabel(text, parent);
  if (!name.isEmpty()) label->setObjectName(name);
  layout->addWidget(label);
  return label;
}

}  // namespace

RegisterPage::RegisterPage(Services& services, ActiveAccount& account, TSplash& splash,
                           TDateFrm& dialog, QWidget* parent)
    : QWidget(parent), services_(services), account_(account), splash_(splash), dialog_(dialog) {
  setObjectName(QStringLiteral("RegisterPage"));
  model_ = new RegisterGridModel(account_.Rows(), this);
  BuildControls();
  ConnectGrid();
  ConnectSortAndSearch();
  ShowStatusDate();
  // Every change to the rows, whichever window made it, and every undo.
  connect(&account_, &ActiveAccount::RowsChanged, this, &RegisterPage::RowsChanged);
  connect(&account_.History(), &RegisterHistory::UndoRedoChanged, this,
          &RegisterPage::ShowUndoRedo);
}

QToolButton* RegisterPage::AddTool(QWidget* parent, const QString& name, const QString& hint,
                                   QStringView picture) {
  return AddPictureTool(parent, name, hint, picture, *services_.sounds);
}

void RegisterPage::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);

  auto* top = new QFrame(this);
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
  auto* definitions =
      AddTool(top, QStringLiteral("ImgAct"), QStringLiteral("עריכת פרטי חשבונות"), u"bank_book");
  connect(definitions, &QToolButton::clicked, this, &RegisterPage::AccountDefinitionsRequested);
  sort_picture_ =
      AddTool(top, QStringLiteral("ImgSort"), QStringLiteral("מיון הרשומות"), u"sort_date");
  connect(sort_picture_, &QToolButton::clicked, this, &RegisterPage::SortPictureClicked);
  layout->addWidget(top);

  grid_ = new RegisterGrid(*model_, *services_.prompter, this);
  grid_->setObjectName(QStringLiteral("StringGrid1"));
  register_area_ = new RegisterArea(*grid_, account_.Rows(), this);
  layout->addWidget(register_area_, 1);

  auto* status = new QFrame(this);
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
  connect(new_item, &QToolButton::clicked, this, &RegisterPage::NewRecord);
  delete_tool_ =
      AddTool(status, QStringLiteral("SBDelItm"), QStringLiteral("מחיקת רשומה"), u"delete_record");
  connect(delete_tool_, &QToolButton::clicked, this, &RegisterPage::DeleteRecord);
  auto* today = AddTool(status, QStringLiteral("SBToday"),
                        QStringLiteral("דלג לרשומה  שתאריכה היום"), u"today");
  connect(today, &QToolButton::clicked, this, [this] { GoToDate(services_.clock->Now()); });
  AddTool(status, QStringLiteral("SBSrch"), QStringLiteral("חיפוש"), u"search");
  auto* bank_link = AddTool(status, QStringLiteral("SBInternet"),
                            QStringLiteral("חיבור אינטרנט לבנק"), u"bank_link");
  QMenu* vendor_menu = services_.page_tools != nullptr
                           ? services_.page_tools->ConnectVendorMenu(bank_link, this)
                           : new QMenu(this);
  // The button promises computerised bank statements: its menu leads with them.
  auto* import_item = new QAction(QStringLiteral("ייבוא דף בנק..."), vendor_menu);
  import_item->setObjectName(QStringLiteral("MnuImport"));
  vendor_menu->insertAction(vendor_menu->actions().value(0), import_item);
  vendor_menu->insertSeparator(vendor_menu->actions().value(1));
  connect(import_item, &QAction::triggered, this, &RegisterPage::ImportStatement);
  auto* import_tool =
      AddTool(status, QStringLiteral("SBImport"), QStringLiteral("ייבוא דף בנק"), u"bank_import");
  connect(import_tool, &QToolButton::clicked, this, &RegisterPage::ImportStatement);
  auto* export_tool =
      AddTool(status, QStringLiteral("SBExport"), QStringLiteral("ייצוא"), u"export");
  connect(export_tool, &QToolButton::clicked, this, &RegisterPage::ExportRegister);
  AddTool(status, QStringLiteral("SBSort"), QStringLiteral("מיונים שונים"), u"sorts");
  auto* clone =
      AddTool(status, QStringLiteral("SBClone"), QStringLiteral("העתקה ועריכת רשומה"), u"clone");
  connect(clone, &QToolButton::clicked, this, &RegisterPage::CloneRecord);
  undo_tool_ = AddTool(status, QStringLiteral("SBUndo"), QStringLiteral("בטל פעולה"), u"undo");
  connect(undo_tool_, &QToolButton::clicked, this, &RegisterPage::Undo);
  redo_tool_ = AddTool(status, QStringLiteral("SBRedo"), QStringLiteral("בצע שוב"), u"redo");
  connect(redo_tool_, &QToolButton::clicked, this, &RegisterPage::Redo);
  // The cell editor keeps these keys for its own text while it is open.
  const auto add_key = [this](QKeyCombination key, void (RegisterPage::*slot)()) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, slot);
    return shortcut;
  };
  undo_keys_ = {add_key(Qt::CTRL | Qt::Key_Z, &RegisterPage::Undo)};
  redo_keys_ = {add_key(Qt::CTRL | Qt::Key_Y, &RegisterPage::Redo),
                add_key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z, &RegisterPage::Redo)};
  ShowUndoRedo(account_.History().CanUndo(), account_.History().CanRedo());
  auto* help = AddTool(status, QStringLiteral("SBHelp"), QStringLiteral("קבלת עזרה"), u"help");
  if (services_.page_tools != nullptr) services_.page_tools->ConnectHelpMode(help);
  layout->addWidget(status);
  forecast_line_ = new ForecastLine(services_, account_, this);
  layout->addWidget(forecast_line_);
  connect(forecast_line_, &ForecastLine::RowRequested, this, [this](int row) {
    if (row >= account_.Rows().RowCount() || account_.IsBusy()) return;
    grid_->SetCurrentCell(row, kDescriptionColumn);
    grid_->scrollTo(model_->index(row, kDescriptionColumn));
    RedrawSideAreas();
    FocusGrid();
  });
}

void RegisterPage::ShowStatusDate() {
  static const char16_t* weekdays[] = {u"יום ראשון", u"יום שני",  u"יום שלישי", u"יום רביעי",
                                       u"יום חמישי", u"יום שישי", u"יום שבת"};
  const QDate today = services_.clock->Today();
  today_label_->setText(QString::number(today.day()) + u'/' + QString::number(today.month()) +
                        u'/' + QString::number(today.year()));
  // Qt counts Monday as 1; the week here starts on Sunday.
  weekday_label_->setText(QString::fromUtf16(weekdays[today.dayOfWeek() % 7]));
}

bool RegisterPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == title_panel_ && event->type() == QEvent::MouseButtonPress) {
    accounts_combo_->showPopup();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void RegisterPage::LoadAccount(const QString& name, bool to_today) {
  grid_->hide();
  // A file that could not be read is never overwritten by an empty register.
  const bool loaded = account_.Load(name);
  file_label_->setText(QStringLiteral("בקובץ:") + account_.FilePath());
  model_->Reset();
  last_visited_ = {};
  reported_overflow_row_ = -1;
  dialog_.SetBusinessAccount(account_.Definition().business);
  if (!loaded) {
    services_.prompter->ShowError(account_.LoadErrorMessage(), this);
  } else {
    grid_->show();
    if (to_today) GoToDate(services_.clock->Now());
  }
  title_panel_->setText(name);
  credit_limit_label_->setText(account_.Definition().credit_limit);
}

bool RegisterPage::SaveAccount() {
  if (!account_.IsLoaded()) return true;
  BusyScope busy(splash_, QStringLiteral("... מבצע שמירה אוטומאטית של החשבון, המתן"));
  if (account_.Save()) return true;
  services_.prompter->ShowError(account_.SaveErrorMessage(), this);
  return false;
}

void RegisterPage::GoToDate(std::optional<QDateTime> moment) {
  const Register& reg = account_.Rows();
  const int row = reg.GoToDateRow(moment ? MomentNumber(*moment) : 0.0);
  if (row < 0) return;
  grid_->SetCurrentCell(row, kDescriptionColumn);
  // The row before the chosen one becomes the top row.
  if (reg.RowCount() <= visible_rows_) {
    grid_->scrollToTop();
  } else {
    grid_->scrollTo(model_->index(std::max(0, row - 1), kDescriptionColumn),
                    QAbstractItemView::PositionAtTop);
  }
  RedrawSideAreas();
  FocusGrid();
}

bool RegisterPage::LocateRow(const QString& description, const QString& date,
                             const QString& category, const QString& type) {
  const int row = account_.Rows().LocateRow(description, date, category, type);
  if (row < 0) return false;
  grid_->SetCurrentCell(row, kDescriptionColumn);
  grid_->scrollTo(model_->index(row, kDescriptionColumn));
  RedrawSideAreas();
  return true;
}

void RegisterPage::Tick(bool shown, bool window_active) {
  if (shown && window_active && !account_.IsBusy()) {
    ++autosave_ticks_;
    if (autosave_ticks_ / (1000 / kTickMilliseconds) > kAutosaveSeconds) {
      autosave_ticks_ = 0;
      SaveAccount();
    }
  }
  ++blink_count_;
  if (account_.Rows().NeedsSorting() && shown) {
    SetToolHighlighted(sort_picture_, blink_count_ % 2 == 1);
  }
}

void RegisterPage::FocusGrid() {
  if (grid_->isVisible()) grid_->setFocus();
}

void RegisterPage::FitColumns() {
  visible_rows_ = grid_->VisibleRows();
  register_area_->FitDescription();
  RedrawSideAreas();
}

void RegisterPage::RefreshAfterChange() {
  grid_->viewport()->update();
  RedrawSideAreas();
}

}  // namespace cheque
