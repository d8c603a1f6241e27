#include "core/backup/backup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "core/backup/backup_files.h"
#include "core/files/account_list.h"
#include "core/files/line_file.h"

using namespace cheque;
using namespace Qt::StringLiterals;

namespace {

const QString kSuccess = u"הגיבוי הסתיים בהצלחה"_s;
const QString kRestored = u"השחזור הסתיים בהצלחה"_s;

// A program folder "live" and a backup folder "bak" in a temporary folder.
struct Folders {
  QTemporaryDir dir;
  QString live = dir.filePath(u"live"_s);
  QString bak = dir.filePath(u"bak"_s);
  Folders() {
    QDir().mkpath(live);
    QDir().mkpath(bak);
  }
  QString In(const QString& folder, const QString& name) const {
    return QDir(folder).filePath(name);
  }
};

AccountDefinition Account(const QString& name, const QString& base, const QString& bank = {}) {
  AccountDefinition account;
  account.name = name;
  account.file_base = base;
  account.bank = bank;
  return account;
}

void WriteList(const QString& folder, const std::vector<AccountDefinition>& accounts) {
  AccountList list;
  for (const auto& a : accounts) list.Append(a);
  ASSERT_TRUE(list.Write(QDir(folder).filePath(u"Accts.dat"_s)));
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray Bytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

// "name/base/bank" per block of a folder's list.
QStringList Blocks(const QString& folder) {
  QStringList out;
  const auto list = AccountList::Read(QDir(folder).filePath(u"Accts.dat"_s));
  if (!list) return out;
  for (const auto& a : list->Accounts()) out << a.name + u'/' + a.file_base + u'/' + a.bank;
  return out;
}

QString LastText(const BackupOutcome& outcome) {
  return outcome.messages.empty() ? QString() : outcome.messages.back().text;
}

}  // namespace

TEST(Backup, SpaceLine) {
  struct Case {
    qint64 free, required;
    QString caption;
    bool enough;
  };
  const Case cases[] = {
      {0, 0, u"פנוי: 0Kb, דרוש: 0Kb"_s, false},  // a drive not ready
      {1024, 0, u"פנוי: 1Kb, דרוש: 0Kb"_s, true},
      {2047, 1023, u"פנוי: 1Kb, דרוש: 0Kb"_s, true},
      {10240, 10240, u"פנוי: 10Kb, דרוש: 10Kb"_s, false},
      {-1, 5000, u"פנוי: 0Kb, דרוש: 4Kb"_s, false},
  };
  for (const Case& c : cases) {
    const SpaceLine line = MakeSpaceLine(c.free, c.required);
    EXPECT_EQ(line.caption, c.caption);
    EXPECT_EQ(line.enough, c.enough) << c.free << ' ' << c.required;
  }
}

TEST(Backup, FindBlockByName) {
  QStringList lines =
      Account(u"Home"_s, u"Xct1"_s).ToLines() + Account(u"עסק"_s, u"Xct2"_s).ToLines();
  lines[2] = u"עסק2"_s;      // a name inside a block is not a block's name
  lines.append(u"שארית"_s);  // one line past the blocks: the list's last index
  struct Case {
    QString name;
    int at;
  };
  const Case cases[] = {
      {u"home"_s, 0}, {u"עסק"_s, 14}, {u"עסק2"_s, -1}, {u"שארית"_s, -1}, {u""_s, -1}};
  for (const Case& c : cases) EXPECT_EQ(FindBlock(lines, c.name), c.at) << c.name.toStdString();
  EXPECT_EQ(BlockNames(lines), (QStringList{u"Home"_s, u"עסק"_s}));
}

TEST(Backup, RoundTripIntoAnEmptyProgramFolder) {
  Folders f;
  WriteList(f.live, {Account(u"בית"_s, u"Xct1"_s, u"לאומי"_s), Account(u"עסק"_s, u"Xct2"_s)});
  WriteBytes(f.In(f.live, u"Xct1.dat"_s), "100\r\n\xe1\xe9\xfa\r\n");
  WriteBytes(f.In(f.live, u"Xct2.dat"_s), QByteArray(3000, 'x'));
  int steps = 0;
  const BackupOutcome backup =
      BackUpAccounts(f.live, f.bak, {u"בית"_s, u"עסק"_s}, [&steps] { ++steps; });
  EXPECT_EQ(steps, 3);
  ASSERT_EQ(backup.messages.size(), 1u);
  EXPECT_EQ(LastText(backup), kSuccess);
  EXPECT_FALSE(backup.messages[0].error);
  EXPECT_EQ(BackupAccountNames(f.bak), (QStringList{u"בית"_s, u"עסק"_s}));
  EXPECT_EQ(RequiredBackupBytes(f.live, {u"בית"_s, u"עסק"_s, u"אין"_s}), 3000 + 10);

  const QString fresh = f.dir.filePath(u"fresh"_s);
  QDir().mkpath(fresh);
  const BackupOutcome restore = RestoreAccounts(fresh, f.bak, {u"בית"_s, u"עסק"_s});
  EXPECT_EQ(LastText(restore), kRestored);
  EXPECT_EQ(restore.done, (QStringList{u"בית"_s, u"עסק"_s}));
  for (const QString& name : {u"Accts.dat"_s, u"Xct1.dat"_s, u"Xct2.dat"_s}) {
    EXPECT_EQ(Bytes(f.In(fresh, name)), Bytes(f.In(f.live, name))) << name.toStdString();
  }
}

TEST(Backup, BlockReplacedInPlaceAndNewOneAppended) {
  Folders f;
  WriteList(f.bak, {Account(u"בית"_s, u"Xct1"_s, u"ישן"_s), Account(u"אחר"_s, u"Xct7"_s)});
  WriteBytes(f.In(f.bak, u"Xct1.dat"_s), "old");
  WriteBytes(f.In(f.bak, u"Xct7.dat"_s), "other");
  WriteList(f.live, {Account(u"BAYIT"_s, u"Xct3"_s), Account(u"בית"_s, u"Xct1"_s, u"חדש"_s)});
  WriteBytes(f.In(f.live, u"Xct1.dat"_s), "new");
  WriteBytes(f.In(f.live, u"Xct3.dat"_s), "bayit");
  const BackupOutcome outcome = BackUpAccounts(f.live, f.bak, {u"בית"_s, u"bayit"_s});
  EXPECT_EQ(LastText(outcome), kSuccess);
  EXPECT_EQ(Blocks(f.bak), (QStringList{u"בית/Xct1/חדש"_s, u"אחר/Xct7/"_s, u"BAYIT/Xct3/"_s}));
  EXPECT_EQ(Bytes(f.In(f.bak, u"Xct1.dat"_s)), "new");
  EXPECT_EQ(Bytes(f.In(f.bak, u"Xct7.dat"_s)), "other");
}

// Restores that must leave the program folder as it was.
TEST(Backup, RefusedRestoreChangesNothing) {
  struct Case {
    const char* why;
    std::function<void(Folders&)> spoil;
  };
  const Case cases[] = {
      {"the backup's list cannot be read",
       [](Folders& f) {
         QFile::remove(f.In(f.bak, u"Accts.dat"_s));
         QDir().mkpath(f.In(f.bak, u"Accts.dat"_s));
       }},
      {"the backup's list is empty",
       [](Folders& f) { WriteBytes(f.In(f.bak, u"Accts.dat"_s), ""); }},
      {"the backup's list is cut short",
       [](Folders& f) {
         WriteBytes(f.In(f.bak, u"Accts.dat"_s),
                    JoinLines(Account(u"חדש"_s, u"Xct5"_s).ToLines().mid(0, 9)));
       }},
      {"the live list cannot be read",
       [](Folders& f) {
         QFile::remove(f.In(f.live, u"Accts.dat"_s));
         QDir().mkpath(f.In(f.live, u"Accts.dat"_s));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Folders f;
    WriteList(f.bak, {Account(u"חדש"_s, u"Xct5"_s)});
    WriteBytes(f.In(f.bak, u"Xct5.dat"_s), "backed up");
    WriteList(f.live, {Account(u"בית"_s, u"Xct1"_s)});
    c.spoil(f);
    const QByteArray list_before = Bytes(f.In(f.live, u"Accts.dat"_s));
    const BackupOutcome outcome = RestoreAccounts(f.live, f.bak, {u"חדש"_s});
    EXPECT_EQ(Bytes(f.In(f.live, u"Accts.dat"_s)), list_before);
    EXPECT_FALSE(QFile::exists(f.In(f.live, u"Xct5.dat"_s)));
    ASSERT_FALSE(outcome.messages.empty());
    EXPECT_TRUE(outcome.messages.back().error);
    EXPECT_TRUE(outcome.done.isEmpty());
  }
}

// Back up A in Xct1, delete A, define B (which takes Xct1 again), restore A;
// and the mirror: B backed up beside A's old copy.
TEST(Backup, NeverOverwritesAnotherAccountsFile) {
  for (const bool restore : {true, false}) {
    SCOPED_TRACE(restore ? "restore" : "backup");
    Folders f;
    const QString from = restore ? f.bak : f.live;
    const QString to = restore ? f.live : f.bak;
    WriteList(from, {Account(u"A"_s, u"Xct1"_s, u"a"_s)});
    WriteBytes(f.In(from, u"Xct1.dat"_s), "A's rows");
    WriteList(to, {Account(u"B"_s, u"Xct1"_s, u"b"_s)});
    WriteBytes(f.In(to, u"Xct1.dat"_s), "B's rows");
    const BackupOutcome outcome = restore ? RestoreAccounts(f.live, f.bak, {u"a"_s})
                                          : BackUpAccounts(f.live, f.bak, {u"a"_s});
    EXPECT_EQ(LastText(outcome), restore ? kRestored : kSuccess);
    EXPECT_EQ(Blocks(to), (QStringList{u"B/Xct1/b"_s, u"A/Xct2/a"_s}));
    EXPECT_EQ(Bytes(f.In(to, u"Xct1.dat"_s)), "B's rows");
    EXPECT_EQ(Bytes(f.In(to, u"Xct2.dat"_s)), "A's rows");
  }
}

// Files that do not arrive: each is told, nothing half-done is listed, and
// the work ends with an error rather than the success message.
TEST(Backup, FilesThatDoNotArrive) {
  struct Case {
    const char* why;
    bool restore;
    QString base;  // of account "A"
    QString first_message;
  };
  const Case cases[] = {
      {"a backed-up file that is missing", false, u"Xct9"_s, u" גיבוי הקובץ נכשל "_s},
      {"a live file base that is not safe", false, u"../x"_s, u" גיבוי הקובץ נכשל "_s},
      {"a restored file that is missing", true, u"Xct9"_s, u" שחזור הקובץ נכשל "_s},
      {"a backup's file base leading out of the folder", true, u"../../x"_s,
       u" שם הקובץ של החשבון בגיבוי אינו תקין "_s},
      {"a backup's file that links outside", true, u"Xct4"_s, u" שחזור הקובץ נכשל "_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Folders f;
    const QString from = c.restore ? f.bak : f.live;
    const QString to = c.restore ? f.live : f.bak;
    WriteList(from, {Account(u"A"_s, c.base), Account(u"B"_s, u"Xct2"_s)});
    WriteBytes(f.In(from, u"Xct2.dat"_s), "B");
    WriteBytes(f.dir.filePath(u"x.dat"_s), "outside");
    QFile::link(f.dir.filePath(u"x.dat"_s), f.In(from, u"Xct4.dat"_s));
    const BackupOutcome outcome = c.restore ? RestoreAccounts(f.live, f.bak, {u"A"_s, u"B"_s})
                                            : BackUpAccounts(f.live, f.bak, {u"A"_s, u"B"_s});
    ASSERT_EQ(outcome.messages.size(), 2u);
    EXPECT_TRUE(outcome.messages[0].text.endsWith(c.first_message));
    EXPECT_TRUE(outcome.messages[1].error);
    EXPECT_NE(outcome.messages[1].text, c.restore ? kRestored : kSuccess);
    EXPECT_EQ(outcome.done, QStringList{u"B"_s});
    EXPECT_EQ(Blocks(to), QStringList{u"B/Xct2/"_s});
    EXPECT_EQ(QDir(to).entryList(QDir::Files), (QStringList{u"Accts.dat"_s, u"Xct2.dat"_s}));
    EXPECT_EQ(Bytes(f.dir.filePath(u"x.dat"_s)), "outside");
  }
}

TEST(Backup, FailedCopyLeavesTheDestination) {
  Folders f;
  const QString target = f.In(f.live, u"Xct1.dat"_s);
  WriteBytes(target, "kept");
  EXPECT_FALSE(CopyFileAtomic(f.In(f.bak, u"none.dat"_s), target));
  EXPECT_FALSE(CopyFileAtomic(f.bak, target));  // a folder as the source
  EXPECT_EQ(Bytes(target), "kept");
}
