#include "app/common/csv_export_dialog.h"

#include <QDir>
#include <QFileInfo>

#include "core/reports/csv_export.h"
#include "widgets/path_text.h"

namespace cheque {

CsvPathPicker FileDialogCsvPicker() {
  return [](QWidget* parent, const QString& suggested) {
    const QString csv = QStringLiteral("CSV (*.csv)");
    const QString xlsx = QStringLiteral("Excel (*.xlsx)");
    QString chosen = csv;
    QString path = PickFileToSave(parent, QStringLiteral("ייצוא"), suggested,
                                  csv + QStringLiteral(";;") + xlsx, &chosen);
    // A name typed without its ending takes the kind chosen in the list.
    const QString ending = chosen == xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += ending;
    if (!path.isEmpty() && chosen == xlsx && path.endsWith(QStringLiteral(".csv"))) {
      path.chop(4);
      path += ending;
    }
    return path;
  };
}

bool ExportCsv(Services& services, QWidget* parent, const CsvPathPicker& picker,
               const QString& folder, const QString& file_name, const QByteArray& bytes,
               const std::function<SheetTable()>& sheet) {
  const QString path = picker(parent, QDir(folder).filePath(file_name));
  if (path.isEmpty()) return false;
  QString error;
  const bool excel = sheet && path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
  if (excel ? WriteXlsxFile(path, sheet(), &error) : WriteCsvFile(path, bytes, &error)) return true;
  QString text =
      QStringLiteral("לא ניתן לשמור את הקובץ\r") + PathText(QDir::toNativeSeparators(path));
  if (!error.isEmpty()) text += u'\r' + error;
  services.prompter->ShowError(text, parent);
  return false;
}

}  // namespace cheque
