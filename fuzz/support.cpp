#include "fuzz/support.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace cheque::fuzz {

void Fail(const char* what) {
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

QString ScratchFolder() {
  // Files in memory where the system has such a folder: a file written to
  // disk on every run costs more than the run itself.
  static const auto dir = [] {
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
      return std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/cheque-fuzz-XXXXXX"));
    return std::make_unique<QTemporaryDir>();
  }();
  Check(dir->isValid(), "no scratch folder");
  return dir->path();
}

QString WriteScratchFile(const QString& name, std::string_view bytes) {
  const QString path = ScratchFolder() + u'/' + name;
  // A plain write: the atomic writer syncs to disk, which would slow every run.
  QFile file(path);
  Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "scratch file not written");
  Check(file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
            static_cast<qint64>(bytes.size()),
        "scratch file not written");
  return path;
}

}  // namespace cheque::fuzz
