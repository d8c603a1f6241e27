#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace cheque {

// Keeps a second copy of the program off the same program folder. The lock
// file holds the process id; a lock left by a run that crashed is taken over.
class InstanceLock {
 public:
  explicit InstanceLock(const QString& lock_path);
  bool Acquire();

 private:
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace cheque
