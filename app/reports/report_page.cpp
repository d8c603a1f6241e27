#include "app/reports/report_page.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/common/busy_notice.h"
#include "app/common/cell_drawing.h"
#include "app/reports/print_preview.h"
#include "app/reports/report_chart.h"
#include "app/reports/report_page_draw.h"
#include "app/reports/report_printing.h"
#include "core/reports/chart_plan.h"
#include "core/reports/csv_export.h"
#include "core/reports/xlsx_export.h"

namespace cheque {

// Shows a ReportTable; the table stays the page's.
class ReportTableModel : public QAbstractTableModel {
 public:
  explicit ReportTableModel(QObject* parent) : QAbstractTableModel(parent) {}

  void SetTable(const ReportTable* table, const QStringList& captions) {
    beginResetModel();
    table_ = table;
    captions_ = captions;
    endResetModel();
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() || !table_ ? 0 : table_->RowCount();
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() || !table_ ? 0 : table_->columns;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!table_ || !index.isValid()) return {};
    if (role == Qt::DisplayRole) return table_->Cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return captions_.value(section);
    return {};
  }

 private:
  const ReportTable* table_ = nullptr;
  QStringList captions_;
};

namespace {

constexpr int kShortestFill = 80;

QTableView* NewGrid(const QString& name, const QString& header_name, QWidget* parent) {
  auto* grid = new QTableView(parent);
  grid->setObjectName(name);
  grid->horizontalHeader()->setObjectName(header_name);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->horizontalHeader()->setHighlightSections(false);
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setDefaultSectionSize(18);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionMode(QAbstractItemView::NoSelection);
  grid->setWordWrap(false);
  grid->setLayoutDirection(Qt::LeftToRight);  // column 0 at the left, as the register
  return grid;
}

QWidget* Sheet(QTableView* grid, QWidget* parent) {
  auto* sheet = new QWidget(parent);
  auto* layout = new QVBoxLayout(sheet);
  layout->setContentsMargins(0, 0, 0, 0);
  grid->setParent(sheet);
  layout->addWidget(grid);
  return sheet;
}

}  // namespace

ReportPage::ReportPage(Services& services, TSplash& splash, const QString& folder, QWidget* parent)
    : QWidget(parent),
      services_(services),
      splash_(splash),
      folder_(folder),
      report_(std::make_unique<ReportTable>()),
      detail_(std::make_unique<ReportTable>()) {
  setObjectName(QStringLiteral("ReportPage"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* top = new QHBoxLayout();
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("Panel6"));
  title_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  title_->setAlignment(Qt::AlignCenter);
  print_ = new QToolButton(this);
  print_->setObjectName(QStringLiteral("SpeedButton7"));
  print_->setText(QStringLiteral("הדפסה"));
  print_->setToolTip(QStringLiteral("... הדפסת הדוח והגראפים"));
  print_->setEnabled(false);  // until a report is built
  connect(print_, &QToolButton::clicked, this, &ReportPage::PrintPreview);
  export_ = new QToolButton(this);
  export_->setObjectName(QStringLiteral("BtnExport"));
  export_->setText(QStringLiteral("ייצוא"));
  export_->setToolTip(QStringLiteral("שמירת הטבלה המוצגת כקובץ גיליון אלקטרוני (CSV)"));
  export_->setEnabled(false);
  connect(export_, &QToolButton::clicked, this, &ReportPage::ExportShownGrid);
  top->addWidget(print_);
  top->addWidget(export_);
  top->addWidget(title_, 1);
  layout->addLayout(top);

  notebook_ = new QTabWidget(this);
  notebook_->setObjectName(QStringLiteral("Notebook2"));
  report_grid_ = NewGrid(QStringLiteral("StringGrid2"), QStringLiteral("Header2"), this);
  detail_grid_ = NewGrid(QStringLiteral("StringGrid4"), QStringLiteral("Header3"), this);
  report_grid_->setStyleSheet(QStringLiteral("QTableView { background-color: #FAFBCE; }"));
  report_grid_->setItemDelegate(new ReportCellDelegate(*report_grid_, report_, false));
  detail_grid_->setItemDelegate(new ReportCellDelegate(*detail_grid_, detail_, true));
  report_model_ = new ReportTableModel(this);
  detail_model_ = new ReportTableModel(this);
  report_grid_->setModel(report_model_);
  detail_grid_->setModel(detail_model_);

  auto* charts = new QWidget(notebook_);
  graph_types_ = new QComboBox(charts);
  graph_types_->setObjectName(QStringLiteral("CBGraphTyp"));
  // The items change with each report: the list widens to its longest.
  graph_types_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  auto* chart_layout = new QVBoxLayout(charts);
  chart_layout->addWidget(graph_types_, 0, Qt::AlignRight);
  chart_ = new ReportChart(charts);
  chart_layout->addWidget(chart_, 1);
  connect(graph_types_, &QComboBox::currentIndexChanged, this, [this](int type) {
    if (type >= 0) DrawChart(type);
  });

  notebook_->addTab(Sheet(report_grid_, notebook_), QStringLiteral("תוצאות הדו\"ח"));
  notebook_->addTab(charts, QStringLiteral("גראפים"));
  notebook_->addTab(Sheet(detail_grid_, notebook_), QStringLiteral("פירוט"));
  layout->addWidget(notebook_, 1);
  connect(notebook_, &QTabWidget::currentChanged, this, [this](int tab) {
    if (tab == current_tab_) return;
    if (!MayEnterTab(tab)) {
      notebook_->setCurrentIndex(current_tab_);
      return;
    }
    current_tab_ = tab;
    // The chart of a new report is drawn when it is first shown.
    if (tab == kChartTab && chart_stale_) DrawChart(graph_types_->currentIndex());
    ApplyWidths();
  });
  connect(report_grid_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) { ReportDoubleClicked(index.row(), index.column()); });
  connect(detail_grid_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) { DetailDoubleClicked(index.row()); });
  // The fill column follows the grid's room, which a scroll bar changes too.
  report_grid_->viewport()->installEventFilter(this);
  detail_grid_->viewport()->installEventFilter(this);
  // The columns fit the rows in view, so scrolling may widen them.
  for (QTableView* grid : {report_grid_, detail_grid_}) {
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { ApplyWidths(); });
  }
}

