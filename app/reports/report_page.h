#pragma once

#include <QWidget>
#include <memory>

#include "app/common/csv_export_dialog.h"
#include "app/common/services.h"
#include "core/reports/drill_down.h"
#include "core/reports/report_engine_columns.h"

class QComboBox;
class QLabel;
class QTabWidget;
class QTableView;
class QToolButton;

namespace cheque {

class ReportChart;
class ReportTableModel;
class TSplash;

// The report page of the main window: the title panel, the print button,
// and the notebook of the report grid, the charts and the detail grid.
class ReportPage : public QWidget {
  Q_OBJECT

 public:
  enum Tab { kResultsTab = 0, kChartTab = 1, kDetailTab = 2 };

  ReportPage(Services& services, TSplash& splash, const QString& folder, QWidget* parent = nullptr);
  ~ReportPage() override;

  // Builds the report the wizard's settings describe (BuildReport).
  void Build(const ReportSettings& settings);
  int RowCount() const;
  const ReportTable& Report() const { return *report_; }
  const ReportTable& Detail() const { return *detail_; }
  QTableView* ReportGrid() const { return report_grid_; }
  QTableView* DetailGrid() const { return detail_grid_; }
  QTabWidget* Notebook() const { return notebook_; }

  // The width tables applied again, the fill columns fitted (after a resize).
  void ApplyWidths();
  // The double-clicks of the report grid and of the detail grid.
  void ReportDoubleClicked(int row, int column);
  void DetailDoubleClicked(int row);
  // SpeedButton7: the print preview of the grid shown (the detail grid on
  // its tab, else the report with its charts).
  void PrintPreview();
  // "ייצוא": the grid shown as a spreadsheet file.
  void ExportShownGrid();
  void SetCsvPicker(CsvPathPicker picker) { csv_picker_ = std::move(picker); }
  ReportChart* Chart() const { return chart_; }

 signals:
  // A double-click asks for this register row of an account.
  void LandOnRegister(const RegisterLanding& landing);

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void ShowTable(QTableView* grid, ReportTableModel* model, const ReportTable& table,
                 const ReportColumns& columns);
  void SetWidths(QTableView* grid, const std::vector<int>& table);
  // The table's widths, each column widened to its widest text among the
  // rows in view and its caption.
  std::vector<int> WidthsInView(const QTableView* grid, std::vector<int> widths) const;
  void ShowDetail(ReportTable detail);
  bool MayEnterTab(int tab) const;
  void DrawChart(int type);
  // The shown grid's columns as they stand: -1 for a hidden one.
  std::vector<int> ShownWidths(const QTableView* grid) const;

  Services& services_;
  TSplash& splash_;
  QString folder_;
  ReportSettings settings_;
  bool built_ = false;
  std::unique_ptr<ReportTable> report_;
  std::unique_ptr<ReportTable> detail_;
  QLabel* title_ = nullptr;
  QToolButton* print_ = nullptr;
  QTabWidget* notebook_ = nullptr;
  QTableView* report_grid_ = nullptr;
  QTableView* detail_grid_ = nullptr;
  QComboBox* graph_types_ = nullptr;
  ReportChart* chart_ = nullptr;
  QToolButton* export_ = nullptr;
  CsvPathPicker csv_picker_ = FileDialogCsvPicker();
  ReportTableModel* report_model_ = nullptr;
  ReportTableModel* detail_model_ = nullptr;
  int current_tab_ = kResultsTab;
  bool chart_stale_ = false;  // a build has not drawn its chart yet
};

}  // namespace cheque
