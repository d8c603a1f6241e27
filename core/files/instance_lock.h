#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace cheque {

// Keeps a second copy of the program off the same program folder. The lock
// file holds the process id; a lock left by a run that crashed is taken over.
// Setup and the command-line tool take the same lock before they change the
// folder, so none of them works on it while the program has it open.
class InstanceLock {
 public:
  explicit InstanceLock(const QString& lock_path);
  bool Acquire();
  // After a failed Acquire: true when a running process holds the lock, false
  // when the lock file could not be made (no such folder, no permission).
  bool HeldByAnother() const;
  // Gives the lock up before the end of its owner, its file deleted.
  void Release();

 private:
  std::unique_ptr<QLockFile> lock_;
};

// The lock file of a program folder.
QString InstanceLockPath(const QString& folder);

}  // namespace cheque
