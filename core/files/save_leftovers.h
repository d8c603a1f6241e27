#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace cheque {

// Where a file system cannot make an unnamed temporary file, QSaveFile writes
// "<name>.XXXXXX" beside the file (six random ASCII letters) and renames it
// over the file when done; a save killed halfway leaves it there for good.
// The same name shows briefly even where unnamed files work.

// True for such a temporary name of one of the program's data files:
// `data_file_names` (exact names) or an account file "Xct<number>.dat". Six
// letters of one case are not taken: that is more likely a copy the user made
// ("Xct1.dat.backup") than a leftover, and the few leftovers so spared cost
// only room.
bool IsSaveLeftoverName(QStringView name, const QStringList& data_file_names);

// The program's data file names looked for in `folder`: the fixed ones and
// the account files named in the account list there.
QStringList DataFileNames(const QString& folder);

// Deletes the leftovers of the program's own data files in `folder` (the
// program folder or a backup folder); regular files only, nothing else.
// Run it while no save can be under way there. Returns the names deleted.
QStringList RemoveSaveLeftovers(const QString& folder);

}  // namespace cheque
