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

QString UnusedProgramFile(const QString& name) {
  const QString first = ProgramFile(name);
  if (!QFileInfo::exists(first)) return first;
  const qsizetype dot = name.lastIndexOf(u'.');
  const QString stem = dot < 0 ? name : name.left(dot);
  const QString suffix = dot < 0 ? QString() : name.mid(dot);
  for (int n = 2;; ++n) {
    const QString path = ProgramFile(stem + QStringLiteral(" (%1)").arg(n) + suffix);
    if (!QFileInfo::exists(path)) return path;
  }
}

void CopyFileIfMissing(const QString& target, const QString& source) {
  if (QFileInfo::exists(target)) return;
  WriteFileAtomic(target, ReadFileBytes(source).value_or(QByteArray()));
}

}  // namespace cheque
