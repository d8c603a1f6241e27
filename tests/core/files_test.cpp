#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/files/account_list.h"
#include "core/files/instance_lock.h"
#include "core/files/line_file.h"
#include "core/files/personal_details.h"
#include "core/files/program_folder.h"
#include "core/text/codec.h"

#ifdef __unix__
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace cheque;
using namespace Qt::StringLiterals;

namespace {

QString Q(const char16_t* text) { return QString::fromUtf16(text); }

void WriteRaw(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadRaw(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>"_ba;
}

// Each line read, followed by "|".
std::string AllLines(std::string_view bytes) {
  LineReader reader(bytes);
  std::string lines;
  while (!reader.AtEnd()) lines.append(reader.Next()).append(1, '|');
  return lines;
}

AccountDefinition Account(const QString& name, const QString& base) {
  AccountDefinition a;
  a.name = name;
  a.file_base = base;
  return a;
}

}  // namespace

// ---------------------------------------------------------------- lines

TEST(LineFile, LineEndsAndTheEndOfTheFile) {
  // A Ctrl-Z (\x1A) ends the file.
  const std::pair<const char*, const char*> cases[] = {
      {"a\r\nb\r\n", "a|b|"},      {"a\r\nb", "a|b|"},  {"a\nb\n", "a|b|"},    {"a\rb\r", "a|b|"},
      {"a\r\n\r\nb\r\n", "a||b|"}, {"a\n\rb", "a||b|"}, {"a\r\r\nb", "a||b|"}, {"\r\n", "|"},
      {"a\x1Az\r\nc\r\n", "a|"},   {"\x1Axyz\r\n", ""}, {"a\r\x1A\n", "a|"}};
  for (const auto& [bytes, lines] : cases) {
    EXPECT_EQ(AllLines(bytes), lines) << ::testing::PrintToString(std::string(bytes));
  }
  EXPECT_EQ(AllLines(""), "");
  EXPECT_EQ(AllLines(std::string_view("a\0b\r\n\0\r\n", 8)), std::string("a\0b|\0|", 6));
  // Lines past the end read empty.
  LineReader reader("only\r\n");
  EXPECT_EQ(reader.Next(), "only");
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.Next(), "");
    EXPECT_EQ(reader.NextText(), QString());
  }
}

TEST(LineFile, JoinLinesWritesWindows1255WithCrLf) {
  const std::pair<QStringList, const char*> cases[] = {
      {{}, ""},
      {{QString()}, "\r\n"},
      {{u"שלום"_s, u"a"_s, QString()}, "\xF9\xEC\xE5\xED\r\na\r\n\r\n"},
      // A break or a Ctrl-Z inside a field must not split or end the file.
      {{u"a\r\nb"_s, u"c"_s}, "a  b\r\nc\r\n"},
      {{u"a\u001Ab"_s, u"c"_s}, "a b\r\nc\r\n"}};
  for (const auto& [lines, bytes] : cases) EXPECT_EQ(JoinLines(lines), QByteArray(bytes));
}

TEST(LineFile, ReadingAndWritingRandomBytesSettlesAfterOnePass) {
  // Random bytes stand for a damaged file: reading never fails, and once
  // written back the file reads and writes the same again.
  std::mt19937 random(1255);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 300);
  const char interesting[] = {'\r', '\n', '\x1A', '\0', '\xFF', '\xE0', ' '};
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(static_cast<size_t>(length(random)), '\0');
    for (char& b : bytes) {
      const int r = byte(random);
      b = r < 60 ? interesting[r % sizeof interesting] : static_cast<char>(byte(random));
    }
    LineReader reader(bytes);
    QStringList lines;
    size_t total = 0;
    while (!reader.AtEnd()) {
      const std::string_view line = reader.Next();
      ASSERT_EQ(line.find_first_of("\r\n\x1A"), std::string_view::npos);
      total += line.size();
      lines.append(DecodeWin1255(line));
    }
    ASSERT_LE(total, bytes.size());
    const QByteArray once = JoinLines(lines);
    LineReader second(std::string_view(once.constData(), static_cast<size_t>(once.size())));
    QStringList reread;
    while (!second.AtEnd()) reread.append(second.NextText());
    ASSERT_EQ(JoinLines(reread), once);
    // The readers built on lines take any lines too.
    EXPECT_EQ(AccountDefinition::FromLines(reread).ToLines().size(), AccountDefinition::kLineCount);
    EXPECT_EQ(PersonalDetails::FromLines(reread).ToLines().size(), 9);
  }
}

