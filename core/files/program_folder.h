#pragma once

#include <QString>

namespace cheque {

// The folder of the running program with a trailing separator; CHEQUE_HOME in
// the environment overrides it.
QString ProgramFolder();

// A file of the program folder.
QString ProgramFile(const QString& name);
// A file of the program folder by that name that does not exist yet:
// "Report.pdf", else "Report (2).pdf", "Report (3).pdf", ...
QString UnusedProgramFile(const QString& name);

// Copies `source` to `target` unless the target exists; when the source cannot
// be read the target is still created, empty.
void CopyFileIfMissing(const QString& target, const QString& source);

// Names of the data files in the program folder.
namespace file_names {
inline const QString kAccountList = QStringLiteral("Accts.dat");
inline const QString kPersonalDetails = QStringLiteral("AcMyData.Dat");
inline const QString kLastAccount = QStringLiteral("Cheque.ini");
inline const QString kPrivateTree = QStringLiteral("Categ.dat");
inline const QString kBusinessTree = QStringLiteral("BCateg.dat");
inline const QString kDefaultPrivateTree = QStringLiteral("DCateg.dat");
inline const QString kDefaultBusinessTree = QStringLiteral("DCategB.dat");
inline const QString kDefaultAccountFile = QStringLiteral("Default.dat");
inline const QString kLock = QStringLiteral("Cheque.lck");
inline const QString kPrivateTreeBackup = QStringLiteral("Categ.~da");
inline const QString kBusinessTreeBackup = QStringLiteral("BCateg.~da");
inline const QString kAddressBook = QStringLiteral("MyAddr.Dat");
}  // namespace file_names

}  // namespace cheque
