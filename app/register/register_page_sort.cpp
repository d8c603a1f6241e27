// The register's orders, search, bank marks and the category check.
#include <QMenu>
#include <QTableWidget>
#include <QToolButton>

#include "app/common/account_edit.h"
#include "app/common/active_account.h"
#include "app/common/busy_notice.h"
#include "app/common/picture_tool.h"
#include "app/register/register_area.h"
#include "app/register/register_grid.h"
#include "app/register/register_page.h"
#include "app/register/search_dialog.h"
#include "app/register/transaction_dialog.h"
#include "core/register/register_checks.h"
#include "core/register/register_edits.h"

namespace cheque {
namespace {

const QString kSortNotice = QStringLiteral("...מתבצע מיון... אנא המתן");
const QString kCheckNotice = QStringLiteral(" בדיקת קבוצות בביצוע ");

// Every so many reminding date sorts the reminder shows.
constexpr int kReminderEvery = 5;

}  // namespace

void RegisterPage::ConnectSortAndSearch() {
  sort_menu_ = new QMenu(this);
  sort_menu_->setObjectName(QStringLiteral("PopupMenu1"));
  struct Item {
    const char16_t* name;
    const char16_t* caption;
    int column;
  };
  static constexpr Item kItems[] = {
      {u"MenuCateg", u"מיון לפי תאריך", kDateColumn},
      {u"MenuDate", u"מיון לפי קבוצה", kCategoryColumn},
      {u"MenuIn", u"מיון לפי הכנסה", kIncomeColumn},
      {u"MenuOut", u"מיון לפי הוצאה", kExpenseColumn},
      {u"MenuRef", u"מיון לפי סוג", kTypeColumn},
      {u"MenuName", u"מיון לפי תאור", kDescriptionColumn},
  };
  for (const Item& item : kItems) {
    QAction* action = sort_menu_->addAction(QString::fromUtf16(item.caption));
    action->setObjectName(QString::fromUtf16(item.name));
    const int column = item.column;
    connect(action, &QAction::triggered, this, [this, column] { SortRegister(column); });
  }
  QMenu* checks = sort_menu_->addMenu(QStringLiteral("בדיקות"));
  checks->setObjectName(QStringLiteral("N1"));
  QAction* check = checks->addAction(QStringLiteral("בדיקת קטגוריות"));
  check->setObjectName(QStringLiteral("MenuCategChck"));
  connect(check, &QAction::triggered, this, &RegisterPage::CheckCategories);

  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid_, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { sort_menu_->popup(grid_->viewport()->mapToGlobal(at)); });
  if (auto* sort = findChild<QToolButton*>(QStringLiteral("SBSort"))) {
    // Where it always opened: a fixed place of the main window.
    connect(sort, &QToolButton::clicked, this,
            [this] { sort_menu_->popup(window()->mapToGlobal(QPoint(100, 250))); });
  }

  search_ = new TSrchFrm(services_, account_.Rows(), *grid_, this);
  connect(search_, &TSrchFrm::Found, this, [this] { RedrawSideAreas(); });
  if (auto* search = findChild<QToolButton*>(QStringLiteral("SBSrch"))) {
    connect(search, &QToolButton::clicked, this, &RegisterPage::ShowSearch);
  }
  connect(register_area_, &RegisterArea::SideLineClicked, this, &RegisterPage::ToggleMark);
}

void RegisterPage::SortPictureClicked() {
  if (splash_.IsBusyVisible()) return;
  SortByDate();
}

void RegisterPage::SortByDate() { SortRegister(kDateColumn); }

void RegisterPage::SortOpenedByDate() { SortRows(kDateColumn, false); }

void RegisterPage::SortRegister(int column) { SortRows(column, true); }

