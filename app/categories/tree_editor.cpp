#include "app/categories/tree_editor.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>

#include "app/common/busy_notice.h"
#include "app/common/form_controls.h"
#include "app/common/form_font.h"
#include "app/common/text_guard.h"
#include "core/categories/tree_editing.h"
#include "widgets/path_text.h"

namespace cheque {
namespace {

const QString kConfirmCaption = QStringLiteral("לאישורך");
const QString kDefaultQuestion = QStringLiteral(
    "? האם אתה בטוח שברצונך לטעון את קבוצות ברירת המחדל\r...(נסה קודם לטעון קובץ אחרון)");
const QString kLastQuestion = QStringLiteral(
    "? האם אתה בטוח שברצונך לטעון את הקבוצות האחרונות\r...(השינויים האחרונים שביצעת יאבדו)");

QLabel* AddText(QVBoxLayout* layout, QWidget* parent, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  layout->addWidget(label);
  return label;
}

QPushButton* AddButton(QLayout* layout, QWidget* parent, const QString& caption,
                       const QString& name) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  layout->addWidget(button);
  return button;
}

}  // namespace

TEditTree::TEditTree(Services& services, TSplash* splash, QWidget* parent)
    : QDialog(parent), services_(services), splash_(splash), tree_(CategoryTree::BuiltIn()) {
  setObjectName(QStringLiteral("TEditTree"));
  setWindowTitle(QStringLiteral("הוספת/הסרת/שינוי קבוצות"));
  SetFormFont(this);
  BuildControls();
  FillOutline();
  resize(460, 420);
}

TEditTree::~TEditTree() = default;

void TEditTree::BuildControls() {
  outline_ = new QTreeWidget(this);
  outline_->setObjectName(QStringLiteral("Outline1"));
  outline_->setHeaderHidden(true);
  QFont tree_font = outline_->font();
  tree_font.setPointSize(9);
  outline_->setFont(tree_font);
  // Drops are handled here, by the rules of the tree, not by the view.
  outline_->setDragDropMode(QAbstractItemView::NoDragDrop);
  outline_->viewport()->setAcceptDrops(true);
  outline_->viewport()->installEventFilter(this);

  auto* side = new QVBoxLayout;
  AddText(side, this, QStringLiteral("הקש כאן, את שם הקבוצה החדשה"));
  name_edit_ = new QLineEdit(QStringLiteral("קבוצה חדשה"), this);
  name_edit_->setObjectName(QStringLiteral("Edit2"));
  name_edit_->setToolTip(QStringLiteral("הקש את הקטגוריה החדשה"));
  TextGuard::Attach(name_edit_, *services_.prompter);
  side->addWidget(name_edit_);

  AddText(side, this, QStringLiteral("להוספה: גרור את הפריט למקום הרצוי בעץ"));
  name_label_ = new QLabel(name_edit_->text(), this);
  name_label_->setObjectName(QStringLiteral("Label2"));
  name_label_->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
  name_label_->setCursor(Qt::OpenHandCursor);
  name_label_->setMinimumHeight(name_label_->fontMetrics().height() + 4);
  name_label_->installEventFilter(this);
  side->addWidget(name_label_);
  connect(name_edit_, &QLineEdit::textChanged, name_label_, &QLabel::setText);

  AddText(side, this, QStringLiteral("למחיקה: גרור את הפריט המיועד למחיקה, לפח"));
  bin_ = new QLabel(this);
  bin_->setObjectName(QStringLiteral("Image1"));
  bin_->setPixmap(style()->standardIcon(QStyle::SP_TrashIcon).pixmap(48, 48));
  bin_->setFixedSize(56, 56);
  bin_->setAlignment(Qt::AlignCenter);
  bin_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  bin_->setAcceptDrops(true);
  bin_->installEventFilter(this);
  side->addWidget(bin_, 0, Qt::AlignHCenter);

  auto* restore = new QGroupBox(QStringLiteral("שיקום... קובץ"), this);
  restore->setObjectName(QStringLiteral("GroupBox1"));
  auto* restore_buttons = new QHBoxLayout(restore);
  QPushButton* default_button =
      AddButton(restore_buttons, restore, QStringLiteral("מקורי"), QStringLiteral("BtnDefault"));
  QPushButton* last_button =
      AddButton(restore_buttons, restore, QStringLiteral("אחרון"), QStringLiteral("BtnLast"));
  side->addWidget(restore);
  side->addStretch(1);

  auto* buttons = new QHBoxLayout;
  QPushButton* save = AddButton(buttons, this, QStringLiteral("שמור"), QStringLiteral("BtnSave"));
  QPushButton* cancel =
      AddButton(buttons, this, QStringLiteral("בטל"), QStringLiteral("BtnCancel"));
  side->addLayout(buttons);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(outline_, 1);
  layout->addLayout(side);

  connect(save, &QPushButton::clicked, this, &TEditTree::SaveClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(default_button, &QPushButton::clicked, this,
          [this] { RestoreClick(kDefaultQuestion, CategoryTreeDefaultFile(business_)); });
  connect(last_button, &QPushButton::clicked, this,
          [this] { RestoreClick(kLastQuestion, CategoryTreeBackupFile(business_)); });
}

int TEditTree::EditTree(bool business) {
  business_ = business;
  return exec();
}

void TEditTree::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Shown again by the window system (after a minimise): the edits stay.
  if (event->spontaneous()) return;
  // A tree file that cannot be read leaves the built-in tree to start from.
  if (!tree_.ReadFile(CategoryTreeFile(business_))) tree_ = CategoryTree::BuiltIn();
  ClearDragState();
  name_edit_->clear();
  TreeChanged();
  name_edit_->setFocus();
}

void TEditTree::FillOutline() { items_ = FillCategoryView(*outline_, tree_); }

void TEditTree::TreeChanged() {
  CategoryTree normal = tree_;
  if (NormalizeTree(normal)) {
    std::optional<BusyScope> notice;
    if (splash_ != nullptr) notice.emplace(*splash_, QStringLiteral("... ממיין עצי קבוצות"));
    tree_ = std::move(normal);
  }
  FillOutline();
  // The notice hands the focus back to the main window; the editor keeps it.
  if (isVisible()) activateWindow();
}

void TEditTree::DropNameOnNode(int target) {
  if (AddSubNode(tree_, target, name_label_->text()) >= 0) TreeChanged();
}

void TEditTree::DropNodeOnNode(int dragged, int target) {
  if (MoveCategory(tree_, dragged, target)) TreeChanged();
}

void TEditTree::DropNodeOnBin(int dragged) {
  if (DeleteCategory(tree_, dragged)) FillOutline();
}

void TEditTree::SaveClick() {
  const QString file = CategoryTreeFile(business_);
  if (!SaveTreeWithBackup(tree_, file, CategoryTreeBackupFile(business_))) {
    // The edits stay in the editor, so the user can try again.
    services_.prompter->ShowError(
        QStringLiteral("לא ניתן לשמור את קובץ הקבוצות\r") + PathText(file), this);
    return;
  }
  accept();
}

void TEditTree::RestoreClick(const QString& question, const QString& file) {
  if (services_.prompter->HebrewMessageBox(kConfirmCaption, question, MessageKind::kConfirmation,
                                           MessageButtons::kYesNoDefaultNo,
                                           this) == MessageAnswer::kYes) {
    RestoreTree(tree_, file);
  }
  FillOutline();
}

}  // namespace cheque