ReportPage::~ReportPage() = default;

int ReportPage::RowCount() const { return built_ ? report_->RowCount() : 0; }

bool ReportPage::MayEnterTab(int tab) const {
  if (tab == kResultsTab) return true;
  // The chart list is filled by a build; until then there is nothing to show.
  if (!built_) return false;
  if (tab == kDetailTab) return detail_->RowCount() > 0;
  return true;
}

void ReportPage::ShowTable(QTableView* grid, ReportTableModel* model, const ReportTable& table,
                           const ReportColumns& columns) {
  model->SetTable(&table, columns.captions);
  SetWidths(grid, columns.widths);
}

std::vector<int> ReportPage::WidthsInView(const QTableView* grid, std::vector<int> widths) const {
  const ReportTable& table = grid == report_grid_ ? *report_ : *detail_;
  if (!built_ || table.RowCount() == 0) return widths;
  // Bold for all: a cash flow draws some of its rows bold.
  QFont font = grid->font();
  font.setPointSize(8);
  font.setBold(true);
  const QFontMetrics cells(font);
  const QFontMetrics header(grid->horizontalHeader()->font());
  // Only the rows in view are measured, as the register does: a report may
  // hold a million rows.
  const int first = std::max(0, grid->rowAt(0));
  int last = grid->rowAt(grid->viewport()->height() - 1);
  if (last < 0) last = std::min(table.RowCount(), first + grid->viewport()->height() / 16 + 1) - 1;
  const auto* model = grid->model();
  for (int column = 0; column < static_cast<int>(widths.size()); ++column) {
    int& width = widths[static_cast<size_t>(column)];
    if (width <= 0 || width == kFillWidth) continue;
    const QString caption = model->headerData(column, Qt::Horizontal).toString();
    width = std::max(width, header.horizontalAdvance(caption) + 12);
    for (int row = first; row <= last; ++row) {
      const PlacedText placed = PlaceCellText(table.Cell(row, column));
      width = std::max(width, CellWidthFor(placed.text, cells) + placed.indent);
    }
  }
  return widths;
}

void ReportPage::SetWidths(QTableView* grid, const std::vector<int>& table) {
  const std::vector<int> wanted = WidthsInView(grid, table);
  // The figures keep their widths; the fill column takes what they leave,
  // never less than a few words.
  std::vector<int> widths = FitColumnWidths(wanted, grid->viewport()->width());
  for (size_t column = 0; column < widths.size(); ++column) {
    if (wanted[column] == kFillWidth) widths[column] = std::max(widths[column], kShortestFill);
  }
  for (int column = 0; column < static_cast<int>(widths.size()); ++column) {
    const int width = widths[static_cast<size_t>(column)];
    grid->setColumnHidden(column, width <= 0);
    if (width > 0) grid->setColumnWidth(column, width);
  }
}

void ReportPage::ApplyWidths() {
  if (!built_) return;
  SetWidths(report_grid_, ReportColumnLayout(settings_).widths);
  SetWidths(detail_grid_, DetailColumnLayout().widths);
}

bool ReportPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize &&
      (watched == report_grid_->viewport() || watched == detail_grid_->viewport())) {
    ApplyWidths();
  }
  return QWidget::eventFilter(watched, event);
}