class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Path(const char16_t* name) const { return dir_.filePath(Q(name)); }
  QStringList Entries() const {
    return QDir(dir_.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                   QDir::Name);
  }
  QTemporaryDir dir_;
};

using WriteFile = FolderTest;

TEST_F(WriteFile, ReplacesTheWholeFile) {
  const QString path = Path(u"Accts.dat");
  WriteRaw(path, QByteArray(5000, 'x'));
  ASSERT_TRUE(WriteFileAtomic(path, "short\r\n"_ba));
  EXPECT_EQ(ReadRaw(path), "short\r\n"_ba);
  ASSERT_TRUE(WriteFileAtomic(path, QByteArray()));
  EXPECT_EQ(ReadRaw(path), QByteArray());
  EXPECT_TRUE(WriteTextLines(path, {u"א"_s, QString()}));
  EXPECT_EQ(ReadRaw(path), "\xE0\r\n\r\n"_ba);
  EXPECT_EQ(Entries(), QStringList{u"Accts.dat"_s});
}

TEST_F(WriteFile, FailureReportsFalseAndLeavesNothing) {
  const QString folder = Path(u"Xct1.dat");  // the target is a folder
  ASSERT_TRUE(QDir().mkdir(folder));
  EXPECT_FALSE(WriteFileAtomic(folder, "data"_ba));
  EXPECT_TRUE(QFileInfo(folder).isDir());
  EXPECT_FALSE(WriteFileAtomic(Path(u"missing/Accts.dat"), "data"_ba));
  EXPECT_FALSE(WriteFileAtomic(QString(), "x"_ba));  // an unsafe account file base
  EXPECT_EQ(Entries(), QStringList{u"Xct1.dat"_s});
}

