// The account list (Accts.dat): read from a file, written and read again; an
// account's file never lies outside the program folder and a new file base
// names no account.

#include <QDir>
#include <QFileInfo>

#include "core/files/account_list.h"
#include "core/register/open_account.h"
#include "core/text/text_compare.h"
#include "fuzz/support.h"

using cheque::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString path = cheque::fuzz::WriteScratchFile(QStringLiteral("Accts.dat"),
                                                      cheque::fuzz::AsBytes(data, size));
  const auto list = cheque::AccountList::Read(path);
  Check(list.has_value() == (size > 0), "only an empty account list reads as none");
  if (!list) return 0;

  const QString folder = cheque::fuzz::ScratchFolder();
  for (const cheque::AccountDefinition& account : list->Accounts()) {
    const cheque::AccountDefinition* found = list->Find(account.name);
    Check(found != nullptr && cheque::TextEquals(found->name, account.name),
          "an account of the list is not found by its name");
    const QString file = cheque::AccountFilePath(folder, account.file_base);
    Check(file.isEmpty() || QFileInfo(file).absolutePath() == QDir(folder).absolutePath(),
          "an account file lies outside the program folder");
  }

  // The program's way to an account, for the first one (it reads the list again).
  if (!list->IsEmpty()) {
    const QString& name = list->Accounts().front().name;
    const cheque::AccountLocation location = cheque::LocateAccount(folder, name);
    Check(location.list_read && location.definition &&
              cheque::TextEquals(location.definition->name, name),
          "an account of the list is not located by its name");
    Check(QFileInfo(location.path).absolutePath() == QDir(folder).absolutePath(),
          "an account is located outside the program folder");
  }

  const QString base = cheque::NextAccountFileBase(folder, *list);
  Check(cheque::IsSafeFileBase(base), "a new file base is not safe");
  for (const cheque::AccountDefinition& account : list->Accounts()) {
    Check(!cheque::TextEquals(account.file_base, base), "a new file base names an account");
  }

  const QByteArray saved = list->ToBytes();
  if (saved.isEmpty()) return 0;
  const auto again = cheque::AccountList::Read(
      cheque::fuzz::WriteScratchFile(QStringLiteral("Accts2.dat"), cheque::fuzz::AsBytes(saved)));
  Check(again && again->Accounts().size() == list->Accounts().size() && again->ToBytes() == saved,
        "a saved account list does not read back as itself");
  return 0;
}
