#include "app/register/register_area.h"

#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableWidget>

#include "app/register/register_grid.h"
#include "core/register/register.h"
#include "core/register/register_edits.h"

namespace cheque {
namespace {

constexpr int kStripWidth = 56;
// The fill column never gets narrower than this while amounts widen.
constexpr int kMinFillWidth = 40;
// Header1's sections: the strip, the nine grid columns, the side grid.
constexpr int kStripSection = 0;
constexpr int kFirstColumnSection = 1;
constexpr int kSideSection = 10;
constexpr int kSectionCount = 11;

int SectionOfColumn(int column) { return column + kFirstColumnSection; }

QFont StripFont(QFont font) {
  font.setPointSize(8);
  return font;
}

}  // namespace

MarkerStrip::MarkerStrip(RegisterGrid& grid, const Register& reg, QWidget* parent)
    : QWidget(parent), grid_(grid), register_(reg) {
  setObjectName(QStringLiteral("PB1"));
  setFixedWidth(kStripWidth);
}

void MarkerStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setLayoutDirection(Qt::LeftToRight);  // the marker points at the grid
  painter.fillRect(rect(), palette().color(QPalette::Button));
  painter.setFont(StripFont(font()));
  painter.setPen(QColor(0x80, 0x80, 0x80));
  const QWidget* viewport = grid_.viewport();
  const int top_row = grid_.TopRow();
  const int last = std::min(register_.RowCount() - 1, grid_.LastShownRow());
  const auto row_rect = [&](int row) {
    const QPoint top =
        mapFromGlobal(viewport->mapToGlobal(QPoint(0, grid_.rowViewportPosition(row))));
    return QRect(0, top.y(), width(), grid_.RowHeight());
  };
  for (int row = top_row; row <= last; ++row) {
    if (const auto difference = register_.BankBalanceDifference(row)) {
      painter.drawText(row_rect(row).adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                       *difference);
    }
  }
  const int current = grid_.CurrentRow();
  if (current >= top_row && current <= last) {
    painter.setPen(Qt::black);
    painter.drawText(row_rect(current).adjusted(0, 0, -2, 0), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("->"));
  }
}

RegisterArea::RegisterArea(RegisterGrid& grid, const Register& reg, QWidget* parent)
    : QWidget(parent), grid_(grid), register_(reg) {
  setLayoutDirection(Qt::LeftToRight);
  header_model_ = new QStandardItemModel(0, kSectionCount, this);
  const QStringList captions = {
      QStringLiteral("הפרש"),  QStringLiteral("מס"),    QStringLiteral("בנק\\יתרה"),
      QStringLiteral("הכנסה"), QStringLiteral("הוצאה"), QStringLiteral("סוג"),
      QStringLiteral("קבוצה"), QStringLiteral("תאור"),  QStringLiteral("תאריך"),
      QStringLiteral("צפי"),   QStringLiteral("בוצע")};
  header_model_->setHorizontalHeaderLabels(captions);
  header_ = new QHeaderView(Qt::Horizontal, this);
  header_->setObjectName(QStringLiteral("Header1"));
  header_->setModel(header_model_);
  header_->setSectionsClickable(false);
  header_->setMinimumSectionSize(4);
  header_->setDefaultAlignment(Qt::AlignCenter);
  header_->setSectionHidden(SectionOfColumn(kKeyColumn), true);
  header_->setSectionHidden(SectionOfColumn(kMarkColumn), true);
  header_->setStretchLastSection(false);
  header_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  header_->setFixedHeight(header_->sizeHint().height());

  strip_ = new MarkerStrip(grid_, register_, this);

  side_grid_ = new QTableWidget(0, 3, this);
  side_grid_->setObjectName(QStringLiteral("StringGrid3"));
  side_grid_->horizontalHeader()->hide();
  side_grid_->verticalHeader()->hide();
  side_grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  side_grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  side_grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  side_grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  side_grid_->setColumnHidden(2, true);
  side_grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  side_grid_->verticalHeader()->setDefaultSectionSize(grid_.RowHeight());
  // Scrolled by the pixel, to follow a grid whose top row shows only in part.
  side_grid_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  QFont small = side_grid_->font();
  small.setPointSize(8);
  side_grid_->setFont(small);
  const int ok_width = QFontMetrics(small).horizontalAdvance(QStringLiteral("ok")) + 7;
  // Room for the row numbers of a register of millions of rows.
  const int number_width = QFontMetrics(small).horizontalAdvance(QStringLiteral("0000000")) + 6;
  side_grid_->setColumnWidth(0, number_width);
  side_grid_->setColumnWidth(1, ok_width);
  side_grid_->setFixedWidth(number_width + ok_width + 2 * side_grid_->frameWidth());

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(header_, 0, 0, 1, 3);
  layout->addWidget(strip_, 1, 0);
  layout->addWidget(&grid_, 1, 1);
  layout->addWidget(side_grid_, 1, 2);
  layout->setColumnStretch(1, 1);

  for (int column = kBalanceColumn; column <= kCategoryColumn; ++column) {
    grid_.setColumnWidth(column, fit_widths_[column - kBalanceColumn]);
  }
  grid_.setColumnWidth(kDateColumn, 60);
  sort_bevel_ = new QFrame(this);
  sort_bevel_->setObjectName(QStringLiteral("Bevel6"));
  sort_bevel_->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  sort_bevel_->hide();

  connect(side_grid_, &QTableWidget::cellClicked, this,
          [this](int line, int) { emit SideLineClicked(line); });
  connect(header_, &QHeaderView::sectionResized, this, &RegisterArea::SectionResized);
  connect(&grid_, &RegisterGrid::Scrolled, this, &RegisterArea::RedrawSideAreas);
  connect(&grid_, &RegisterGrid::CursorMoved, strip_, qOverload<>(&QWidget::update));
  FitDescription();
}

