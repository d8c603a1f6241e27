#include "core/files/account_changes.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

using namespace cheque;
using namespace Qt::StringLiterals;

namespace {

QString Records(const AccountList& list) {
  QStringList records;
  for (const AccountDefinition& a : list.Accounts()) {
    records.append(a.name + u':' + a.file_base + u':' + a.next_cheque);
  }
  return records.join(u' ');
}

AccountDefinition Named(const QString& name, const QString& base = {}) {
  AccountDefinition account;
  account.name = name;
  account.file_base = base;
  return account;
}

// Writes of more than a few bytes fail while it lives, as on a full disk.
class FullDisk {
 public:
  FullDisk() {
    getrlimit(RLIMIT_FSIZE, &old_);
    handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FullDisk() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, handler_);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

 private:
  rlimit old_{};
  void (*handler_)(int) = nullptr;
};

enum class Op { kDelete, kSave, kCheque };
enum class Trouble { kNone, kFullDisk, kPipeForList };

}  // namespace

TEST(AccountChanges, ListAndFilesChangeTogetherOrNotAtAll) {
  using enum AccountChangeStatus;
  struct Case {
    const char* why;
    QString list;   // "name:base" records; none: no list file
    QString files;  // in the folder; a "/" ending makes a folder
    Trouble trouble;
    Op op;
    QString name;      // the account deleted or advanced; the saved one's "name:base"
    QString old_name;  // of the saved account; the next cheque number
    AccountChangeStatus status;
    QString records_after;  // "name:base:cheque" of the list on disk
    QString files_after;
  };
  using enum Op;
  using enum Trouble;
  const Case cases[] = {
      {"a deleted account takes its file with it", u"בית:Xct1 עסק:Xct2"_s, u"Xct1.dat Xct2.dat"_s,
       kNone, kDelete, u"בית"_s, u""_s, kDone, u"עסק:Xct2:0000000"_s, u"Xct2.dat"_s},
      {"a file another account shares stays", u"home:Xct1 copy:XCT1"_s, u"Xct1.dat"_s, kNone,
       kDelete, u"HOME"_s, u""_s, kDone, u"copy:XCT1:0000000"_s, u"Xct1.dat"_s},
      {"a base that is no plain name deletes no file", u"a:..: b:Xct2"_s, u"Xct2.dat"_s, kNone,
       kDelete, u"a"_s, u""_s, kDone, u"b:Xct2:0000000"_s, u"Xct2.dat"_s},
      {"an unknown account changes nothing", u"a:Xct1"_s, u"Xct1.dat"_s, kNone, kDelete, u"b"_s,
       u""_s, kUnknownAccount, u"a:Xct1:0000000"_s, u"Xct1.dat"_s},
      {"a list that cannot be written deletes nothing", u"a:Xct1 b:Xct2"_s, u"Xct1.dat Xct2.dat"_s,
       kFullDisk, kDelete, u"a"_s, u""_s, kListUnwritable, u"a:Xct1:0000000 b:Xct2:0000000"_s,
       u"Xct1.dat Xct2.dat"_s},
      {"a file that cannot be deleted puts the record back", u"a:Xct1 b:Xct2"_s,
       u"Xct1.dat/ Xct2.dat"_s, kNone, kDelete, u"a"_s, u""_s, kFileKept,
       u"a:Xct1:0000000 b:Xct2:0000000"_s, u"Xct1.dat Xct2.dat"_s},
      {"a list that is there but cannot be read is never rewritten", u"a:Xct1"_s, u"Xct1.dat"_s,
       kPipeForList, kSave, u"new:Xct9"_s, u""_s, kListUnreadable, u""_s, u"Accts.dat Xct1.dat"_s},
      {"the first account makes the list", u""_s, u""_s, kNone, kSave, u"a:Xct1"_s, u""_s, kDone,
       u"a:Xct1:0000000"_s, u""_s},
      {"a new account of a taken name is refused", u"Bank:Xct1"_s, u""_s, kNone, kSave,
       u"BANK:Xct2"_s, u""_s, kDuplicateName, u"Bank:Xct1:0000000"_s, u""_s},
      {"a rename to another account's name is refused", u"a:Xct1 b:Xct2"_s, u""_s, kNone, kSave,
       u"B:Xct1"_s, u"a"_s, kDuplicateName, u"a:Xct1:0000000 b:Xct2:0000000"_s, u""_s},
      {"a rename in its letter case keeps the place and the base", u"bank:Xct1 b:Xct2"_s, u""_s,
       kNone, kSave, u"BANK:Xct1"_s, u"bank"_s, kDone, u"BANK:Xct1:0000000 b:Xct2:0000000"_s,
       u""_s},
      {"a definition gone from the list meanwhile is added again", u"b:Xct2"_s, u""_s, kNone, kSave,
       u"a:Xct1"_s, u"a"_s, kDone, u"b:Xct2:0000000 a:Xct1:0000000"_s, u""_s},
      {"a definition that cannot be written leaves the list", u"a:Xct1"_s, u""_s, kFullDisk, kSave,
       u"longer name:Xct1"_s, u"a"_s, kListUnwritable, u"a:Xct1:0000000"_s, u""_s},
      {"the cheque number changes alone", u"a:Xct1 b:Xct2"_s, u""_s, kNone, kCheque, u"B"_s,
       u"0000042"_s, kDone, u"a:Xct1:0000000 b:Xct2:0000042"_s, u""_s},
      {"the cheque number of an unknown account is not written", u"a:Xct1"_s, u""_s, kNone, kCheque,
       u"b"_s, u"0000042"_s, kUnknownAccount, u"a:Xct1:0000000"_s, u""_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QString list_path = folder.filePath(u"Accts.dat"_s);
    if (!c.list.isEmpty()) {
      AccountList list;
      for (const QString& record : c.list.split(u' ')) {
        list.Append(Named(record.section(u':', 0, 0), record.section(u':', 1, 1)));
      }
      ASSERT_TRUE(list.Write(list_path));
    }
    for (const QString& file : c.files.split(u' ', Qt::SkipEmptyParts)) {
      QFile out(folder.filePath(file));
      if (file.endsWith(u'/')) {
        folder.mkpath(file + u"inside"_s);
      } else {
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("rows\r\n");
      }
    }
    if (c.trouble == kPipeForList) {
      // Not a file to read, nor one to replace.
      QFile::remove(list_path);
      mkfifo(QFile::encodeName(list_path).constData(), 0600);
    }
    AccountChange result;
    {
      std::optional<FullDisk> full;
      if (c.trouble == kFullDisk) full.emplace();
      if (c.op == kDelete) result = DeleteAccount(folder.path(), c.name);
      if (c.op == kCheque) result = AdvanceChequeNumber(folder.path(), c.name, c.old_name);
      if (c.op == kSave) {
        const AccountDefinition saved = Named(c.name.section(u':', 0, 0), c.name.section(u':', 1));
        result = SaveAccountDefinition(folder.path(), saved, c.old_name);
      }
    }
    EXPECT_EQ(result.status, c.status);
    const auto on_disk = AccountList::Read(list_path);
    const QString records = on_disk ? Records(*on_disk) : QString();
    EXPECT_EQ(records, c.records_after);
    EXPECT_EQ(Records(result.list), c.status == kListUnreadable ? QString() : records);
    QStringList files = folder.entryList(
        QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (c.status != kListUnreadable) files.removeAll(u"Accts.dat"_s);
    EXPECT_EQ(files.join(u' '), c.files_after);
  }
}
