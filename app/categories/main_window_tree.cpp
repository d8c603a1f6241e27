#include "app/categories/tree_editor.h"
#include "app/register/transaction_dialog.h"
#include "app/shell/account_data_dialog.h"
#include "app/shell/main_window.h"

namespace cheque {

void TForm1::EditCategoryTree() {
  tree_editor_->EditTree(account_data_->Definition().business);
  // Saved or not, the trees shown follow the file.
  date_frm_->ReloadTree();
  emit CategoryTreeChanged();
}

}  // namespace cheque
