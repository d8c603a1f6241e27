// The register's orders, search, bank marks and the category check.
#include <QMenu>
#include <QShortcut>
#include <QTableWidget>
#include <QToolButton>

#include "app/common/busy_notice.h"
#include "app/register/register_area.h"
#include "app/register/register_grid.h"
#include "app/register/search_dialog.h"
#include "app/register/transaction_dialog.h"
#include "app/shell/main_window.h"
#include "core/register/register_checks.h"
#include "core/register/register_model.h"

namespace cheque {
namespace {

const QString kSortNotice = QStringLiteral("...מתבצע מיון... אנא המתן");
const QString kCheckNotice = QStringLiteral(" בדיקת קבוצות בביצוע ");

// Every so many reminding date sorts the reminder shows.
constexpr int kReminderEvery = 5;

}  // namespace

void TForm1::ConnectSortAndSearch() {
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
  connect(check, &QAction::triggered, this, &TForm1::CheckCategories);

  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid_, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { sort_menu_->popup(grid_->viewport()->mapToGlobal(at)); });
  if (auto* sort = findChild<QToolButton*>(QStringLiteral("SBSort"))) {
    connect(sort, &QToolButton::clicked, this,
            [this] { sort_menu_->popup(mapToGlobal(QPoint(100, 250))); });
  }

  search_ = new TSrchFrm(services_, register_, *grid_, this);
  connect(search_, &TSrchFrm::Found, this, [this] { RedrawSideAreas(); });
  if (auto* search = findChild<QToolButton*>(QStringLiteral("SBSrch"))) {
    connect(search, &QToolButton::clicked, this, &TForm1::ShowSearch);
  }
  auto* f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
  connect(f3, &QShortcut::activated, this, &TForm1::ShowSearch);

  connect(register_area_, &RegisterArea::SideLineClicked, this, &TForm1::ToggleMark);
}

void TForm1::SortPictureClicked() {
  if (splash_->IsBusyVisible()) return;
  SortByDate();
}

void TForm1::SortRegister(int column) {
  if (busy_ || register_.RowCount() < 2) return;
  busy_ = true;
  const bool grid_shown = !grid_->isHidden();
  {
    BusyScope busy(*splash_, kSortNotice);
    grid_->hide();
    ProcessPendingMessages();
    register_area_->PlaceSortBevel(column);
    cancel_request_ = false;
    EscapeWatch escape(cancel_request_);
    // The cursor keeps its place in the grid while the rows move under it.
    register_.SortRegister(column, services_.clock->Today(), [&escape] { return escape.Poll(); });
    model_->SyncRows();
  }
  busy_ = false;
  if (grid_shown) grid_->show();
  if (!splash_->IsBusyVisible()) services_.sounds->Play(QStringLiteral("DoneRpt.wav"));
  if (column == kDateColumn) {
    RememberLastVisited(grid_->CurrentRow(), grid_->CurrentColumn());
    SetSortPictureHighlighted(false);
  }
  RefreshAfterChange();
  if (grid_shown && isVisible()) grid_->setFocus();
  if (column == kDateColumn) CheckBalanceOverflow();
  if (column == kDateColumn) RemindBankBalance();
}

void TForm1::RemindBankBalance() {
  if (!CallsForBankBalanceReminder(register_, services_.clock->Today())) return;
  if (reminder_count_++ % kReminderEvery != 0) return;
  services_.prompter->HebrewMessageBox(
      QStringLiteral("לידיעתך"),
      QStringLiteral("בסוף כל חודש, כדאי להכניס יתרת בנק בפועל לאותו יום\rהקש על כפתור \"תנועה "
                     "חדשה\", ובחר סוג \"יתרה\" במסך הגדרת תנועה\r\rתנועה מסוג \"יתרה\" תופיע "
                     "ברקע אפור במסך התנועות"),
      MessageKind::kInformation, MessageButtons::kOk, this);
}

void TForm1::ShowSearch() {
  if (busy_ || splash_->IsBusyVisible()) return;
  search_->ShowSearch();
}

void TForm1::ToggleMark(int line) {
  if (busy_) return;
  const int row = grid_->TopRow() + line;
  if (row < 0 || row > register_.RowCount() - 2) return;
  register_area_->SideGrid().setCurrentCell(line, 1);
  grid_->SetCurrentCell(row, grid_->CurrentColumn());
  const bool reconciled = register_.RawCell(row, kMarkColumn) == "+";
  register_.SetCell(row, kMarkColumn, reconciled ? u"" : u"+");
  register_.SetNeedsSorting(true);
  RefreshAfterChange();
  grid_->setFocus();
}

void TForm1::CheckCategories() {
  if (busy_ || splash_->IsBusyVisible()) return;
  cancel_request_ = false;
  for (int row = 0;; ++row) {
    {
      BusyScope busy(*splash_, kCheckNotice);
      EscapeWatch escape(cancel_request_);
      busy_ = true;
      row = NextUnknownCategoryRow(register_, date_frm_->Tree(), row, [&](int at) {
        // The count is shown when the notice is next drawn, not at every tick.
        if (!escape.Due()) return false;
        splash_->SetText(kCheckNotice + QString::number(at));
        return escape.Poll();
      });
      busy_ = false;
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
