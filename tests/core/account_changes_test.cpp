#include "core/files/account_changes.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <functional>

#include "core/files/program_folder.h"

using namespace cheque;
using namespace Qt::StringLiterals;

namespace {

// "name:base" records, in list order.
AccountList List(const QStringList& records) {
  AccountList list;
  for (const QString& record : records) {
    AccountDefinition account;
    account.name = record.section(u':', 0, 0);
    account.file_base = record.section(u':', 1, 1);
    list.Append(account);
  }
  return list;
}

QString Records(const AccountList& list) {
  QStringList records;
  for (const AccountDefinition& a : list.Accounts()) {
    records.append(a.name + u':' + a.file_base + u':' + a.next_cheque);
  }
  return records.join(u' ');
}

// Runs `change` with writes of more than a few bytes refused, as on a full disk.
AccountChange WithFullDisk(const std::function<AccountChange()>& change) {
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 16;
  setrlimit(RLIMIT_FSIZE, &small);
  AccountChange result = change();
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  return result;
}

AccountDefinition Named(const QString& name, const QString& base) {
  AccountDefinition account;
  account.name = name;
  account.file_base = base;
  return account;
}

}  // namespace

TEST(AccountChanges, ListAndFilesChangeTogetherOrNotAtAll) {
  using enum AccountChangeStatus;
  using Change = std::function<AccountChange(const QString&)>;
  struct Case {
    const char* why;
    QStringList list;   // "name:base"; empty: no list file
    QStringList files;  // account files in the folder; a "/" ending makes a folder
    Change change;
    AccountChangeStatus status;
    QString records_after;    // "name:base:cheque" of the list on disk
    QStringList files_after;  // besides the list
  };
  const Case cases[] = {
      {"a deleted account takes its file with it",
       {u"בית:Xct1"_s, u"עסק:Xct2"_s},
       {u"Xct1.dat"_s, u"Xct2.dat"_s},
       [](const QString& f) { return DeleteAccount(f, u"בית"); },
       kDone,
       u"עסק:Xct2:0000000"_s,
       {u"Xct2.dat"_s}},
      {"a file another account shares stays",
       {u"home:Xct1"_s, u"copy:XCT1"_s},
       {u"Xct1.dat"_s},
       [](const QString& f) { return DeleteAccount(f, u"HOME"); },
       kDone,
       u"copy:XCT1:0000000"_s,
       {u"Xct1.dat"_s}},
      {"a base that is no plain name deletes no file",
       {u"a:..:"_s, u"b:Xct2"_s},
       {u"Xct2.dat"_s},
       [](const QString& f) { return DeleteAccount(f, u"a"); },
       kDone,
       u"b:Xct2:0000000"_s,
       {u"Xct2.dat"_s}},
      {"an unknown account changes nothing",
       {u"a:Xct1"_s},
       {u"Xct1.dat"_s},
       [](const QString& f) { return DeleteAccount(f, u"b"); },
       kUnknownAccount,
       u"a:Xct1:0000000"_s,
       {u"Xct1.dat"_s}},
      {"a list that cannot be written deletes nothing",
       {u"a:Xct1"_s, u"b:Xct2"_s},
       {u"Xct1.dat"_s, u"Xct2.dat"_s},
       [](const QString& f) { return WithFullDisk([&f] { return DeleteAccount(f, u"a"); }); },
       kListUnwritable,
       u"a:Xct1:0000000 b:Xct2:0000000"_s,
       {u"Xct1.dat"_s, u"Xct2.dat"_s}},
      {"a file that cannot be deleted puts the record back",
       {u"a:Xct1"_s, u"b:Xct2"_s},
       {u"Xct1.dat/"_s, u"Xct2.dat"_s},
       [](const QString& f) { return DeleteAccount(f, u"a"); },
       kFileKept,
       u"a:Xct1:0000000 b:Xct2:0000000"_s,
       {u"Xct1.dat"_s, u"Xct2.dat"_s}},
      {"a list that is there but cannot be read is never rewritten",
       {u"a:Xct1"_s},
       {u"Xct1.dat"_s},
       [](const QString& f) {
         // A pipe in the list's place: not a file to read, nor one to replace.
         QFile::remove(QDir(f).filePath(u"Accts.dat"_s));
         mkfifo(QFile::encodeName(QDir(f).filePath(u"Accts.dat"_s)).constData(), 0600);
         return SaveAccountDefinition(f, Named(u"new"_s, u"Xct9"_s), {});
       },
       kListUnreadable,
       {},
       {u"Accts.dat"_s, u"Xct1.dat"_s}},
      {"the first account makes the list",
       {},
       {},
       [](const QString& f) { return SaveAccountDefinition(f, Named(u"a"_s, u"Xct1"_s), {}); },
       kDone,
       u"a:Xct1:0000000"_s,
       {}},
      {"a new account of a taken name is refused",
       {u"Bank:Xct1"_s},
       {},
       [](const QString& f) { return SaveAccountDefinition(f, Named(u"BANK"_s, u"Xct2"_s), {}); },
       kDuplicateName,
       u"Bank:Xct1:0000000"_s,
       {}},
      {"a rename to another account's name is refused",
       {u"a:Xct1"_s, u"b:Xct2"_s},
       {},
       [](const QString& f) { return SaveAccountDefinition(f, Named(u"B"_s, u"Xct1"_s), u"a"); },
       kDuplicateName,
       u"a:Xct1:0000000 b:Xct2:0000000"_s,
       {}},
      {"a rename in its letter case keeps the place and the base",
       {u"bank:Xct1"_s, u"b:Xct2"_s},
       {},
       [](const QString& f) {
         return SaveAccountDefinition(f, Named(u"BANK"_s, u"Xct1"_s), u"bank");
       },
       kDone,
       u"BANK:Xct1:0000000 b:Xct2:0000000"_s,
       {}},
      {"a definition gone from the list meanwhile is added again",
       {u"b:Xct2"_s},
       {},
       [](const QString& f) { return SaveAccountDefinition(f, Named(u"a"_s, u"Xct1"_s), u"a"); },
       kDone,
       u"b:Xct2:0000000 a:Xct1:0000000"_s,
       {}},
      {"a definition that cannot be written leaves the list",
       {u"a:Xct1"_s},
       {},
       [](const QString& f) {
         return WithFullDisk(
             [&f] { return SaveAccountDefinition(f, Named(u"longer name"_s, u"Xct1"_s), u"a"); });
       },
       kListUnwritable,
       u"a:Xct1:0000000"_s,
       {}},
      {"the cheque number changes alone",
       {u"a:Xct1"_s, u"b:Xct2"_s},
       {},
       [](const QString& f) { return AdvanceChequeNumber(f, u"B", u"0000042"_s); },
       kDone,
       u"a:Xct1:0000000 b:Xct2:0000042"_s,
       {}},
      {"the cheque number of an unknown account is not written",
       {u"a:Xct1"_s},
       {},
       [](const QString& f) { return AdvanceChequeNumber(f, u"b", u"0000042"_s); },
       kUnknownAccount,
       u"a:Xct1:0000000"_s,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    QTemporaryDir dir;
    const QString folder = dir.path();
    if (!c.list.isEmpty()) {
      ASSERT_TRUE(List(c.list).Write(QDir(folder).filePath(u"Accts.dat"_s)));
    }
    for (const QString& file : c.files) {
      if (file.endsWith(u'/')) {
        QDir(folder).mkpath(file + u"inside"_s);
      } else {
        QFile out(QDir(folder).filePath(file));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("rows\r\n");
      }
    }
    const AccountChange result = c.change(folder);
    EXPECT_EQ(result.status, c.status);
    const auto on_disk = AccountList::Read(QDir(folder).filePath(u"Accts.dat"_s));
    const QString records = on_disk ? Records(*on_disk) : QString();
    EXPECT_EQ(records, c.records_after);
    EXPECT_EQ(Records(result.list), c.status == kListUnreadable ? QString() : records);
    QStringList files = QDir(folder).entryList(
        QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (c.status != kListUnreadable) files.removeAll(u"Accts.dat"_s);
    EXPECT_EQ(files, c.files_after);
  }
}
