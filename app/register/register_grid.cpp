#include "app/register/register_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "app/common/text_guard.h"
#include "core/register/register_edits.h"

namespace cheque {

namespace {

// Draws each cell by the register's colour rules and opens a plain line
// editor whose every change goes straight to the grid's owner.
class RegisterCellDelegate : public QStyledItemDelegate {
 public:
  RegisterCellDelegate(RegisterGrid& grid, const Register& reg, Prompter& prompter)
      : QStyledItemDelegate(&grid), grid_(grid), register_(reg), prompter_(prompter) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const int row = index.row();
    if (row >= register_.RowCount()) return;
    const CellStyleContext context =
        grid_.style_context ? grid_.style_context() : CellStyleContext{};
    const CellStyle style = RegisterCellStyle(register_, row, index.column(), context);
    const QRect cell = option.rect;
    painter->save();
    PaintRegisterCell(*painter, cell, style, grid_.CellFont(style.bold),
                      option.palette.color(QPalette::Base));
    if (option.state.testFlag(QStyle::State_HasFocus) || index == grid_.currentIndex()) {
      QPen pen(option.palette.color(QPalette::Highlight), 2);
      painter->setPen(pen);
      painter->drawRect(cell.adjusted(1, 1, -1, -1));
    }
    painter->restore();
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    editor->setFont(grid_.CellFont(false));
    TextGuard::Attach(editor, prompter_);
    const int row = index.row();
    const int column = index.column();
    QObject::connect(editor, &QLineEdit::textEdited, editor, [this, editor, row, column] {
      if (grid_.edit_text) grid_.edit_text(row, column, *editor);
    });
    return editor;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->setText(register_.Cell(index.row(), index.column()));
      line->selectAll();
    }
  }

  // Every keystroke has been written already.
  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

 private:
  RegisterGrid& grid_;
  const Register& register_;
  Prompter& prompter_;
};

bool IsNavigationKey(int key) {
  switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return true;
    default:
      return false;
  }
}

}  // namespace

Qt::ItemFlags RegisterGridModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = RegisterModel::flags(index);
  if (!index.isValid()) return flags;
  return CellIsEditableInPlace(Store(), index.row(), index.column()) ? flags | Qt::ItemIsEditable
                                                                     : flags;
}

RegisterGrid::RegisterGrid(RegisterGridModel& model, Prompter& prompter, QWidget* parent)
    : QTableView(parent), model_(model) {
  setModel(&model_);
  setItemDelegate(new RegisterCellDelegate(*this, model_.Store(), prompter));
  // Balance at the left, date at the right, as on the account's paper register.
  setLayoutDirection(Qt::LeftToRight);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setTabKeyNavigation(true);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(18);
  horizontalHeader()->hide();
  setWordWrap(false);
  setColumnHidden(kKeyColumn, true);
  setColumnHidden(kMarkColumn, true);
}

int RegisterGrid::CurrentRow() const { return currentIndex().isValid() ? currentIndex().row() : 0; }

int RegisterGrid::CurrentColumn() const {
  return currentIndex().isValid() ? currentIndex().column() : kDescriptionColumn;
}

int RegisterGrid::TopRow() const { return std::max(0, rowAt(0)); }

int RegisterGrid::RowHeight() const { return verticalHeader()->defaultSectionSize(); }

int RegisterGrid::VisibleRows() const { return std::max(1, viewport()->height() / RowHeight()); }

int RegisterGrid::LastShownRow() const {
  const int bottom = rowAt(viewport()->height() - 1);
  return bottom >= 0 ? bottom : model_.rowCount() - 1;
}

int RegisterGrid::FirstWholeRow() const {
  const int top = TopRow();
  return rowViewportPosition(top) < 0 ? std::min(top + 1, LastShownRow()) : top;
}

bool RegisterGrid::RowIsShown(int row) const { return row >= TopRow() && row <= LastShownRow(); }

QFont RegisterGrid::CellFont(bool bold) const {
  QFont cell_font = font();
  cell_font.setPointSize(8);
  cell_font.setBold(bold);
  return cell_font;
}

void RegisterGrid::SetCurrentCell(int row, int column) {
  if (row < 0 || row >= model_.rowCount()) return;
  setCurrentIndex(model_.index(row, column));
}

