// The register page's bank statement import.
#include "app/common/active_account.h"
#include "app/import/statement_import_dialog.h"
#include "app/register/register_grid.h"
#include "app/register/register_page.h"

namespace cheque {

void RegisterPage::ImportStatement() {
  if (account_.IsBusy() || !account_.IsLoaded()) return;
  StatementImportDialog dialog(services_, account_, this);
  if (statement_picker_) dialog.SetFilePicker(statement_picker_);
  if (!dialog.PickFile()) return;
  // An applied import reaches the page through the account's RowsChanged,
  // which closes it as one undo step.
  dialog.exec();
  if (grid_->isVisible()) grid_->setFocus();
}

}  // namespace cheque