#ifdef __unix__
TEST_F(WriteFile, FailureKeepsTheOldFile) {
  const QString path = Path(u"Xct1.dat");
  WriteRaw(path, "old\r\n"_ba);
  // A file size limit fails the write as a full disk would, even for root.
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_FALSE(WriteFileAtomic(path, QByteArray(1 << 20, 'x')));
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(ReadRaw(path), "old\r\n"_ba);
  EXPECT_EQ(Entries(), QStringList{u"Xct1.dat"_s});
  // A folder that cannot be written to, though the file could be (not for
  // root, whom permissions do not stop).
  QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  const bool written = WriteFileAtomic(path, "new\r\n"_ba);
  QFile::setPermissions(dir_.path(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  if (geteuid() != 0) {
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadRaw(path), "old\r\n"_ba);
    EXPECT_EQ(Entries(), QStringList{u"Xct1.dat"_s});
  }
}
#endif

TEST_F(FolderTest, MissingAndEmptyFiles) {
  const QString none = Path(u"none.dat"), folder = Path(u"folder"), empty = Path(u"empty.dat");
  ASSERT_TRUE(QDir().mkdir(folder));
  WriteRaw(empty, QByteArray());
  for (const QString& path : {QString(), none, folder}) {
    EXPECT_FALSE(ReadFileBytes(path).has_value());
    EXPECT_FALSE(ReadTextLines(path).has_value());
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(AccountList::Read(path).has_value());
    EXPECT_FALSE(PersonalDetails::Read(path).has_value());
    EXPECT_FALSE(ReadLastAccountName(path).has_value());
  }
  // An empty file exists and has no lines; an empty account list is no list.
  EXPECT_TRUE(FileExists(empty));
  EXPECT_EQ(ReadTextLines(empty), QStringList());
  EXPECT_FALSE(AccountList::Read(empty).has_value());
  ASSERT_TRUE(PersonalDetails::Read(empty).has_value());
  EXPECT_FALSE(PersonalDetails::Read(empty)->RequiredFilled());
  EXPECT_EQ(ReadLastAccountName(empty), QString());
  ASSERT_TRUE(WriteLastAccountName(empty, QString()));
  EXPECT_EQ(ReadRaw(empty), "\r\n"_ba);
}

// ---------------------------------------------------------------- expected-output cases

TEST(FileCases, EachCaseReadsAndWritesAsExpected) {
  // Every tests/data/files_* folder holds README, one input file named for its
  // kind, and expected/<same name> when the written file differs from the input.
  const QDir data(QStringLiteral(CHEQUE_TEST_DATA));
  const QStringList cases = data.entryList({u"files_*"_s}, QDir::Dirs, QDir::Name);
  ASSERT_GE(cases.size(), 8);
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  for (const QString& name : cases) {
    SCOPED_TRACE(name.toStdString());
    const QDir folder(data.filePath(name));
    EXPECT_FALSE(ReadRaw(folder.filePath(u"README"_s)).trimmed().isEmpty());
    QStringList inputs = folder.entryList(QDir::Files);
    inputs.removeAll(u"README"_s);
    ASSERT_EQ(inputs.size(), 1);
    const QString kind = inputs.first(), input = folder.filePath(kind),
                  written = out.filePath(name);
    // A failed read writes the defaults, which the comparison below catches.
    if (kind == file_names::kAccountList) {
      AccountList::Read(input).value_or(AccountList()).Write(written);
    } else if (kind == file_names::kPersonalDetails) {
      PersonalDetails::Read(input).value_or(PersonalDetails()).Write(written);
    } else {
      ASSERT_EQ(kind, file_names::kLastAccount);
      WriteLastAccountName(written, ReadLastAccountName(input).value_or(QString()));
    }
    const QString expected = folder.filePath(u"expected/"_s + kind);
    EXPECT_EQ(ReadRaw(written), ReadRaw(QFileInfo::exists(expected) ? expected : input));
  }
}

// ---------------------------------------------------------------- account list

TEST_F(FolderTest, AccountRecordsAreFourteenLines) {
  // Cut short, the last record keeps its place; its fields are in the data cases.
  const QStringList lines = {u"עו\"ש"_s,       u"Xct1"_s, u"לאומי"_s,        u"802"_s, u"דני"_s,
                             u"0 -   -    "_s, u""_s,     u"05 -   -    "_s, u"123"_s, u"5000"_s,
                             u"0000012"_s,     u"0"_s,    u"-250.50"_s,      u"17"_s,  u"Visa"_s,
                             u"Xct2"_s,        u"Bank"_s};
  WriteRaw(Path(file_names::kAccountList), JoinLines(lines));
  const auto list = AccountList::Read(Path(file_names::kAccountList));
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->Accounts().size(), 2u);
  const AccountDefinition& first = list->Accounts()[0];
  EXPECT_EQ(first.ToLines(), lines.mid(0, 14));
  EXPECT_FALSE(first.business);
  // An old book's percent stays as stored; only new accounts get today's.
  EXPECT_EQ(first.vat_percent, u"17"_s);
  EXPECT_EQ(AccountDefinition().vat_percent, u"18"_s);
  EXPECT_EQ(list->Accounts()[1].bank, u"Bank"_s);
  EXPECT_EQ(list->Names(), (QStringList{u"עו\"ש"_s, u"Visa"_s}));
}

TEST(AccountKind, LowByteOfAWholeNumber) {
  const std::pair<const char16_t*, bool> cases[] = {
      {u"1", true}, {u"0", false},   {u"256", false}, {u"257", true}, {u"-1", true},
      {u"", false}, {u"abc", false}, {u"1.5", false}, {u"1a", false}};
  auto business_of = [](const QString& text) {
    QStringList lines(AccountDefinition::kLineCount);
    lines[11] = text;
    return AccountDefinition::FromLines(lines).business;
  };
  for (const auto& [text, business] : cases) {
    EXPECT_EQ(business_of(Q(text)), business) << Q(text).toStdString();
  }
  EXPECT_FALSE(business_of(u"99999999999999999999"_s));
  AccountDefinition fresh;
  EXPECT_EQ(fresh.ToLines()[11], u"1"_s);
  fresh.business = false;
  EXPECT_EQ(fresh.ToLines()[11], u"0"_s);
}

