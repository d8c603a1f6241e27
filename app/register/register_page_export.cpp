#include <QFileInfo>

#include "app/common/active_account.h"
#include "app/common/busy_notice.h"
#include "app/register/register_page.h"
#include "core/reports/csv_export.h"
#include "core/reports/xlsx_export.h"

namespace cheque {

void RegisterPage::ExportRegister() {
  if (splash_.IsBusyVisible()) return;
  const QString folder = QFileInfo(account_.FilePath()).absolutePath();
  ExportCsv(services_, this, csv_picker_, folder, CsvFileName(account_.Title()),
            RegisterCsv(account_.Rows()),
            [this] { return RegisterSheet(account_.Rows(), account_.Title()); });
}

}  // namespace cheque