bool RegisterGrid::SelectCell(int row, int column) {
  if (row < 0 || row >= model_.rowCount()) return false;
  if (is_selectable && !is_selectable(row, column)) return false;
  if (before_select && !before_select(row, column)) return false;
  // The owner may have changed the rows (a dialog, a new empty row).
  if (row >= model_.rowCount()) return false;
  setCurrentIndex(model_.index(row, column));
  return true;
}

int RegisterGrid::NextSelectableColumn(int row, int column, int step) const {
  for (int c = column; c >= 0 && c < model_.columnCount(); c += step) {
    if (!isColumnHidden(c) && (!is_selectable || is_selectable(row, c))) return c;
  }
  return -1;
}

QModelIndex RegisterGrid::KeyTarget(int key) const {
  const int rows = model_.rowCount();
  if (rows == 0) return {};
  const int row = CurrentRow();
  const int column = CurrentColumn();
  int target_row = row;
  int target_column = column;
  // The columns lie left to right: balance first, date last.
  switch (key) {
    case Qt::Key_Up:
      target_row = row - 1;
      break;
    case Qt::Key_Down:
      target_row = row + 1;
      break;
    case Qt::Key_PageUp:
      target_row = row - VisibleRows();
      break;
    case Qt::Key_PageDown:
      target_row = row + VisibleRows();
      break;
    case Qt::Key_Home:
      target_row = 0;
      break;
    case Qt::Key_End:
      target_row = rows - 1;
      break;
    case Qt::Key_Left:
    case Qt::Key_Backtab:
      target_column = NextSelectableColumn(row, column - 1, -1);
      break;
    case Qt::Key_Right:
    case Qt::Key_Tab:
      target_column = NextSelectableColumn(row, column + 1, 1);
      break;
    default:
      break;
  }
  if (target_column < 0) return {};
  target_row = std::clamp(target_row, 0, rows - 1);
  if (target_row != row && is_selectable && !is_selectable(target_row, target_column)) {
    // A balance cell of a bank-balance row: the next row's cursor goes to
    // the nearest cell it may hold.
    target_column = NextSelectableColumn(target_row, target_column, 1);
    if (target_column < 0) return {};
  }
  return model_.index(target_row, target_column);
}

void RegisterGrid::MoveByKey(int key) {
  const QModelIndex target = KeyTarget(key);
  if (target.isValid() && target != currentIndex()) SelectCell(target.row(), target.column());
}

void RegisterGrid::CloseCellEditor() {
  if (!IsEditing()) return;
  // Every keystroke has been written already: closing loses nothing.
  QWidget* editor = QApplication::focusWidget();
  if (editor != nullptr && editor->parentWidget() == viewport()) {
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void RegisterGrid::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (!IsEditing()) emit OpenRowRequested();
    event->accept();
    return;
  }
  if (IsNavigationKey(key)) {
    event->accept();
    // Keys the cell editor passed on. Home and End belong to its text; the
    // others leave the cell by the grid's rules, never Qt's, which would
    // skip the checks and the dialog of the empty last row.
    const bool with_control = event->modifiers().testFlag(Qt::ControlModifier);
    if (IsEditing() && (key == Qt::Key_Home || key == Qt::Key_End) && !with_control) return;
    CloseCellEditor();
    MoveByKey(key);
    return;
  }
  QTableView::keyPressEvent(event);
}

void RegisterGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // Tab and Backtab in the editor move as they do outside it.
  const bool next = hint == QAbstractItemDelegate::EditNextItem;
  const bool previous = hint == QAbstractItemDelegate::EditPreviousItem;
  QTableView::closeEditor(editor, next || previous ? QAbstractItemDelegate::NoHint : hint);
  if (next || previous) MoveByKey(next ? Qt::Key_Tab : Qt::Key_Backtab);
}

void RegisterGrid::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && index.isValid() && index != currentIndex()) {
    if (state() == EditingState) setFocus();  // commits and closes the editor
    SelectCell(index.row(), index.column());
    event->accept();
    return;
  }
  if (event->button() == Qt::LeftButton && index == currentIndex() && index.isValid() &&
      (model_.flags(index) & Qt::ItemIsEditable)) {
    edit(index);
  }
  event->accept();
}

// No drag selection: the grid has one cursor cell.
void RegisterGrid::mouseMoveEvent(QMouseEvent* event) { event->accept(); }

void RegisterGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (indexAt(event->position().toPoint()).isValid()) emit OpenRowRequested();
  event->accept();
}

void RegisterGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  viewport()->update();
  emit CursorMoved();
}

void RegisterGrid::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  if (dy != 0) emit Scrolled();
}

}  // namespace cheque
