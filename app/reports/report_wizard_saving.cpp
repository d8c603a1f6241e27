// Saved reports: the two lists, saving under a name, loading, running and
// deleting, and the temporary definition.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
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
  return SavedFromSettings(Settings(), name_->text(), presets_->currentText(),
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

void TReportWiz::LoadSaved(const QString& name) {
  const QString path = FindSavedReport(folder_, name);
  if (path.isEmpty()) return;
  const auto saved = ReadSavedReport(path);
  if (!saved) return;
  ApplySaved(*saved);
}

void TReportWiz::ApplySaved(const SavedReport& saved) {
  const ReportSettings settings =
      SettingsFromSaved(saved, account_list_, tree_, services_.clock->Today());
  const bool suspended = checks_suspended_;
  checks_suspended_ = true;
  loading_ = true;
  building_ = true;
  QRadioButton* kinds[] = {rb_cash_flow_, rb_in_out_, rb_balance_, rb_trend_};
  kinds[static_cast<int>(settings.kind)]->setChecked(true);
  building_ = false;
  ApplyKindLayout();
  GoToPage(kAccountsPage);

  PressAccountGroup(settings.account_group);
  for (int i = 0; i < accounts_->count(); ++i)
    accounts_->item(i)->setSelected(settings.accounts.contains(accounts_->item(i)->text()));
  SelectAllTypes(saved.all_types != 0);
  for (int i = 0; i < types_->count(); ++i)
    types_->item(i)->setSelected(settings.types.contains(types_->item(i)->text()));
  GoToPage(kPeriodPage);

  building_ = true;
  const int preset = presets_->findText(saved.period_name);
  if (preset >= 0) presets_->setCurrentIndex(preset);
  years_[0]->setValue(settings.year1);
  years_[1]->setValue(settings.year2);
  CheckPeriodType(settings.period_type);
  if (settings.kind == ReportKind::kIncomeExpenses) comparative_->setChecked(settings.comparison);
  building_ = false;
  UpdatePeriodVisibility();
  if (ComparisonOn()) LayOutStrips();
  SetFieldDate(from_, settings.from);
  SetFieldDate(to_, settings.to);
  SetFieldDate(compare_from_, settings.compare_from);
  SetFieldDate(compare_to_, settings.compare_to);
  GoToPage(kCategoriesPage);

  (settings.flow == FlowFilter::kIncomeOnly     ? rb_income_
   : settings.flow == FlowFilter::kExpensesOnly ? rb_expenses_
                                                : rb_both_)
      ->setChecked(true);
  no_zeros_->setChecked(settings.hide_empty_groups);
  MarkAllNodes(saved.categories.isEmpty());
  if (!saved.categories.isEmpty()) {
    for (int i = 0; i < tree_.Size(); ++i)
      if (settings.categories.contains(tree_.FullPath(i)))
        nodes_[static_cast<size_t>(i)]->setCheckState(0, Qt::Checked);
  }
  checks_suspended_ = suspended;
  loading_ = false;
  RebuildTitle();
}

void TReportWiz::RunSelected() {
  QListWidgetItem* item = my_reports_->currentItem();
  if (item == nullptr) return;
  LoadSaved(item->text());
  // On as Next goes; a check that fails leaves the wizard open on its page.
  while (page_ != kFinishPage) {
    const int before = page_;
    NextClicked();
    if (page_ <= before) return;
  }
  if (finish_armed_) accept();
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