void RegisterPage::SortRows(int column, bool as_step) {
  if (account_.IsBusy() || account_.Rows().RowCount() < 2) return;
  account_.SetBusy(true);
  const bool grid_shown = !grid_->isHidden();
  {
    BusyScope busy(splash_, kSortNotice);
    grid_->hide();
    ProcessPendingMessages();
    register_area_->PlaceSortBevel(column);
    cancel_request_ = false;
    EscapeWatch escape(cancel_request_);
    // The cursor keeps its place in the grid while the rows move under it.
    bool stopped = false;
    const CancelCheck poll = [&] {
      stopped = stopped || escape.Poll();
      return stopped;
    };
    if (as_step) {
      {
        AccountEdit edit(account_);
        edit.Rows().SortRegister(column, services_.clock->Today(), poll);
      }
      if (column == kDateColumn && !stopped) account_.NoteDateSorted();
    } else {
      account_.SortOpened(services_.clock->Today(), poll);
    }
  }
  account_.SetBusy(false);
  if (grid_shown) grid_->show();
  if (!splash_.IsBusyVisible()) services_.sounds->Play(QStringLiteral("DoneRpt.wav"));
  if (column == kDateColumn) {
    last_visited_ = {};
    EnterCell(account_.Rows(), last_visited_, grid_->CurrentRow(), grid_->CurrentColumn());
    SetToolHighlighted(sort_picture_, false);
  }
  RefreshAfterChange();
  if (grid_shown && isVisible()) grid_->setFocus();
  if (column == kDateColumn) CheckBalanceOverflow();
  if (column == kDateColumn) RemindBankBalance();
}

void RegisterPage::RemindBankBalance() {
  if (!CallsForBankBalanceReminder(account_.Rows(), services_.clock->Today())) return;
  if (reminder_count_++ % kReminderEvery != 0) return;
  services_.prompter->HebrewMessageBox(
      QStringLiteral("לידיעתך"),
      QStringLiteral("בסוף כל חודש, כדאי להכניס יתרת בנק בפועל לאותו יום\rהקש על כפתור \"תנועה "
                     "חדשה\", ובחר סוג \"יתרה\" במסך הגדרת תנועה\r\rתנועה מסוג \"יתרה\" תופיע "
                     "ברקע אפור במסך התנועות"),
      MessageKind::kInformation, MessageButtons::kOk, this);
}

void RegisterPage::ShowSearch() {
  if (account_.IsBusy() || splash_.IsBusyVisible()) return;
  search_->ShowSearch();
}

void RegisterPage::ToggleMark(int line) {
  if (account_.IsBusy()) return;
  const int row = MarkStripRow(account_.Rows(), grid_->TopRow(), line);
  if (row < 0) return;
  register_area_->SideGrid().setCurrentCell(line, 1);
  grid_->SetCurrentCell(row, grid_->CurrentColumn());
  {
    AccountEdit edit(account_);
    cheque::ToggleMark(edit.Rows(), row);
  }
  RefreshAfterChange();
  grid_->setFocus();
}

void RegisterPage::CheckCategories() {
  if (account_.IsBusy() || splash_.IsBusyVisible()) return;
  cancel_request_ = false;
  for (int row = 0;; ++row) {
    {
      BusyScope busy(splash_, kCheckNotice);
      EscapeWatch escape(cancel_request_);
      account_.SetBusy(true);
      row = NextUnknownCategoryRow(account_.Rows(), dialog_.Tree(), row, [&](int at) {
        // The count is shown when the notice is next drawn, not at every tick.
        if (!escape.Due()) return false;
        splash_.SetText(kCheckNotice + QString::number(at));
        return escape.Poll();
      });
      account_.SetBusy(false);
    }
    if (row < 0) break;
    grid_->SetCurrentCell(row, kCategoryColumn);
    grid_->scrollTo(model_->index(row, kCategoryColumn));
    RedrawSideAreas();
    ProcessPendingMessages();
    if (!OpenRow()) break;
  }
  services_.sounds->Play(QStringLiteral("DoneRpt.wav"));
  cancel_request_ = false;
}

}  // namespace cheque
