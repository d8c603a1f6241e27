// Opening the wizard, the kind layouts, the title and the page flow.
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>

#include "app/common/busy_notice.h"
#include "app/reports/report_wizard.h"
#include "core/reports/report_period.h"
#include "core/text/date_text.h"

namespace cheque {

namespace {

const QString kNextCaption = QStringLiteral("המשך ->>");
const QString kFinishCaption = QStringLiteral("! סיום");

}  // namespace

int TReportWiz::exec() {
  PrepareForShow();
  return QDialog::exec();
}

void TReportWiz::PrepareForShow() {
  checks_suspended_ = true;
  FillTree();
  FillTypes();
  building_ = true;
  CheckPeriodType(PeriodType::kMonthly);
  building_ = false;
  page_ = kKindPage;
  pages_->setCurrentIndex(kKindPage);
  Entered(kKindPage);
  FillAccounts();
  presets_->blockSignals(true);
  presets_->setCurrentIndex(0);
  presets_->blockSignals(false);
  save_box_->setChecked(false);
  ApplyKindLayout();
  PressAccountGroup(AccountGroup::kBusiness);
  // A single account is the one to report on, whatever its kind.
  if (accounts_->count() == 1 && settings_.accounts.isEmpty()) {
    PressAccountGroup(AccountGroup::kAll);
    if (settings_.accounts.isEmpty()) accounts_->item(0)->setSelected(true);
  }
  SelectAllTypes(true);
  // The preset fills the period only where the user can see it.
  if (PresetsShown()) ApplyPreset();
  MarkAllNodes(true);
  RefreshSavedLists();
  checks_suspended_ = false;
}

ReportKind TReportWiz::CheckedKind() const {
  if (rb_in_out_->isChecked()) return ReportKind::kIncomeExpenses;
  if (rb_balance_->isChecked()) return ReportKind::kBalanceToDate;
  if (rb_trend_->isChecked()) return ReportKind::kTrends;
  return ReportKind::kCashFlow;
}

bool TReportWiz::ComparisonOn() const {
  return CheckedKind() == ReportKind::kIncomeExpenses && comparative_->isChecked();
}

bool TReportWiz::FromShown() const {
  const ReportKind kind = CheckedKind();
  return kind != ReportKind::kBalanceToDate && kind != ReportKind::kTrends && !ComparisonOn();
}

bool TReportWiz::PresetsShown() const { return FromShown(); }

void TReportWiz::ApplyKindLayout() {
  settings_.kind = CheckedKind();
  const ReportKind kind = settings_.kind;
  const bool income = kind == ReportKind::kIncomeExpenses;
  no_zeros_->setChecked(income);
  if (income) comparative_->setChecked(false);
  settings_.comparison = ComparisonOn();
  ShowKindLayout();
  if (kind == ReportKind::kBalanceToDate) SetFieldDate(to_, services_.clock->Today());
  if (kind == ReportKind::kTrends) {
    if (period_types_[3]->isChecked()) CheckPeriodType(PeriodType::kMonthly);
    building_ = true;
    years_[0]->setValue(services_.clock->Today().year());
    building_ = false;
    YearChanged(0);
  }
  RebuildTitle();
}

void TReportWiz::ShowKindLayout() {
  const ReportKind kind = CheckedKind();
  const bool income = kind == ReportKind::kIncomeExpenses;
  const bool balance = kind == ReportKind::kBalanceToDate;
  const bool trends = kind == ReportKind::kTrends;
  comparative_->setVisible(income);
  category_box_->setVisible(income || trends);
  flow_box_->setVisible(income || trends);
  types_box_->setVisible(!balance);
  no_zeros_->setVisible(income);
  presets_->setVisible(!balance);
  from_label_->setVisible(!balance);
  from_->setVisible(!balance);
  to_label_->setText(
      VisualCaption(balance ? QStringLiteral("  :ליום") : QStringLiteral("  :עד תאריך")));
  period_types_[3]->setVisible(!trends);
  UpdatePeriodVisibility();
  compare_fields_->hide();
}

void TReportWiz::UpdatePeriodVisibility() {
  const ReportKind kind = CheckedKind();
  const bool trends = kind == ReportKind::kTrends;
  const bool comparison = ComparisonOn();
  period_box_->setVisible(!trends && !comparison);
  type_box_->setVisible(trends || comparison);
  for (QWidget* strip : strips_) strip->setVisible(comparison);
  years_[0]->setVisible(trends || comparison);
  years_[1]->setVisible(comparison);
}

void TReportWiz::RebuildTitle() {
  if (building_) return;
  // A date field shows its text as typed, a date or not.
  settings_.title = ReportTitle(
      settings_, {from_->text(), to_->text(), compare_from_->text(), compare_to_->text()});
  title_->setText(settings_.title);
  if (my_reports_->currentItem() == nullptr) selected_name_->setText(title_->text());
}

void TReportWiz::SetNextCaption(bool finish) {
  next_->setText(VisualCaption(finish ? kFinishCaption : kNextCaption));
  finish_armed_ = finish;
}

void TReportWiz::TabChanged(int index) {
  if (index == page_) return;
  if (!checks_suspended_ && !CanLeave(page_)) {
    const QSignalBlocker blocker(pages_);
    pages_->setCurrentIndex(page_);
    return;
  }
  page_ = index;
  Entered(index);
}

bool TReportWiz::CanLeave(int page) {
  if (page == kAccountsPage && settings_.accounts.isEmpty()) {
    services_.prompter->ShowError(QStringLiteral("יש לבחור לפחות חשבון אחד"), this);
    return false;
  }
  if (page == kPeriodPage && !DatesValid()) return false;
  if (page == kCategoriesPage && isVisible() && CheckedKind() != ReportKind::kBalanceToDate &&
      settings_.types.isEmpty()) {
    services_.prompter->ShowError(QStringLiteral("חובה לבחור לפחות סוג אחד"), this);
    return false;
  }
  return true;
}

void TReportWiz::GoToPage(int page) {
  const bool suspended = checks_suspended_;
  checks_suspended_ = true;
  pages_->setCurrentIndex(page);
  checks_suspended_ = suspended;
}

void TReportWiz::Entered(int page) {
  back_->setEnabled(page != kKindPage);
  SetNextCaption(false);
  if (page == kPeriodPage) {
    if (PresetsShown() && !loading_) ApplyPreset();
    if (ComparisonOn() && !loading_) PeriodTypeChanged();
  }
  if (page != kFinishPage) return;
  // Arriving at the end: the wizard closes only over a definition it can build.
  const ReportSettings& settings = settings_;
  if (settings.accounts.isEmpty()) {
    services_.prompter->ShowError(QStringLiteral("יש לבחור לפחות חשבון אחד"), this);
    GoToPage(kAccountsPage);
  } else if (!DatesValid()) {
    GoToPage(kPeriodPage);
  } else if (!settings.types.isEmpty() || settings.kind == ReportKind::kBalanceToDate) {
    SetNextCaption(true);
  } else {
    services_.prompter->ShowError(QStringLiteral("חובה לבחור לפחות סוג אחד"), this);
    GoToPage(kCategoriesPage);
  }
}

void TReportWiz::NextClicked() {
  if (finish_armed_ && page_ == kFinishPage) {
    if (save_box_->isChecked() && !SaveUnderName()) return;
    accept();
    return;
  }
  if (page_ == kFinishPage || !CanLeave(page_)) return;
  int target = page_ + 1;
  if (target == kCategoriesPage && CheckedKind() == ReportKind::kBalanceToDate) ++target;
  GoToPage(target);
}

void TReportWiz::BackClicked() {
  if (page_ == kKindPage || !CanLeave(page_)) return;
  int target = page_ - 1;
  const ReportKind kind = CheckedKind();
  if (target == kCategoriesPage &&
      (kind == ReportKind::kCashFlow || kind == ReportKind::kBalanceToDate))
    --target;
  GoToPage(target);
}

void TReportWiz::CancelClicked() { reject(); }

void TReportWiz::reject() {
  GoToPage(kKindPage);
  QDialog::reject();
}

bool TReportWiz::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (QLineEdit* field : {from_, to_, compare_from_, compare_to_}) {
      if (watched == field) {
        PickDate(field);
        return true;
      }
    }
  }
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == outline_ && key->key() == Qt::Key_Space) {
      ToggleNode(outline_->currentItem());
      return true;
    }
    if (watched == name_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
      next_->setFocus();
      return true;
    }
    if (watched == name_ && key->key() == Qt::Key_Escape) {
      name_->setText(title_->text());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace cheque
