#include "core/files/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "core/files/line_file.h"

namespace cheque {

QString ProgramFolder() {
  QString folder = qEnvironmentVariable("CHEQUE_HOME");
  if (folder.isEmpty()) {
    folder =
        QCoreApplication::instance() != nullptr
            ? QCoreApplication::applicationDirPath()
            : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
  }
  folder = QDir(folder).absolutePath();
  if (!folder.endsWith(u'/')) folder += u'/';
  return folder;
}

QString ProgramFile(const QString& name) { return ProgramFolder() + name; }

void CopyFileIfMissing(const QString& target, const QString& source) {
  if (QFileInfo::exists(target)) return;
  WriteFileAtomic(target, ReadFileBytes(source).value_or(QByteArray()));
}

}  // namespace cheque