void RegisterArea::FitColumn(int column) {
  int others = 0;
  for (int c = kBalanceColumn; c <= kDateColumn; ++c) {
    if (c != column && !grid_.isColumnHidden(c)) others += grid_.columnWidth(c);
  }
  grid_.setColumnWidth(column, std::max(20, grid_.viewport()->width() - others));
}

void RegisterArea::FitDescription() {
  fill_column_ = kDescriptionColumn;
  WidenStrip();
  WidenForContents();
  FitColumn(fill_column_);
  SyncHeader();
}

bool RegisterArea::WidenForContents() {
  int wanted[kFitted];
  std::copy(std::begin(fit_widths_), std::end(fit_widths_), wanted);
  // Only the rows in view are measured: a register may hold 200,000 rows.
  const QFontMetrics plain(grid_.CellFont(false));
  const QFontMetrics bold(grid_.CellFont(true));  // a balance past the credit line
  const int last = std::min(register_.RowCount() - 1, grid_.LastShownRow());
  for (int row = grid_.TopRow(); row <= last; ++row) {
    for (int column = kBalanceColumn; column <= kCategoryColumn; ++column) {
      if (register_.CellIsEmpty(row, column)) continue;
      int& width = wanted[column - kBalanceColumn];
      width = std::max(width, CellWidthFor(register_.Cell(row, column),
                                           column == kBalanceColumn ? bold : plain));
    }
  }
  int others = 0;
  for (int column = kDescriptionColumn; column <= kDateColumn; ++column) {
    if (column != fill_column_ && !grid_.isColumnHidden(column))
      others += grid_.columnWidth(column);
  }
  const int room = grid_.viewport()->width() - others - kMinFillWidth;
  int base = 0;
  int total = 0;
  for (int i = 0; i < kFitted; ++i) {
    base += fit_widths_[i];
    total += wanted[i];
  }
  if (total > base && total > room) {
    // Too narrow a window: each column gets its share of what room there
    // is, and the delegate elides what still does not fit.
    const int spare = std::max(0, room - base);
    for (int i = 0; i < kFitted; ++i) {
      wanted[i] = fit_widths_[i] + (wanted[i] - fit_widths_[i]) * spare / (total - base);
    }
  }
  bool changed = false;
  for (int i = 0; i < kFitted; ++i) {
    if (grid_.columnWidth(kBalanceColumn + i) == wanted[i]) continue;
    grid_.setColumnWidth(kBalanceColumn + i, wanted[i]);
    changed = true;
  }
  return changed;
}

