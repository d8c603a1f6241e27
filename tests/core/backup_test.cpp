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

// One whole record of an account file, its description `text`.
QByteArray Rows(const QByteArray& text) {
  return "100\r\n\r\n\r\n1/12/2026\r\n\r\n\r\n" + text + "\r\n\r\n";
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
      {2047, 1023, u"פנוי: 1Kb, דרוש: 1Kb"_s, false},
      {1024, 2 * 1641, u"פנוי: 1Kb, דרוש: 4Kb"_s, false},  // needed rounds up
      {5 * 1024, 4097, u"פנוי: 5Kb, דרוש: 5Kb"_s, false},
      {10240, 10240, u"פנוי: 10Kb, דרוש: 10Kb"_s, false},
      {-1, 5000, u"פנוי: 0Kb, דרוש: 5Kb"_s, false},
      {75481148LL * 1024 + 1023, 1234567 * 1024LL, u"פנוי: 75,481,148Kb, דרוש: 1,234,567Kb"_s,
       true},
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
  WriteBytes(f.In(f.live, u"Xct1.dat"_s), Rows("\xe1\xe9\xfa"));
  WriteBytes(f.In(f.live, u"Xct2.dat"_s), Rows(QByteArray(3000, 'x')));
  int steps = 0;
  const BackupOutcome backup =
      BackUpAccounts(f.live, f.bak, {u"בית"_s, u"עסק"_s}, [&steps] { ++steps; });
  EXPECT_EQ(steps, 3);
  ASSERT_EQ(backup.messages.size(), 1u);
  EXPECT_EQ(LastText(backup), kSuccess);
  EXPECT_FALSE(backup.messages[0].error);
  EXPECT_EQ(BackupAccountNames(f.bak), (QStringList{u"בית"_s, u"עסק"_s}));
  EXPECT_EQ(RequiredBackupBytes(f.live, {u"בית"_s, u"עסק"_s, u"אין"_s}),
            Rows("\xe1\xe9\xfa").size() + Rows(QByteArray(3000, 'x')).size());

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

// Restores that must leave the program folder as it was: no file, no list,
// nothing kept beside them, and no success message.
TEST(Backup, RefusedRestoreChangesNothing) {
  const auto write_bak = [](const QByteArray& bytes) {
    return [bytes](Folders& f) { WriteBytes(f.In(f.bak, u"Xct5.dat"_s), bytes); };
  };
  // The list moved elsewhere and a link put in its place.
  const auto link_list = [](bool backup_side, int how) {
    return [backup_side, how](Folders& f) {
      const QString list = f.In(backup_side ? f.bak : f.live, u"Accts.dat"_s);
      const QString moved = f.dir.filePath(u"elsewhere.dat"_s);
      QFile::rename(list, moved);
      const QString target = how == 0   ? moved
                             : how == 1 ? u"../elsewhere.dat"_s
                                        : f.dir.filePath(u"none.dat"_s);
      ASSERT_TRUE(QFile::link(target, list));
    };
  };
  const QByteArray whole_list = JoinLines(Account(u"חדש"_s, u"Xct5"_s).ToLines());
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
      {"the backup's list is cut at a line",
       [](Folders& f) {
         WriteBytes(f.In(f.bak, u"Accts.dat"_s),
                    JoinLines(Account(u"חדש"_s, u"Xct5"_s).ToLines().mid(0, 9)));
       }},
      {"the backup's list is cut inside its last line (\"17\" became \"1\")",
       [whole_list](Folders& f) {
         WriteBytes(f.In(f.bak, u"Accts.dat"_s), whole_list.chopped(3));
       }},
      {"the backup's list lost its last line end",
       [whole_list](Folders& f) {
         WriteBytes(f.In(f.bak, u"Accts.dat"_s), whole_list.chopped(2));
       }},
      {"the live list cannot be read",
       [](Folders& f) {
         QFile::remove(f.In(f.live, u"Accts.dat"_s));
         QDir().mkpath(f.In(f.live, u"Accts.dat"_s));
       }},
      {"the backup's list is an absolute link", link_list(true, 0)},
      {"the backup's list is a relative link", link_list(true, 1)},
      {"the backup's list is a dangling link", link_list(true, 2)},
      {"the live list is an absolute link", link_list(false, 0)},
      {"the live list is a relative link", link_list(false, 1)},
      {"the live list is a dangling link", link_list(false, 2)},
      {"the backup file is too short", write_bak("OLD-XCT1")},
      {"the backup file is empty", write_bak("")},
      {"the backup file is cut inside a record", write_bak(Rows("one") + Rows("two").left(20))},
      {"the backup file is binary", write_bak(QByteArray("\x7f"
                                                         "ELF\x02\x01\x01\0\0\0\r\n",
                                                         12)
                                                  .repeated(40))},
      {"the live file is a link",
       [](Folders& f) {
         WriteBytes(f.dir.filePath(u"x.dat"_s), Rows("outside"));
         QFile::remove(f.In(f.live, u"Xct5.dat"_s));
         QFile::link(f.dir.filePath(u"x.dat"_s), f.In(f.live, u"Xct5.dat"_s));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Folders f;
    WriteList(f.bak, {Account(u"חדש"_s, u"Xct5"_s)});
    WriteBytes(f.In(f.bak, u"Xct5.dat"_s), Rows("backed up"));
    WriteList(f.live, {Account(u"בית"_s, u"Xct1"_s), Account(u"חדש"_s, u"Xct5"_s, u"live"_s)});
    WriteBytes(f.In(f.live, u"Xct5.dat"_s), Rows("live rows"));
    c.spoil(f);
    const QByteArray list_before = Bytes(f.In(f.live, u"Accts.dat"_s));
    const QByteArray file_before = Bytes(f.In(f.live, u"Xct5.dat"_s));
    const QStringList names_before = QDir(f.live).entryList(QDir::AllEntries | QDir::System);
    const QByteArray outside_before = Bytes(f.dir.filePath(u"elsewhere.dat"_s));
    const BackupOutcome outcome = RestoreAccounts(f.live, f.bak, {u"חדש"_s});
    EXPECT_EQ(Bytes(f.In(f.live, u"Accts.dat"_s)), list_before);
    EXPECT_EQ(Bytes(f.In(f.live, u"Xct5.dat"_s)), file_before);
    EXPECT_EQ(QDir(f.live).entryList(QDir::AllEntries | QDir::System), names_before);
    EXPECT_EQ(Bytes(f.dir.filePath(u"elsewhere.dat"_s)), outside_before);
    EXPECT_FALSE(QFile::exists(f.dir.filePath(u"none.dat"_s)));
    ASSERT_FALSE(outcome.messages.empty());
    EXPECT_TRUE(outcome.messages.back().error);
    EXPECT_NE(LastText(outcome), kRestored);
    EXPECT_TRUE(outcome.done.isEmpty());
  }
}

// A damaged file is named; the other account is restored all the same.
TEST(Backup, DamagedBackupFileIsRefusedByName) {
  Folders f;
  WriteList(f.bak, {Account(u"בית"_s, u"Xct1"_s), Account(u"עסק"_s, u"Xct2"_s)});
  WriteBytes(f.In(f.bak, u"Xct1.dat"_s), "OLD-XCT1");
  WriteBytes(f.In(f.bak, u"Xct2.dat"_s), Rows("business"));
  const BackupOutcome outcome = RestoreAccounts(f.live, f.bak, {u"בית"_s, u"עסק"_s});
  ASSERT_EQ(outcome.messages.size(), 2u);
  EXPECT_EQ(outcome.messages[0].text, u"קובץ הגיבוי של בית פגום; החשבון לא שוחזר"_s);
  EXPECT_EQ(LastText(outcome), u"השחזור לא הושלם, לא כל הקבצים שוחזרו"_s);
  EXPECT_EQ(outcome.done, QStringList{u"עסק"_s});
  EXPECT_EQ(Blocks(f.live), QStringList{u"עסק/Xct2/"_s});
  EXPECT_FALSE(QFile::exists(f.In(f.live, u"Xct1.dat"_s)));
}

// Each file a restore writes over is kept beside it, the last one only; the
// question names what will be replaced and when it was backed up.
TEST(Backup, RestoreKeepsWhatItReplaces) {
  Folders f;
  WriteList(f.bak, {Account(u"בית"_s, u"Xct1"_s, u"גיבוי"_s), Account(u"חדש"_s, u"Xct2"_s)});
  WriteBytes(f.In(f.bak, u"Xct1.dat"_s), Rows("backed up"));
  WriteBytes(f.In(f.bak, u"Xct2.dat"_s), Rows("new"));
  {
    QFile dated(f.In(f.bak, u"Xct1.dat"_s));
    ASSERT_TRUE(dated.open(QIODevice::Append));
    dated.setFileTime(QDateTime(QDate(2026, 12, 3), QTime(14, 20)),
                      QFileDevice::FileModificationTime);
  }
  WriteList(f.live, {Account(u"בית"_s, u"Xct1"_s, u"חי"_s)});
  WriteBytes(f.In(f.live, u"Xct1.dat"_s), Rows("typed a minute ago"));
  const QByteArray list_before = Bytes(f.In(f.live, u"Accts.dat"_s));

  const RestorePlan plan = PlanRestore(f.live, f.bak, {u"בית"_s, u"חדש"_s});
  EXPECT_EQ(RestoreQuestion(plan),
            u"לשחזר את: בית (גיבוי מ-3/12/2026 14:20)? הנתונים הנוכחיים של חשבונות אלה יוחלפו"_s);
  EXPECT_EQ(Bytes(f.In(f.live, u"Accts.dat"_s)), list_before);  // a plan changes nothing

  EXPECT_EQ(LastText(RestoreAccounts(f.live, f.bak, {u"בית"_s, u"חדש"_s})), kRestored);
  EXPECT_EQ(Bytes(f.In(f.live, u"Xct1.dat"_s)), Rows("backed up"));
  EXPECT_EQ(Bytes(f.In(f.live, u"Xct1.dat.before-restore"_s)), Rows("typed a minute ago"));
  EXPECT_EQ(Bytes(f.In(f.live, u"Accts.dat.before-restore"_s)), list_before);
  EXPECT_FALSE(QFile::exists(f.In(f.live, u"Xct2.dat.before-restore"_s)));  // nothing replaced

  WriteBytes(f.In(f.bak, u"Xct1.dat"_s), Rows("second backup"));
  EXPECT_EQ(LastText(RestoreAccounts(f.live, f.bak, {u"בית"_s})), kRestored);
  EXPECT_EQ(Bytes(f.In(f.live, u"Xct1.dat.before-restore"_s)), Rows("backed up"));
}

// A backup through a link to either list writes nothing anywhere.
TEST(Backup, ListsBehindLinksRefuseTheBackup) {
  for (const bool backup_side : {true, false}) {
    for (const char* target : {"abs", "rel", "dangling"}) {
      SCOPED_TRACE(std::string(backup_side ? "backup list " : "live list ") + target);
      Folders f;
      WriteList(f.live, {Account(u"בית"_s, u"Xct1"_s)});
      WriteBytes(f.In(f.live, u"Xct1.dat"_s), Rows("home"));
      const QString outside = f.dir.filePath(u"bashrc"_s);
      if (backup_side) WriteBytes(outside, "export PS1=x\n");
      if (!backup_side) {
        ASSERT_TRUE(QFile::rename(f.In(f.live, u"Accts.dat"_s), outside));
      }
      const QString list = f.In(backup_side ? f.bak : f.live, u"Accts.dat"_s);
      const QString link = std::string_view(target) == "abs"   ? outside
                           : std::string_view(target) == "rel" ? u"../bashrc"_s
                                                               : f.dir.filePath(u"none"_s);
      ASSERT_TRUE(QFile::link(link, list));
      const QByteArray outside_before = Bytes(outside);
      const BackupOutcome outcome = BackUpAccounts(f.live, f.bak, {u"בית"_s});
      EXPECT_TRUE(outcome.messages.front().text.startsWith(list))
          << LastText(outcome).toStdString();
      EXPECT_NE(LastText(outcome), kSuccess);
      EXPECT_EQ(Bytes(outside), outside_before);
      EXPECT_FALSE(QFile::exists(f.dir.filePath(u"none"_s)));
      EXPECT_EQ(QDir(f.bak).entryList(QDir::Files | QDir::System),
                backup_side ? QStringList{u"Accts.dat"_s} : QStringList{});
    }
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
    WriteBytes(f.In(from, u"Xct1.dat"_s), Rows("A's rows"));
    WriteList(to, {Account(u"B"_s, u"Xct1"_s, u"b"_s)});
    WriteBytes(f.In(to, u"Xct1.dat"_s), Rows("B's rows"));
    const BackupOutcome outcome = restore ? RestoreAccounts(f.live, f.bak, {u"a"_s})
                                          : BackUpAccounts(f.live, f.bak, {u"a"_s});
    EXPECT_EQ(LastText(outcome), restore ? kRestored : kSuccess);
    EXPECT_EQ(Blocks(to), (QStringList{u"B/Xct1/b"_s, u"A/Xct2/a"_s}));
    EXPECT_EQ(Bytes(f.In(to, u"Xct1.dat"_s)), Rows("B's rows"));
    EXPECT_EQ(Bytes(f.In(to, u"Xct2.dat"_s)), Rows("A's rows"));
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
      {"a backed-up file that is missing", false, u"Xct9"_s,
       u"גיבוי החשבון A נכשל: לא ניתן לקרוא את הקובץ (הקובץ אינו קיים)"_s},
      {"a live file base that is not safe", false, u"../x"_s,
       u"גיבוי החשבון A נכשל: שם הקובץ של החשבון אינו תקין"_s},
      {"a backed-up file that links outside", false, u"Xct4"_s,
       u"גיבוי החשבון A נכשל: הקובץ הוא קישור לקובץ אחר"_s},
      {"a restored file that is missing", true, u"Xct9"_s,
       u"שחזור החשבון A נכשל: לא ניתן לקרוא את הקובץ (הקובץ אינו קיים)"_s},
      {"a backup's file base leading out of the folder", true, u"../../x"_s,
       u" שם הקובץ של החשבון בגיבוי אינו תקין "_s},
      {"a backup's file that links outside", true, u"Xct4"_s,
       u"שחזור החשבון A נכשל: הקובץ הוא קישור לקובץ אחר"_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Folders f;
    const QString from = c.restore ? f.bak : f.live;
    const QString to = c.restore ? f.live : f.bak;
    WriteList(from, {Account(u"A"_s, c.base), Account(u"B"_s, u"Xct2"_s)});
    WriteBytes(f.In(from, u"Xct2.dat"_s), Rows("B"));
    WriteBytes(f.dir.filePath(u"x.dat"_s), Rows("outside"));
    QFile::link(f.dir.filePath(u"x.dat"_s), f.In(from, u"Xct4.dat"_s));
    const BackupOutcome outcome = c.restore ? RestoreAccounts(f.live, f.bak, {u"A"_s, u"B"_s})
                                            : BackUpAccounts(f.live, f.bak, {u"A"_s, u"B"_s});
    ASSERT_EQ(outcome.messages.size(), 2u);
    EXPECT_TRUE(outcome.messages[0].text.endsWith(c.first_message))
        << outcome.messages[0].text.toStdString();
    EXPECT_TRUE(outcome.messages[1].error);
    EXPECT_NE(outcome.messages[1].text, c.restore ? kRestored : kSuccess);
    EXPECT_EQ(outcome.done, QStringList{u"B"_s});
    EXPECT_EQ(Blocks(to), QStringList{u"B/Xct2/"_s});
    EXPECT_EQ(QDir(to).entryList(QDir::Files), (QStringList{u"Accts.dat"_s, u"Xct2.dat"_s}));
    EXPECT_EQ(Bytes(f.dir.filePath(u"x.dat"_s)), Rows("outside"));
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
