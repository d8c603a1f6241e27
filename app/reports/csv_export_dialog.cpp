#include "app/reports/csv_export_dialog.h"

#include <QDir>

#include "core/reports/csv_export.h"
#include "widgets/path_text.h"

namespace cheque {

CsvPathPicker FileDialogCsvPicker() {
  return [](QWidget* parent, const QString& suggested) {
    return PickFileToSave(parent, QStringLiteral("ייצוא"), suggested,
                          QStringLiteral("CSV (*.csv)"));
  };
}

bool ExportCsv(Services& services, QWidget* parent, const CsvPathPicker& picker,
               const QString& folder, const QString& file_name, const QByteArray& bytes) {
  const QString path = picker(parent, QDir(folder).filePath(file_name));
  if (path.isEmpty()) return false;
  QString error;
  if (WriteCsvFile(path, bytes, &error)) return true;
  QString text =
      QStringLiteral("לא ניתן לשמור את הקובץ\r") + PathText(QDir::toNativeSeparators(path));
  if (!error.isEmpty()) text += u'\r' + error;
  services.prompter->ShowError(text, parent);
  return false;
}

}  // namespace cheque