void ReportPage::Build(const ReportSettings& settings) {
  if (splash_.IsBusyVisible()) return;
  settings_ = settings;
  QStringList unreadable;
  {
    BusyScope busy(splash_, QStringView(kBuildingReportText).toString());
    notebook_->setCurrentIndex(kResultsTab);
    report_grid_->hide();
    report_model_->SetTable(nullptr, {});
    detail_model_->SetTable(nullptr, {});
    {
      const QSignalBlocker quiet(graph_types_);
      graph_types_->clear();
    }
    chart_->Clear();
    *detail_ = ReportTable();
    detail_->columns = kRegisterColumnCount;
    // The last report goes before the next is built: both at once would
    // hold two of a million-row account's reports.
    *report_ = ReportTable();
    QElapsedTimer since_shown;
    since_shown.start();
    *report_ = BuildReport(settings, folder_, services_.clock->Today(), [&](const QString& text) {
      splash_.SetText(text);
      if (since_shown.elapsed() >= 50) {
        ProcessPendingMessages();
        since_shown.restart();
      }
    });
    unreadable = report_->unreadable;
    built_ = true;
    title_->setText(settings.title);
    ShowTable(report_grid_, report_model_, *report_, ReportColumnLayout(settings));
    ShowTable(detail_grid_, detail_model_, *detail_, DetailColumnLayout());
    {
      const QSignalBlocker quiet(graph_types_);
      graph_types_->addItems(ChartTypeNames(report_->layout, ChartContextOf(settings_).comparison));
      graph_types_->setCurrentIndex(0);
    }
    chart_stale_ = true;
    print_->setEnabled(true);
    export_->setEnabled(true);
    report_grid_->setCurrentIndex(report_model_->index(0, 1));
    report_grid_->show();
  }
  services_.sounds->Play(QStringLiteral("DoneRpt.wav"));
  if (!unreadable.isEmpty()) {
    services_.prompter->ShowError(
        QStringLiteral("לא ניתן לקרוא את קובץ החשבון ") + unreadable.join(QStringLiteral(", ")),
        this);
  }
}

void ReportPage::ShowDetail(ReportTable detail) {
  *detail_ = std::move(detail);
  ShowTable(detail_grid_, detail_model_, *detail_, DetailColumnLayout());
  notebook_->setCurrentIndex(kDetailTab);
}

void ReportPage::ReportDoubleClicked(int row, int column) {
  if (splash_.IsBusyVisible() || !built_) return;
  DrillDownResult result;
  {
    BusyScope busy(splash_, QStringView(kDrillDownBusyText).toString());
    result = DrillDown(*report_, settings_, folder_, services_.clock->Today(), row, column);
  }
  switch (result.action) {
    case DrillDownResult::Action::kNothing:
      break;
    case DrillDownResult::Action::kDetail:
      ShowDetail(std::move(result.detail));
      break;
    case DrillDownResult::Action::kRegister:
      emit LandOnRegister(result.landing);
      break;
  }
}

void ReportPage::DetailDoubleClicked(int row) {
  if (splash_.IsBusyVisible()) return;
  const auto landing = LandingOfRow(*detail_, row, folder_, services_.clock->Today());
  if (landing) emit LandOnRegister(*landing);
}

void ReportPage::DrawChart(int type) {
  if (!built_) return;
  chart_stale_ = false;
  chart_->Draw(PlanChart(*report_, ChartContextOf(settings_), type));
}

std::vector<int> ReportPage::ShownWidths(const QTableView* grid) const {
  std::vector<int> widths;
  for (int column = 0; column < grid->model()->columnCount(); ++column) {
    widths.push_back(grid->isColumnHidden(column) ? -1 : grid->columnWidth(column));
  }
  return widths;
}

void ReportPage::PrintPreview() {
  if (splash_.IsBusyVisible() || !built_) return;
  const bool detail = notebook_->currentIndex() == kDetailTab;
  const ReportTable& table = detail ? *detail_ : *report_;
  const QStringList captions =
      detail ? DetailColumnLayout().captions : ReportColumnLayout(settings_).captions;
  TPrtPreView preview(MakeReportPrint(table, settings_,
                                      ShownWidths(detail ? detail_grid_ : report_grid_), captions),
                      services_, window(), &splash_);
  preview.exec();
}

void ReportPage::ExportShownGrid() {
  if (splash_.IsBusyVisible() || !built_) return;
  const bool detail = notebook_->currentIndex() == kDetailTab;
  const ReportTable& table = detail ? *detail_ : *report_;
  const QStringList captions =
      detail ? DetailColumnLayout().captions : ReportColumnLayout(settings_).captions;
  const std::vector<PrintColumn> columns =
      GridColumns(ShownWidths(detail ? detail_grid_ : report_grid_), captions);
  ExportCsv(services_, this, csv_picker_, folder_, CsvFileName(settings_.title),
            ReportCsv(table, columns), [&] {
              return ReportSheet(table, columns,
                                 detail ? QStringLiteral("פירוט") : settings_.title);
            });
}

}  // namespace cheque