bool RegisterArea::WidenStrip() {
  const QFontMetrics metrics(StripFont(strip_->font()));
  // The difference at the left edge, the marker at the right.
  int wanted = kStripWidth;
  const int last = std::min(register_.RowCount() - 1, grid_.LastShownRow());
  for (int row = grid_.TopRow(); row <= last; ++row) {
    if (const auto difference = register_.BankBalanceDifference(row)) {
      wanted = std::max(wanted, metrics.horizontalAdvance(*difference) +
                                    metrics.horizontalAdvance(QStringLiteral("->")) + 10);
    }
  }
  if (wanted == strip_->width()) return false;
  strip_->setFixedWidth(wanted);
  // The grid's new width is needed at once to fit its columns.
  if (layout() != nullptr) layout()->activate();
  return true;
}

void RegisterArea::SyncHeader() {
  syncing_ = true;
  const int frame = grid_.frameWidth();
  header_->resizeSection(kStripSection, strip_->width() + frame);
  for (int column = kBalanceColumn; column <= kDateColumn; ++column) {
    header_->resizeSection(SectionOfColumn(column), grid_.columnWidth(column));
  }
  // The last section covers the grid's scroll bar and the side grid.
  header_->resizeSection(
      kSideSection, std::max(0, width() - strip_->width() - frame - grid_.viewport()->width()));
  syncing_ = false;
  if (sorted_column_ >= 0) PlaceSortBevel(sorted_column_);
}

void RegisterArea::PlaceSortBevel(int column) {
  sorted_column_ = column;
  const int section = SectionOfColumn(column);
  sort_bevel_->setGeometry(header_->x() + header_->sectionViewportPosition(section),
                           header_->geometry().bottom() - 3, header_->sectionSize(section), 2);
  sort_bevel_->show();
  sort_bevel_->raise();
}

void RegisterArea::SectionResized(int section, int, int new_size) {
  if (syncing_) return;
  if (section > SectionOfColumn(kKeyColumn) && section < SectionOfColumn(kMarkColumn)) {
    const int column = section - kFirstColumnSection;
    const int width = std::max(4, new_size);
    if (column <= kCategoryColumn) {
      // A drag sets the width; a wider text in view still widens it.
      fit_widths_[column - kBalanceColumn] = width;
    } else {
      grid_.setColumnWidth(column, width);
    }
    // The date column takes what is left.
    if (column != kDateColumn) fill_column_ = kDateColumn;
    WidenForContents();
    if (column != kDateColumn) FitColumn(kDateColumn);
  }
  SyncHeader();
}

void RegisterArea::RedrawSideAreas() {
  const bool strip_changed = WidenStrip();
  if (WidenForContents() || strip_changed) {
    FitColumn(fill_column_);
    SyncHeader();
  }
  // One line more than fit whole: the top and the bottom row may show in part.
  const int lines = grid_.VisibleRows() + 1;
  const int top_row = grid_.TopRow();
  const int last = register_.RowCount() - 1;
  if (side_grid_->rowCount() != lines) side_grid_->setRowCount(lines);
  for (int i = 0; i < lines; ++i) {
    const int row = top_row + i;
    const bool shown = row <= last;
    const QString number = shown ? QString::number(row + 1) : QString();
    const QString ok = ShowsOk(register_, row) ? QStringLiteral("ok") : QString();
    for (int column = 0; column < 2; ++column) {
      QTableWidgetItem* item = side_grid_->item(i, column);
      if (item == nullptr) {
        item = new QTableWidgetItem();
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        side_grid_->setItem(i, column, item);
      }
      item->setText(column == 0 ? number : ok);
    }
  }
  // At its last position the grid shows its last row whole and cuts the top
  // row; line 0 is cut by as much.
  const int cut = top_row < grid_.model()->rowCount() ? -grid_.rowViewportPosition(top_row) : 0;
  QScrollBar* bar = side_grid_->verticalScrollBar();
  bar->setMaximum(std::max(bar->maximum(), cut));
  bar->setValue(std::max(0, cut));
  strip_->update();
}

void RegisterArea::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitDescription();
  RedrawSideAreas();
}

}  // namespace cheque
