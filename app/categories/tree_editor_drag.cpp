#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTreeWidget>
#include <algorithm>

#include "app/categories/tree_editor.h"

namespace cheque {
namespace {

// The dragged text in red under the pointer.
QPixmap DragPicture(const QString& text, const QFont& font) {
  const QFontMetrics metrics(font);
  QPixmap picture(metrics.horizontalAdvance(text) + 8, metrics.height() + 4);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setFont(font);
  painter.setPen(Qt::red);
  painter.drawText(picture.rect(), Qt::AlignCenter, text);
  return picture;
}

}  // namespace

bool TEditTree::eventFilter(QObject* watched, QEvent* event) {
  const bool ours = watched == name_label_ || watched == bin_ || watched == outline_->viewport();
  if (!ours) return QDialog::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      return MousePress(watched, static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
      return MouseMove(watched, static_cast<QMouseEvent*>(event));
    case QEvent::DragEnter:
    case QEvent::DragMove:
      return DragOver(watched, static_cast<QDropEvent*>(event), false);
    case QEvent::Drop:
      return DragOver(watched, static_cast<QDropEvent*>(event), true);
    default:
      return QDialog::eventFilter(watched, event);
  }
}

bool TEditTree::MousePress(QObject* watched, QMouseEvent* event) {
  ClearDragState();
  if (event->button() != Qt::LeftButton) return false;
  const QPoint position = event->position().toPoint();
  if (watched == name_label_ && !name_label_->text().trimmed().isEmpty()) {
    drag_ = {DragKind::kName, -1, name_label_->text(), position};
  } else if (watched == outline_->viewport()) {
    // Only categories move; a group keeps its place.
    const int node = NodeAt(position);
    if (node >= 0 && !tree_.HasChildren(node)) {
      drag_ = {DragKind::kNode, node, tree_.Node(node).text, position};
    }
  }
  // The press still selects the node.
  return false;
}

bool TEditTree::MouseMove(QObject* watched, QMouseEvent* event) {
  if (drag_.kind == DragKind::kNone || !(event->buttons() & Qt::LeftButton)) return false;
  if ((drag_.kind == DragKind::kName) != (watched == name_label_)) return false;
  if ((event->position().toPoint() - drag_.press).manhattanLength() <
      QApplication::startDragDistance())
    return false;
  auto* mime = new QMimeData;
  mime->setData(drag_.kind == DragKind::kName ? kNameMime : kNodeMime, drag_.text.toUtf8());
  auto* drag = new QDrag(watched);
  drag->setMimeData(mime);
  drag->setPixmap(DragPicture(drag_.text, outline_->font()));
  drag->exec(drag_.kind == DragKind::kName ? Qt::CopyAction : Qt::MoveAction);
  ClearDragState();
  return true;
}

bool TEditTree::DragOver(QObject* watched, QDropEvent* event, bool drop) {
  const bool on_bin = watched == bin_;
  const DragState state = drag_;
  const bool name =
      state.kind == DragKind::kName && event->mimeData()->hasFormat(kNameMime) && !on_bin;
  // The node must still be the one pressed on.
  const bool node = state.kind == DragKind::kNode && event->mimeData()->hasFormat(kNodeMime) &&
                    state.node < tree_.Size() && tree_.Node(state.node).text == state.text;
  if (!name && !node) {
    event->ignore();
    return true;
  }
  event->acceptProposedAction();
  const int target = on_bin ? -1 : NodeAt(event->position().toPoint());
  if (!drop) {
    if (target >= 0) outline_->setCurrentItem(items_[static_cast<size_t>(target)]);
    return true;
  }
  ClearDragState();
  if (on_bin) {
    DropNodeOnBin(state.node);
  } else if (name) {
    DropNameOnNode(target);
  } else {
    DropNodeOnNode(state.node, target);
  }
  return true;
}

int TEditTree::NodeAt(QPoint viewport_position) const {
  QTreeWidgetItem* item = outline_->itemAt(viewport_position);
  const auto found = std::find(items_.begin(), items_.end(), item);
  return item == nullptr || found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void TEditTree::ClearDragState() { drag_ = {}; }

}  // namespace cheque
