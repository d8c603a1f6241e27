// Saved reports: the two lists, saving under a name, loading, running and
// deleting, and the temporary definition.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QTreeWidget>

#include "app/reports/report_wizard.h"
#include "core/reports/report_period.h"
#include "core/reports/saved_report.h"

namespace cheque {

void TReportWiz::RefreshSavedLists() {
  const QStringList names = SavedReportNames(folder_, CheckedKind());
  my_reports_->clear();
  existing_->clear();
  my_reports_->addItems(names);
  existing_->addItems(names);
  if (!names.isEmpty()) {
    my_reports_->setCurrentRow(0);
    existing_->setCurrentRow(0);
  }
  selected_name_->setText(names.isEmpty() ? title_->text() : names.first());
}

SavedReport TReportWiz::CurrentRecord() const {
  return SavedFromSettings(settings_, name_->text(), presets_->currentText(),
                           all_types_->isChecked(), all_categories_->isChecked());
}

bool TReportWiz::WriteTemporary() {
  return WriteSavedReport(TemporaryReportPath(folder_), CurrentRecord());
}

bool TReportWiz::SaveUnderName() {
  const SavedReport record = CurrentRecord();
  // A report without a name would never be listed again.
  if (record.name.trimmed().isEmpty()) {
    services_.prompter->ShowError(QStringLiteral("יש לתת שם לדוח"), this);
    name_->setFocus();
    return false;
  }
  if (!FindSavedReport(folder_, record.name).isEmpty() &&
      services_.prompter->HebrewMessageBox(
          QStringLiteral("לאישורך"),
          QStringLiteral("דו\"ח בשם זה כבר קיים\rהאם ברצונך להחליף את הדוח הקיים בדו\"ח חדש"),
          MessageKind::kConfirmation, MessageButtons::kYesNo, this) != MessageAnswer::kYes)
    return false;
  if (SaveReportUnderName(folder_, record).isEmpty()) {
    services_.prompter->ShowError(QStringLiteral("לא ניתן לשמור את הדוח"), this);
    return false;
  }
  RefreshSavedLists();
  return true;
}

bool TReportWiz::LoadSaved(const QString& name) {
  const QString path = FindSavedReport(folder_, name);
  if (path.isEmpty()) return false;
  const auto saved = ReadSavedReport(path);
  if (!saved) return false;
  ApplySaved(*saved);
  return true;
}

// The saved definition replaces the live one; the controls then show it.
void TReportWiz::ApplySaved(const SavedReport& saved) {
  settings_ = SettingsFromSaved(saved, account_list_, tree_, services_.clock->Today());
  ShowSettings(saved.all_types != 0, saved.categories.isEmpty(), saved.period_name);
}

void TReportWiz::ShowSettings(bool all_types, bool all_categories, const QString& period_name) {
  const ReportSettings& settings = settings_;
  building_ = true;
  loading_ = true;
  QRadioButton* kinds[] = {rb_cash_flow_, rb_in_out_, rb_balance_, rb_trend_};
  kinds[static_cast<int>(settings.kind)]->setChecked(true);
  group_buttons_[static_cast<size_t>((static_cast<int>(settings.account_group) + 3) % 4)]
      ->setChecked(true);
  for (int i = 0; i < accounts_->count(); ++i)
    accounts_->item(i)->setSelected(settings.accounts.contains(accounts_->item(i)->text()));
  (all_types ? all_types_ : no_types_)->setChecked(true);
  for (int i = 0; i < types_->count(); ++i)
    types_->item(i)->setSelected(settings.types.contains(types_->item(i)->text()));
  const int preset = presets_->findText(period_name);
  if (preset >= 0) presets_->setCurrentIndex(preset);
  years_[0]->setValue(settings.year1);
  years_[1]->setValue(settings.year2);
  period_types_[static_cast<size_t>(settings.period_type) - 1]->setChecked(true);
  if (settings.kind == ReportKind::kIncomeExpenses) comparative_->setChecked(settings.comparison);
  (settings.flow == FlowFilter::kIncomeOnly     ? rb_income_
   : settings.flow == FlowFilter::kExpensesOnly ? rb_expenses_
                                                : rb_both_)
      ->setChecked(true);
  no_zeros_->setChecked(settings.hide_empty_groups);
  (all_categories ? all_categories_ : some_categories_)->setChecked(true);
  const QSet<QString> marked(settings.categories.begin(), settings.categories.end());
  for (int i = 0; i < tree_.Size(); ++i) {
    nodes_[static_cast<size_t>(i)]->setCheckState(
        0, marked.contains(tree_.FullPath(i)) ? Qt::Checked : Qt::Unchecked);
  }
  const QDate dates[] = {settings.from, settings.to, settings.compare_from, settings.compare_to};
  QLineEdit* fields[] = {from_, to_, compare_from_, compare_to_};
  for (size_t i = 0; i < 4; ++i) SetFieldDate(fields[i], dates[i]);
  building_ = false;
  ShowKindLayout();
  if (ComparisonOn()) LayOutStrips();
  loading_ = false;
  RebuildTitle();
}

bool TReportWiz::CanRun() {
  const bool suspended = checks_suspended_;
  loading_ = true;  // a page shown for mending keeps the loaded period
  bool ok = true;
  if (settings_.accounts.isEmpty()) {
    services_.prompter->ShowError(QStringLiteral("יש לבחור לפחות חשבון אחד"), this);
    GoToPage(kAccountsPage);
    ok = false;
  } else if (!DatesValid()) {
    GoToPage(kPeriodPage);
    ok = false;
  } else if (settings_.types.isEmpty() && settings_.kind != ReportKind::kBalanceToDate) {
    services_.prompter->ShowError(QStringLiteral("חובה לבחור לפחות סוג אחד"), this);
    GoToPage(kCategoriesPage);
    ok = false;
  }
  loading_ = false;
  checks_suspended_ = suspended;
  return ok;
}

// "בצע": the saved definition is built as it stands; a definition that
// cannot be built leaves the wizard open on the page to mend it.
void TReportWiz::RunSelected() {
  QListWidgetItem* item = my_reports_->currentItem();
  if (item == nullptr || !LoadSaved(item->text())) return;
  if (CanRun()) accept();
}

void TReportWiz::DeleteSelected() {
  QListWidgetItem* item = my_reports_->currentItem();
  if (item == nullptr) return;
  const QString name = item->text();
  if (services_.prompter->HebrewMessageBox(
          QStringLiteral("לאישורך"),
          QStringLiteral("האם אתה בטוח שברצונך למחוק את הדוח המוכן\r") + name,
          MessageKind::kConfirmation, MessageButtons::kYesNo, this) != MessageAnswer::kYes)
    return;
  DeleteSavedReport(folder_, name);
  RefreshSavedLists();
}

void TReportWiz::SaveBoxToggled(bool checked) {
  save_panel_->setVisible(checked);
  if (checked) name_->setText(title_->text());
}

void TReportWiz::ReloadSelected() {
  if (QListWidgetItem* item = my_reports_->currentItem()) LoadSaved(item->text());
}

}  // namespace cheque
