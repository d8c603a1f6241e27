#include "core/files/instance_lock.h"

#include <QDir>

#include "core/files/program_folder.h"

namespace cheque {

InstanceLock::InstanceLock(const QString& lock_path)
    : lock_(std::make_unique<QLockFile>(lock_path)) {
  // Never stale by age: only a holder that is no longer running gives it up.
  lock_->setStaleLockTime(0);
}

bool InstanceLock::Acquire() {
  // tryLock takes over a lock whose process is gone.
  return lock_->isLocked() || lock_->tryLock(0);
}

bool InstanceLock::HeldByAnother() const { return lock_->error() == QLockFile::LockFailedError; }

void InstanceLock::Release() { lock_->unlock(); }

QString InstanceLockPath(const QString& folder) { return QDir(folder).filePath(file_names::kLock); }

}  // namespace cheque
