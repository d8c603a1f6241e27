#pragma once

#include <QString>
#include <memory>

#include "core/files/instance_lock.h"

namespace cheque::cli {

// A command that writes into a program folder holds the program's instance
// lock for as long as it writes, as the program does while it is open: the
// program's next save would otherwise undo the command's work. Null, the
// reason printed, while the program (or another command) works on the folder
// or when the lock cannot be made there; the command then exits with
// kExitFileError.
std::unique_ptr<InstanceLock> LockProgramFolder(const QString& home);

}  // namespace cheque::cli