TEST(AccountListEdits, FindReplaceRemoveAppend) {
  AccountList list;
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.ToBytes(), QByteArray());
  const std::pair<const char16_t*, const char16_t*> accounts[] = {
      {u"Visa Card", u"Xct1"}, {u"עו\"ש", u"Xct2"}, {u"visa card", u"Xct3"}, {u"Savings", u"Xct4"}};
  for (const auto& [name, base] : accounts) list.Append(Account(Q(name), Q(base)));
  // nullptr: not found. The second "visa card" is shadowed by the first.
  const std::pair<const char16_t*, const char16_t*> lookups[] = {
      {u"VISA CARD", u"Xct1"}, {u"visa card", u"Xct1"}, {u"עו\"ש", u"Xct2"},
      {u"עו'ש", nullptr},      {u"Visa", nullptr},      {u"Visa Card ", nullptr}};
  for (const auto& [name, base] : lookups) {
    const AccountDefinition* found = list.Find(QStringView(name));
    EXPECT_EQ(found ? found->file_base : QString(), base ? Q(base) : QString())
        << Q(name).toStdString();
  }
  // A rename keeps the record's place and its file base.
  AccountDefinition renamed = *list.Find(u"עו\"ש");
  renamed.name = u"Current"_s;
  EXPECT_TRUE(list.Replace(u"עו\"ש", renamed));
  EXPECT_FALSE(list.Replace(u"nobody", renamed));
  EXPECT_EQ(list.Find(u"current")->file_base, u"Xct2"_s);
  // Remove takes out only the first record of that name.
  EXPECT_TRUE(list.Remove(u"VISA card"));
  EXPECT_FALSE(list.Remove(u"nobody"));
  list.Append(Account(u"New"_s, u"Xct5"_s));
  EXPECT_EQ(list.Names(), (QStringList{u"Current"_s, u"visa card"_s, u"Savings"_s, u"New"_s}));
  EXPECT_EQ(list.Find(u"Visa Card")->file_base, u"Xct3"_s);
}

TEST_F(FolderTest, NextAccountFileBaseIsOneMoreThanTheHighestInUse) {
  // Files in the folder, file bases in the account list (accounts not yet
  // loaded have no file), and the base expected.
  const std::tuple<const char16_t*, const char16_t*, const char16_t*> cases[] = {
      {u"", u"", u"Xct1"},
      {u"Xct1.dat Xct7.dat", u"", u"Xct8"},
      {u"Xct10.dat Xct9.dat", u"", u"Xct11"},
      {u"Xct1.dat XctA.dat Xct.dat Xct1a.dat Xct2.bak Xct3.dat.bak Xct-5.dat", u"", u"Xct2"},
      {u"xct4.DAT", u"", u"Xct5"},
      {u"Xct007.dat", u"", u"Xct8"},
      {u"Xct99999999999999999999999.dat", u"", u"Xct1"},
      {u"Xct9223372036854775807.dat Xct2.dat", u"", u"Xct3"},
      {u"", u"Xct1", u"Xct2"},
      {u"Xct2.dat", u"Xct1 Xct5 Other", u"Xct6"},
      {u"Xct9.dat", u"Xct1", u"Xct10"}};
  int round = 0;
  for (const auto& [files, bases, expected] : cases) {
    const QDir folder(Path(QString::number(++round)));
    ASSERT_TRUE(QDir().mkdir(folder.path()));
    for (const QString& file : Q(files).split(u' ', Qt::SkipEmptyParts)) {
      WriteRaw(folder.filePath(file), "x\r\n"_ba);
    }
    AccountList list;
    for (const QString& base : Q(bases).split(u' ', Qt::SkipEmptyParts)) {
      list.Append(Account(base, base));
    }
    if (!list.IsEmpty()) {
      ASSERT_TRUE(list.Write(folder.filePath(file_names::kAccountList)));
    }
    EXPECT_EQ(NextAccountFileBase(folder.path()), Q(expected)) << round;
    EXPECT_EQ(NextAccountFileBase(folder.path(), list), Q(expected)) << round;
  }
  // A folder of that name is not listed as a file but is never named either.
  ASSERT_TRUE(QDir().mkdir(Path(u"Xct1.dat")));
  EXPECT_EQ(NextAccountFileBase(dir_.path()), u"Xct2"_s);
  EXPECT_EQ(NextAccountFileBase(dir_.path() + u'/'), u"Xct2"_s);
}

