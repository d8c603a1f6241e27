// The account list, the category outline and the payment types.
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "app/common/busy_notice.h"
#include "app/common/form_controls.h"
#include "app/reports/report_wizard.h"
#include "core/files/program_folder.h"
#include "core/register/completion.h"
#include "core/reports/merged_category_tree.h"

namespace cheque {

void TReportWiz::FillAccounts() {
  const auto list = AccountList::Read(QDir(folder_).filePath(file_names::kAccountList));
  account_list_ = list ? *list : AccountList();
  accounts_->clear();
  accounts_->addItems(account_list_.Names());
}

void TReportWiz::PressAccountGroup(AccountGroup group) {
  settings_.account_group = group;
  group_buttons_[static_cast<size_t>((static_cast<int>(group) + 3) % 4)]->setChecked(true);
  for (int i = 0; i < accounts_->count(); ++i) {
    QListWidgetItem* item = accounts_->item(i);
    const AccountDefinition* account = account_list_.Find(item->text());
    if (account == nullptr) continue;  // a name without a definition stays as it is
    switch (group) {
      case AccountGroup::kBusiness:
        item->setSelected(account->business);
        break;
      case AccountGroup::kPrivate:
        item->setSelected(!account->business);
        break;
      case AccountGroup::kAll:
        item->setSelected(true);
        break;
      case AccountGroup::kOthers:
        item->setSelected(false);
        break;
    }
  }
  RebuildTitle();
}

void TReportWiz::ReadAccounts() {
  settings_.accounts.clear();
  for (int i = 0; i < accounts_->count(); ++i)
    if (accounts_->item(i)->isSelected()) settings_.accounts.append(accounts_->item(i)->text());
}

void TReportWiz::ReadTypes() {
  settings_.types.clear();
  for (int i = 0; i < types_->count(); ++i)
    if (types_->item(i)->isSelected()) settings_.types.append(types_->item(i)->text());
}

void TReportWiz::ReadCategories() {
  settings_.categories.clear();
  for (int i = 0; i < tree_.Size(); ++i)
    if (NodeMarked(i)) settings_.categories.append(tree_.FullPath(i));
}

void TReportWiz::FillTree() {
  if (!MergedTreeCacheIsFresh(folder_)) {
    const BusyScope busy(*splash_, QStringLiteral("מאחד עצי קבוצות פרטיות ועסקיות"));
    tree_ = MergedCategoryTree(folder_);
  } else {
    tree_ = MergedCategoryTree(folder_);
  }
  nodes_ = FillCategoryView(*outline_, tree_);
  outline_->expandAll();
}

// The mark is the item's check state; the path of a node never carries it.
bool TReportWiz::NodeMarked(int index) const {
  return index >= 0 && static_cast<size_t>(index) < nodes_.size() &&
         nodes_[static_cast<size_t>(index)]->checkState(0) == Qt::Checked;
}

void TReportWiz::MarkAllNodes(bool marked) {
  (marked ? all_categories_ : some_categories_)->setChecked(true);
  for (QTreeWidgetItem* item : nodes_) item->setCheckState(0, marked ? Qt::Checked : Qt::Unchecked);
  ReadCategories();
}

void TReportWiz::ToggleNode(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  const auto found = std::find(nodes_.begin(), nodes_.end(), item);
  if (found == nodes_.end()) return;
  const int index = static_cast<int>(found - nodes_.begin());
  const Qt::CheckState state = NodeMarked(index) ? Qt::Unchecked : Qt::Checked;
  const int level = tree_.Node(index).level;
  item->setCheckState(0, state);
  for (int i = index + 1; i < tree_.Size() && tree_.Node(i).level > level; ++i)
    nodes_[static_cast<size_t>(i)]->setCheckState(0, state);
  some_categories_->setChecked(true);
  ReadCategories();
}

void TReportWiz::FillTypes() {
  types_->clear();
  for (int i = 0; i < kPaymentTypeCount; ++i)
    if (i != kBankBalanceType) types_->addItem(PaymentTypes()[static_cast<size_t>(i)]);
}

void TReportWiz::SelectAllTypes(bool selected) {
  (selected ? all_types_ : no_types_)->setChecked(true);
  for (int i = 0; i < types_->count(); ++i) types_->item(i)->setSelected(selected);
}

}  // namespace cheque
