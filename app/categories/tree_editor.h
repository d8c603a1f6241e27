#pragma once

#include <QDialog>
#include <QPoint>
#include <vector>

#include "app/common/services.h"
#include "core/categories/category_tree.h"

class QDropEvent;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QTreeWidget;
class QTreeWidgetItem;

namespace cheque {

class TSplash;

// "הוספת/הסרת/שינוי קבוצות": adds, moves and deletes categories of one tree
// by drag and drop and restores the default or the previous tree. It works
// on its own copy; the file changes only on "שמור".
class TEditTree : public QDialog {
  Q_OBJECT

 public:
  // `splash` shows the notice while the tree is reordered; it may be null.
  TEditTree(Services& services, TSplash* splash, QWidget* parent = nullptr);
  ~TEditTree() override;

  // Shows the editor modally on the tree of the account's kind; returns
  // QDialog::Accepted after a save.
  int EditTree(bool business);
  const CategoryTree& Tree() const { return tree_; }

  // The formats of the two drags: a new name from Label2, a node of the tree.
  static inline const QString kNameMime = QStringLiteral("application/x-cheque-new-category");
  static inline const QString kNodeMime = QStringLiteral("application/x-cheque-category");

  // What the drops do; `target` is a node index, -1 for the empty space
  // below the last node.
  void DropNameOnNode(int target);
  void DropNodeOnNode(int dragged, int target);
  void DropNodeOnBin(int dragged);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class DragKind { kNone, kName, kNode };

  // Window and buttons (tree_editor.cpp).
  void BuildControls();
  void FillOutline();
  void TreeChanged();
  void SaveClick();
  void RestoreClick(const QString& question, const QString& file);

  // Drag and drop (tree_editor_drag.cpp).
  bool MousePress(QObject* watched, QMouseEvent* event);
  bool MouseMove(QObject* watched, QMouseEvent* event);
  bool DragOver(QObject* watched, QDropEvent* event, bool drop);
  int NodeAt(QPoint viewport_position) const;
  void ClearDragState();

  Services& services_;
  TSplash* splash_;
  bool business_ = false;
  CategoryTree tree_;
  std::vector<QTreeWidgetItem*> items_;  // by node index

  // Set on mouse-down, used on drop.
  struct DragState {
    DragKind kind = DragKind::kNone;
    int node = -1;
    QString text;
    QPoint press;
  } drag_;

  QTreeWidget* outline_ = nullptr;  // Outline1
  QLineEdit* name_edit_ = nullptr;  // Edit2
  QLabel* name_label_ = nullptr;    // Label2
  QLabel* bin_ = nullptr;           // Image1
};

}  // namespace cheque