TEST(FileBase, OnlyPlainNamesMakeAFilePath) {
  const std::pair<const char16_t*, bool> cases[] = {
      {u"Xct12", true}, {u"חשבון1", true}, {u"..", false},    {u"a/b", false},   {u"a\\b", false},
      {u"C:x", false},  {u"", false},      {u"x.dat", false}, {u"Xct 1", false}, {u"Xct_1", false},
      {u"nul", false},  {u"Lpt1", false},  {u"COM9", false},  {u"CONS", true}};
  for (const auto& [base, safe] : cases) {
    const QString path = AccountFilePath(u"/home/u/Cheque/"_s, QStringView(base));
    EXPECT_EQ(IsSafeFileBase(QStringView(base)), safe) << Q(base).toStdString();
    EXPECT_EQ(path, safe ? u"/home/u/Cheque/"_s + Q(base) + u".dat"_s : QString());
  }
  EXPECT_EQ(AccountFilePath(u"/home/u/Cheque"_s, u"Xct12"), u"/home/u/Cheque/Xct12.dat"_s);
  EXPECT_EQ(AccountFilePath(u"C:\\Cheque\\"_s, u"Xct12"), u"C:\\Cheque\\Xct12.dat"_s);
}

// ---------------------------------------------------------------- personal details

TEST(PersonalDetailsLines, LineNineGivesTheMobilePhone) {
  // Nine lines and seven are in the data cases.
  QStringList lines;
  for (int i = 1; i <= 12; ++i) lines.append(QString::number(i));
  const PersonalDetails d = PersonalDetails::FromLines(lines);
  EXPECT_EQ((QStringList{d.first_name, d.family_name, d.business_name, d.address, d.phone, d.fax,
                         d.mobile}),
            lines.mid(0, 6) + QStringList{u"9"_s});
  QStringList empty_ninth = lines.mid(0, 9);
  empty_ninth[8].clear();
  EXPECT_EQ(PersonalDetails::FromLines(empty_ninth).mobile, QString());
  EXPECT_EQ(PersonalDetails::FromLines(lines.mid(0, 8)).mobile, QString());
  EXPECT_FALSE(PersonalDetails::FromLines({}).RequiredFilled());
  EXPECT_EQ(PersonalDetails::FromLines({}).ToLines(), QStringList(9));
}

// ---------------------------------------------------------------- program folder

TEST_F(FolderTest, ChequeHomeNamesTheProgramFolder) {
  const QByteArray old_home = qgetenv("CHEQUE_HOME");
  const bool had_home = qEnvironmentVariableIsSet("CHEQUE_HOME");
  qputenv("CHEQUE_HOME", dir_.path().toUtf8());
  EXPECT_EQ(ProgramFolder(), dir_.path() + u'/');
  EXPECT_EQ(ProgramFile(file_names::kAccountList), dir_.path() + u"/Accts.dat"_s);
  qputenv("CHEQUE_HOME", (dir_.path() + u'/').toUtf8());
  EXPECT_EQ(ProgramFolder(), dir_.path() + u'/');
  qunsetenv("CHEQUE_HOME");
  EXPECT_TRUE(ProgramFolder().endsWith(u'/'));
  EXPECT_TRUE(QFileInfo(ProgramFolder()).isDir());
  if (had_home) qputenv("CHEQUE_HOME", old_home);
}

TEST_F(FolderTest, CopyFileIfMissing) {
  const QString source = Path(u"DCateg.dat"), target = Path(u"Categ.dat");
  WriteRaw(source, QByteArray("\xE4\xEB\xF0\xF1\xE5\xFA\r\n" + QByteArray(12000, 'x')));
  CopyFileIfMissing(target, source);
  EXPECT_EQ(ReadRaw(target), ReadRaw(source));
  // An existing target is never touched; without a source the target is made empty.
  WriteRaw(target, "mine\r\n"_ba);
  CopyFileIfMissing(target, source);
  EXPECT_EQ(ReadRaw(target), "mine\r\n"_ba);
  CopyFileIfMissing(Path(u"BCateg.dat"), Path(u"DCategB.dat"));
  EXPECT_EQ(ReadRaw(Path(u"BCateg.dat")), QByteArray());
}

TEST_F(FolderTest, InstanceLock) {
  const QString path = Path(file_names::kLock);
  // A lock left by a process that is gone (an id far above any in use) is taken over.
  WriteRaw(path, "1073741000\ncore_tests\n\n"_ba);
  {
    InstanceLock first(path);
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.Acquire());
    InstanceLock second(path);
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.Acquire());
  }
  EXPECT_TRUE(InstanceLock(path).Acquire());
}
