#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <memory>
#include <vector>

#include "app/common/services.h"
#include "core/categories/category_tree.h"
#include "core/files/account_list.h"
#include "core/reports/report_settings.h"
#include "widgets/visual_caption.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace cheque {

class TCalander;
class TSplash;
struct SavedReport;

// "בניית דו"ח": the report wizard. It owns the live definition as one
// value: each control edits it, a saved report replaces it, and a build
// reads it from Settings(). The controls only show it.
class TReportWiz : public QDialog {
  Q_OBJECT

 public:
  TReportWiz(Services& services, TCalander& calendar, const QString& folder,
             QWidget* parent = nullptr);
  ~TReportWiz() override;

  int exec() override;  // refreshes the lists and shows; Accepted means build
  const ReportSettings& Settings() const { return settings_; }  // title included
  bool WriteTemporary();                                        // "Tmp.~pt" from the current state
  void ReloadSelected();  // after Cancel: reload the selected saved report, if any

  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum Page { kKindPage, kAccountsPage, kPeriodPage, kCategoriesPage, kFinishPage };

  // Construction (report_wizard.cpp).
  void BuildKindPage(QWidget* page);
  void BuildAccountsPage(QWidget* page);
  void BuildPeriodPage(QWidget* page);
  void BuildCategoriesPage(QWidget* page);
  void BuildFinishPage(QWidget* page);
  void ConnectControls();

  // Opening, kinds and the page flow (report_wizard_flow.cpp).
  void PrepareForShow();
  ReportKind CheckedKind() const;
  void ApplyKindLayout();
  void UpdatePeriodVisibility();
  bool ComparisonOn() const;
  // What the kind shows, whichever page is in front.
  bool PresetsShown() const;
  bool FromShown() const;
  void RebuildTitle();
  // The controls from the definition, without a handler running.
  void ShowSettings(bool all_types, bool all_categories, const QString& period_name);
  void ShowKindLayout();
  // Handlers: a control's change into the definition.
  void ReadAccounts();
  void ReadTypes();
  void ReadCategories();
  bool CanRun();  // "בצע": a definition that can be built, or the page to mend it
  void TabChanged(int index);
  bool CanLeave(int page);
  void GoToPage(int page);
  void Entered(int page);
  void NextClicked();
  void BackClicked();
  void CancelClicked();
  void SetNextCaption(bool finish);

  // Accounts, categories and types (report_wizard_lists.cpp).
  void FillAccounts();
  void PressAccountGroup(AccountGroup group);
  void FillTree();
  void MarkAllNodes(bool marked);
  void ToggleNode(QTreeWidgetItem* item);
  bool NodeMarked(int index) const;
  void FillTypes();
  void SelectAllTypes(bool selected);

  // Dates, presets and the comparison picker (report_wizard_period.cpp).
  void ApplyPreset();
  void PeriodTypeChanged();
  PeriodType CheckedPeriodType() const;
  void CheckPeriodType(PeriodType type);
  void LayOutStrips();
  void CellClicked(int strip, int cell);
  void YearChanged(int strip);
  QDate& DateOf(const QLineEdit* field);
  void FieldEdited(const QLineEdit* field);
  void SetFieldDate(QLineEdit* field, QDate date);
  bool DatesValid();
  void PickDate(QLineEdit* field);

  // Saved reports (report_wizard_saving.cpp).
  void RefreshSavedLists();
  SavedReport CurrentRecord() const;
  bool SaveUnderName();
  bool LoadSaved(const QString& name);
  void ApplySaved(const SavedReport& saved);
  void RunSelected();
  void DeleteSelected();
  void SaveBoxToggled(bool checked);

  Services& services_;
  TCalander& calendar_;
  QString folder_;
  std::unique_ptr<TSplash> splash_;
  AccountList account_list_;
  CategoryTree tree_;
  std::vector<QTreeWidgetItem*> nodes_;
  ReportSettings settings_;  // the live definition

  QTabWidget* pages_ = nullptr;
  int page_ = kKindPage;
  bool checks_suspended_ = false;
  bool finish_armed_ = false;
  bool building_ = false;
  bool loading_ = false;        // a saved report is going into the controls
  bool writing_field_ = false;  // a date field shows a date of the definition

  // Page 1.
  QRadioButton* rb_cash_flow_ = nullptr;
  QRadioButton* rb_in_out_ = nullptr;
  QRadioButton* rb_balance_ = nullptr;
  QRadioButton* rb_trend_ = nullptr;
  QListWidget* my_reports_ = nullptr;  // ListBox3
  // Page 2.
  std::array<QPushButton*, 4> group_buttons_{};  // SB1..SB4
  QListWidget* accounts_ = nullptr;              // DstList
  // Page 3.
  QWidget* period_box_ = nullptr;
  QComboBox* presets_ = nullptr;  // ComboBox3
  QLabel* from_label_ = nullptr;
  QLabel* to_label_ = nullptr;
  QLineEdit* from_ = nullptr;          // MaskEdit2
  QLineEdit* to_ = nullptr;            // MaskEdit1
  QLineEdit* compare_from_ = nullptr;  // MaskEdit4
  QLineEdit* compare_to_ = nullptr;    // MaskEdit3
  QWidget* compare_fields_ = nullptr;
  QPushButton* comparative_ = nullptr;  // SBComperative
  QWidget* type_box_ = nullptr;
  std::array<QRadioButton*, 4> period_types_{};  // monthly .. yearly
  std::array<QWidget*, 2> strips_{};
  std::array<QLabel*, 2> strip_captions_{};
  std::array<std::array<QPushButton*, 12>, 2> cells_{};
  std::array<QSpinBox*, 2> years_{};  // SpinEdit1, SpinEdit2
  // Page 4.
  QWidget* category_box_ = nullptr;
  QTreeWidget* outline_ = nullptr;  // Outline2
  QPushButton* all_categories_ = nullptr;
  QPushButton* some_categories_ = nullptr;
  QWidget* types_box_ = nullptr;
  QListWidget* types_ = nullptr;  // ListBox2
  QPushButton* all_types_ = nullptr;
  QPushButton* no_types_ = nullptr;
  QWidget* flow_box_ = nullptr;
  QRadioButton* rb_both_ = nullptr;
  QRadioButton* rb_income_ = nullptr;
  QRadioButton* rb_expenses_ = nullptr;
  QCheckBox* no_zeros_ = nullptr;  // CBNoZeros
  // Page 5 and the foot.
  QListWidget* existing_ = nullptr;  // ListBox1
  QLabel* selected_name_ = nullptr;  // Label1
  QCheckBox* save_box_ = nullptr;    // CheckBox1
  QWidget* save_panel_ = nullptr;
  QLineEdit* name_ = nullptr;  // Edit1
  QPushButton* new_name_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* do_it_now_ = nullptr;
  QLabel* title_ = nullptr;  // Panel6
  QPushButton* next_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace cheque
