#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "app/common/services.h"
#include "core/import/column_mapping.h"
#include "core/import/import_plan.h"
#include "core/import/statement_table.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace cheque {

class ActiveAccount;

// Imports a bank's statement into the active account: the file, its first
// rows, which columns hold what, and the plan line by line; "אישור" applies
// the ticked lines as one change and saves, "ביטול" changes nothing.
class StatementImportDialog : public QDialog {
  Q_OBJECT

 public:
  // Asks for the statement's path; empty when the user gave none.
  using FilePicker = std::function<QString(QWidget* parent)>;

  StatementImportDialog(Services& services, ActiveAccount& account, QWidget* parent = nullptr);
  void SetFilePicker(FilePicker picker) { pick_file_ = std::move(picker); }

  // Asks for a file and shows it; false when none was read.
  bool PickFile();
  // `sheet` from 0; by default the reader's choice. The sheet choice shows
  // when the file holds more than one sheet or table.
  bool OpenFile(const QString& path, int sheet = kDefaultSheet);
  // The mapping the controls show.
  ColumnMapping Mapping() const;
  void SetMapping(const ColumnMapping& mapping);
  const ImportPlan& Plan() const { return plan_; }

  // How many lines the preview shows.
  static constexpr int kPreviewRows = 30;

 private:
  void BuildControls();
  void FillColumnChoices();
  void RebuildPlan();
  void ShowPlan();
  void ShowSummary();
  void Apply();
  bool LineTicked(size_t line) const;

  Services& services_;
  ActiveAccount& account_;
  FilePicker pick_file_;
  QString path_;
  StatementTable table_;
  ImportPlan plan_;
  bool filling_ = false;  // set while the controls are filled, not changed by the user

  QLabel* file_label_ = nullptr;
  QLabel* sheet_label_ = nullptr;
  QComboBox* sheet_ = nullptr;
  int sheet_shown_ = 0;
  QComboBox* encoding_ = nullptr;
  QTableWidget* preview_ = nullptr;
  struct Choice {
    int ColumnMapping::*field;
    QComboBox* combo = nullptr;
  };
  std::vector<Choice> choices_;
  QSpinBox* first_row_ = nullptr;
  QTableWidget* plan_grid_ = nullptr;
  std::vector<int> line_grid_rows_;  // the plan grid's row of each plan line
  QLabel* status_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace cheque
