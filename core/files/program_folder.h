#pragma once

#include <QString>

namespace cheque {

// The folder of the running program with a trailing separator; CHEQUE_HOME in
// the environment overrides it.
QString ProgramFolder();

// A file of the program folder.
QString ProgramFile(const QString& name);

// Copies `source` to `target` unless the target exists; when the source cannot
// be read the target is still created, empty.
void CopyFileIfMissing(const QString& target, const QString& source);

// Names of the data files in the program folder.
namespace file_names {
inline constexpr char16_t kAccountList[] = u"Accts.dat";
inline constexpr char16_t kPersonalDetails[] = u"AcMyData.Dat";
inline constexpr char16_t kLastAccount[] = u"Cheque.ini";
inline constexpr char16_t kPrivateTree[] = u"Categ.dat";
inline constexpr char16_t kBusinessTree[] = u"BCateg.dat";
inline constexpr char16_t kDefaultPrivateTree[] = u"DCateg.dat";
inline constexpr char16_t kDefaultBusinessTree[] = u"DCategB.dat";
inline constexpr char16_t kDefaultAccountFile[] = u"Default.dat";
inline constexpr char16_t kLock[] = u"Cheque.lck";
}  // namespace file_names

}  // namespace cheque
