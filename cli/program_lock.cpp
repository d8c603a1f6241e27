#include "cli/program_lock.h"

#include "cli/output.h"
#include "core/text/text_compare.h"

namespace cheque::cli {

std::unique_ptr<InstanceLock> LockProgramFolder(const QString& home) {
  auto lock = std::make_unique<InstanceLock>(InstanceLockPath(home));
  if (lock->Acquire()) return lock;
  PrintError(lock->HeldByAnother()
                 ? QStringLiteral("cheque-cli: התוכנה פתוחה על תיקייה זו")
                 : QStringLiteral("cheque-cli: cannot write into the folder ") + Shortened(home));
  return nullptr;
}

}  // namespace cheque::cli
