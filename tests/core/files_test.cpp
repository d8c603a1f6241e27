#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <random>
#include <string>
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

namespace {

QString Q(const char16_t* text) { return QString::fromUtf16(text); }

QByteArray Bytes(std::string_view text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

void WriteRaw(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadRaw(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return file.readAll();
}

std::vector<std::string> AllLines(std::string_view bytes) {
  LineReader reader(bytes);
  std::vector<std::string> lines;
  while (!reader.AtEnd()) lines.emplace_back(reader.Next());
  return lines;
}

AccountDefinition Account(const QString& name, const QString& base) {
  AccountDefinition a;
  a.name = name;
  a.file_base = base;
  a.account_number = QStringLiteral("1");
  return a;
}

}  // namespace

// ---------------------------------------------------------------- lines

TEST(LineFile, LineEndsAndTheEndOfTheFile) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"", {}},
      {"a\x1A"
       "b\r\nc\r\n",
       {"a"}},
      {"a\r\n\x1A\r\nb\r\n", {"a"}},
      {"\x1A"
       "abc\r\n",
       {}},
      {"a\r\x1A\n", {"a"}},
      {std::string("a\0b\r\n\0\r\n", 8), {std::string("a\0b", 3), std::string(1, '\0')}},
      {"\xF9\xEC\xE5\xED\r\n", {"\xF9\xEC\xE5\xED"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(AllLines(c.bytes), c.lines);
  }
}

TEST(LineFile, LinesPastTheEndReadEmpty) {
  LineReader reader("only\r\n");
  EXPECT_EQ(reader.Next(), "only");
  EXPECT_TRUE(reader.AtEnd());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(reader.Next(), "");
    EXPECT_EQ(reader.NextText(), QString());
    EXPECT_TRUE(reader.AtEnd());
  }
}

TEST(LineFile, JoinLinesWritesWindows1255WithCrLf) {
  struct Case {
    std::vector<const char16_t*> lines;
    std::string bytes;
  };
  const Case cases[] = {
      {{}, ""},
      {{u""}, "\r\n"},
      {{u"שלום", u"a", u""}, "\xF9\xEC\xE5\xED\r\na\r\n\r\n"},
      {{u"12.50 ₪"}, "12.50 \xA4\r\n"},
      // A break or a Ctrl-Z inside a field must not split or end the file.
      {{u"a\r\nb", u"c"}, "a  b\r\nc\r\n"},
      {{u"a\nb\rc"}, "a b c\r\n"},
      {{u"a\u001Ab", u"c"}, "a b\r\nc\r\n"},
  };
  for (const Case& c : cases) {
    QStringList lines;
    for (const char16_t* line : c.lines) lines.append(Q(line));
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(JoinLines(lines), Bytes(c.bytes));
  }
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
  ASSERT_TRUE(WriteFileAtomic(path, QByteArray("short\r\n")));
  EXPECT_EQ(ReadRaw(path), QByteArray("short\r\n"));
  ASSERT_TRUE(WriteFileAtomic(path, QByteArray()));
  EXPECT_EQ(ReadRaw(path), QByteArray());
  EXPECT_TRUE(WriteTextLines(path, {Q(u"א"), QString()}));
  EXPECT_EQ(ReadRaw(path), QByteArray("\xE0\r\n\r\n"));
  EXPECT_EQ(Entries(), QStringList{Q(u"Accts.dat")});
}

TEST_F(WriteFile, FailureLeavesTheOldFileAndReportsFalse) {
  // The target is a folder.
  const QString folder = Path(u"Xct1.dat");
  ASSERT_TRUE(QDir().mkdir(folder));
  EXPECT_FALSE(WriteFileAtomic(folder, QByteArray("data")));
  EXPECT_TRUE(QFileInfo(folder).isDir());

  // The folder of the target does not exist.
  EXPECT_FALSE(WriteFileAtomic(Path(u"missing/Accts.dat"), QByteArray("data")));
  EXPECT_FALSE(QFileInfo::exists(Path(u"missing")));

  // Nothing else was left behind.
  EXPECT_EQ(Entries(), QStringList{Q(u"Xct1.dat")});
}

TEST_F(WriteFile, ReadOnlyFolderKeepsTheOldFile) {
  const QString folder = Path(u"ro");
  ASSERT_TRUE(QDir().mkdir(folder));
  const QString path = folder + QStringLiteral("/Accts.dat");
  WriteRaw(path, QByteArray("old\r\n"));
  QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  const bool written = WriteFileAtomic(path, QByteArray("new\r\n"));
  QFile::setPermissions(folder,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
#ifdef __unix__
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not hold for root";
#endif
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadRaw(path), QByteArray("old\r\n"));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{Q(u"Accts.dat")});
}

#ifdef __unix__
TEST_F(WriteFile, FullDiskKeepsTheOldFile) {
  // A file size limit fails the write as a full disk would, even for root.
  const QString path = Path(u"Xct1.dat");
  WriteRaw(path, QByteArray("old\r\n"));
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WriteFileAtomic(path, QByteArray(1 << 20, 'x'));
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadRaw(path), QByteArray("old\r\n"));
  EXPECT_EQ(Entries(), QStringList{Q(u"Xct1.dat")});
}
#endif

TEST_F(WriteFile, ReadingMissingFilesAndFolders) {
  // An unsafe account file base gives an empty path.
  EXPECT_FALSE(ReadFileBytes(QString()).has_value());
  EXPECT_FALSE(WriteFileAtomic(QString(), QByteArray("x")));
  EXPECT_FALSE(AccountList::Read(QString()).has_value());
  EXPECT_FALSE(ReadFileBytes(Path(u"none.dat")).has_value());
  EXPECT_FALSE(ReadTextLines(Path(u"none.dat")).has_value());
  ASSERT_TRUE(QDir().mkdir(Path(u"folder")));
  EXPECT_FALSE(ReadFileBytes(Path(u"folder")).has_value());
  EXPECT_FALSE(FileExists(Path(u"folder")));
  EXPECT_FALSE(FileExists(Path(u"none.dat")));
  WriteRaw(Path(u"empty.dat"), QByteArray());
  EXPECT_TRUE(FileExists(Path(u"empty.dat")));
  EXPECT_EQ(ReadTextLines(Path(u"empty.dat")), QStringList());
}

// ---------------------------------------------------------------- expected-output cases

TEST(FileCases, EachCaseReadsAndWritesAsExpected) {
  // Every tests/data/files_* folder holds why.txt, one input file named for its
  // kind, and expected/<same name> when the written file differs from the input.
  const QDir data(QStringLiteral(CHEQUE_TEST_DATA));
  const QStringList cases = data.entryList({QStringLiteral("files_*")}, QDir::Dirs, QDir::Name);
  ASSERT_GE(cases.size(), 8);
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  for (const QString& name : cases) {
    SCOPED_TRACE(name.toStdString());
    const QDir folder(data.filePath(name));
    EXPECT_FALSE(ReadRaw(folder.filePath(QStringLiteral("why.txt"))).trimmed().isEmpty());
    QStringList inputs = folder.entryList(QDir::Files);
    inputs.removeAll(QStringLiteral("why.txt"));
    ASSERT_EQ(inputs.size(), 1);
    const QString input = folder.filePath(inputs.first());
    const QString written = out.filePath(name);
    if (inputs.first() == file_names::kAccountList) {
      const auto list = AccountList::Read(input);
      ASSERT_TRUE(list.has_value());
      ASSERT_TRUE(list->Write(written));
    } else if (inputs.first() == file_names::kPersonalDetails) {
      const auto details = PersonalDetails::Read(input);
      ASSERT_TRUE(details.has_value());
      ASSERT_TRUE(details->Write(written));
    } else if (inputs.first() == file_names::kLastAccount) {
      const auto last = ReadLastAccountName(input);
      ASSERT_TRUE(last.has_value());
      ASSERT_TRUE(WriteLastAccountName(written, *last));
    } else {
      FAIL() << "no reader for " << inputs.first().toStdString();
    }
    const QString expected = folder.filePath(QStringLiteral("expected/") + inputs.first());
    EXPECT_EQ(ReadRaw(written), ReadRaw(QFileInfo::exists(expected) ? expected : input));
  }
}

// ---------------------------------------------------------------- account list

using AccountListFile = FolderTest;

TEST_F(AccountListFile, RecordsOfFourteenLines) {
  const QString path = Path(file_names::kAccountList);
  QStringList lines = {Q(u"עו\"ש"),       Q(u"Xct1"), Q(u"לאומי"),        Q(u"802"), Q(u"דני"),
                       Q(u"0 -   -    "), Q(u""),     Q(u"05 -   -    "), Q(u"123"), Q(u"5000"),
                       Q(u"0000012"),     Q(u"0"),    Q(u"-250.50"),      Q(u"18")};
  lines += QStringList{Q(u"Visa"), Q(u"Xct2"), Q(u"Bank")};
  WriteRaw(path, JoinLines(lines));
  const auto list = AccountList::Read(path);
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->Accounts().size(), 2u);
  const AccountDefinition& first = list->Accounts()[0];
  EXPECT_EQ(first.ToLines(), lines.mid(0, 14));
  EXPECT_FALSE(first.business);
  EXPECT_EQ(first.vat_percent, QStringLiteral("18"));
  // The record cut short has its remaining fields empty, not defaulted.
  const AccountDefinition& second = list->Accounts()[1];
  EXPECT_EQ(second.name, QStringLiteral("Visa"));
  EXPECT_EQ(second.bank, QStringLiteral("Bank"));
  EXPECT_EQ(second.credit_limit, QString());
  EXPECT_EQ(second.next_cheque, QString());
  EXPECT_EQ(second.vat_percent, QString());
  EXPECT_FALSE(second.business);
  EXPECT_EQ(list->Names(), (QStringList{Q(u"עו\"ש"), QStringLiteral("Visa")}));
}

TEST_F(AccountListFile, MissingOrEmptyListIsNoList) {
  const QString path = Path(file_names::kAccountList);
  EXPECT_FALSE(AccountList::Read(path).has_value());
  WriteRaw(path, QByteArray());
  EXPECT_FALSE(AccountList::Read(path).has_value());
  ASSERT_TRUE(QFile::remove(path));
  ASSERT_TRUE(QDir().mkdir(path));
  EXPECT_FALSE(AccountList::Read(path).has_value());
}

TEST(AccountKind, LowByteOfAWholeNumber) {
  struct Case {
    const char16_t* text;
    bool business;
  };
  const Case cases[] = {
      {u"1", true},     {u"0", false},   {u"256", false},  {u"257", true},
      {u"255", true},   {u"-1", true},   {u"-256", false}, {u"", false},
      {u"abc", false},  {u"1.5", false}, {u"1a", false},   {u"99999999999999999999", false},
      {u"עסקי", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Q(c.text).toStdString());
    QStringList lines(AccountDefinition::kLineCount);
    lines[11] = Q(c.text);
    EXPECT_EQ(AccountDefinition::FromLines(lines).business, c.business);
  }
  AccountDefinition fresh;
  EXPECT_TRUE(fresh.business);
  EXPECT_EQ(fresh.ToLines()[11], QStringLiteral("1"));
  fresh.business = false;
  EXPECT_EQ(fresh.ToLines()[11], QStringLiteral("0"));
}

TEST(AccountListEdits, FindReplaceRemoveAppend) {
  AccountList list;
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.ToBytes(), QByteArray());
  list.Append(Account(QStringLiteral("Visa Card"), QStringLiteral("Xct1")));
  list.Append(Account(Q(u"עו\"ש"), QStringLiteral("Xct2")));
  list.Append(Account(QStringLiteral("visa card"), QStringLiteral("Xct3")));  // shadowed
  list.Append(Account(QStringLiteral("Savings"), QStringLiteral("Xct4")));

  struct Lookup {
    const char16_t* name;
    const char16_t* base;  // nullptr: not found
  };
  const Lookup lookups[] = {
      {u"Visa Card", u"Xct1"},  {u"VISA CARD", u"Xct1"}, {u"visa card", u"Xct1"},
      {u"עו\"ש", u"Xct2"},      {u"עו'ש", nullptr},      {u"Visa", nullptr},
      {u"Visa Card ", nullptr}, {u"", nullptr},
  };
  for (const Lookup& l : lookups) {
    SCOPED_TRACE(Q(l.name).toStdString());
    const AccountDefinition* found = list.Find(QStringView(l.name));
    if (l.base == nullptr) {
      EXPECT_EQ(found, nullptr);
    } else {
      ASSERT_NE(found, nullptr);
      EXPECT_EQ(found->file_base, Q(l.base));
    }
  }

  // A rename through Replace keeps the record's place and its file base.
  AccountDefinition renamed = *list.Find(u"עו\"ש");
  renamed.name = QStringLiteral("Current");
  renamed.credit_limit = QStringLiteral("7000");
  EXPECT_TRUE(list.Replace(u"עו\"ש", renamed));
  EXPECT_EQ(list.Find(u"עו\"ש"), nullptr);
  ASSERT_NE(list.Find(u"current"), nullptr);
  EXPECT_EQ(list.Find(u"current")->file_base, QStringLiteral("Xct2"));
  EXPECT_EQ(list.Find(u"current")->credit_limit, QStringLiteral("7000"));
  EXPECT_EQ(list.Names(), (QStringList{QStringLiteral("Visa Card"), QStringLiteral("Current"),
                                       QStringLiteral("visa card"), QStringLiteral("Savings")}));
  EXPECT_FALSE(list.Replace(u"nobody", renamed));

  // Remove takes out only the first record of that name.
  EXPECT_TRUE(list.Remove(u"VISA card"));
  EXPECT_EQ(list.Names(), (QStringList{QStringLiteral("Current"), QStringLiteral("visa card"),
                                       QStringLiteral("Savings")}));
  EXPECT_EQ(list.Find(u"Visa Card")->file_base, QStringLiteral("Xct3"));
  EXPECT_FALSE(list.Remove(u"nobody"));
  EXPECT_EQ(list.Accounts().size(), 3u);

  list.Append(Account(QStringLiteral("New"), QStringLiteral("Xct5")));
  EXPECT_EQ(list.Names().last(), QStringLiteral("New"));
  EXPECT_EQ(list.ToBytes().count("\r\n"), 4 * AccountDefinition::kLineCount);
}

using NextFileBase = FolderTest;

TEST_F(NextFileBase, OneMoreThanTheHighestNumberInUse) {
  struct Case {
    std::vector<const char16_t*> files;
    std::vector<const char16_t*> list_bases;  // file bases in Accts.dat
    const char16_t* expected;
  };
  const Case cases[] = {
      {{}, {}, u"Xct1"},
      {{u"Xct1.dat", u"Xct2.dat"}, {}, u"Xct3"},
      {{u"Xct1.dat", u"Xct7.dat"}, {}, u"Xct8"},
      {{u"Xct10.dat", u"Xct9.dat"}, {}, u"Xct11"},
      {{u"Xct1.dat", u"XctA.dat", u"Xct.dat", u"Xct1a.dat", u"Xct2.bak", u"Xct3.dat.bak",
        u"Xct-5.dat"},
       {},
       u"Xct2"},
      {{u"xct4.DAT"}, {}, u"Xct5"},
      {{u"Xct007.dat"}, {}, u"Xct8"},
      {{u"Accts.dat", u"Default.dat", u"Categ.dat"}, {}, u"Xct1"},
      {{u"Xct99999999999999999999999.dat"}, {}, u"Xct1"},
      {{u"Xct9223372036854775807.dat", u"Xct2.dat"}, {}, u"Xct3"},
      // Accounts defined but not yet loaded have no file: their bases count.
      {{}, {u"Xct1"}, u"Xct2"},
      {{u"Xct2.dat"}, {u"Xct1", u"Xct5", u"Other"}, u"Xct6"},
      {{u"Xct9.dat"}, {u"Xct1"}, u"Xct10"},
  };
  int round = 0;
  for (const Case& c : cases) {
    const QString folder = Path(QString::number(++round));
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const char16_t* file : c.files)
      WriteRaw(QDir(folder).filePath(Q(file)), QByteArray("x\r\n"));
    AccountList list;
    for (const char16_t* base : c.list_bases)
      list.Append(Account(Q(base) + QStringLiteral(" name"), Q(base)));
    if (!list.IsEmpty()) {
      ASSERT_TRUE(list.Write(QDir(folder).filePath(file_names::kAccountList)));
    }
    SCOPED_TRACE(round);
    EXPECT_EQ(NextAccountFileBase(folder), Q(c.expected));
    EXPECT_EQ(NextAccountFileBase(folder, list), Q(c.expected));
  }
}

TEST_F(NextFileBase, NeverNamesSomethingThatExists) {
  ASSERT_TRUE(QDir().mkdir(Path(u"Xct1.dat")));  // a folder, not counted by the listing
  EXPECT_EQ(NextAccountFileBase(dir_.path()), QStringLiteral("Xct2"));
  EXPECT_EQ(NextAccountFileBase(dir_.path() + u'/'), QStringLiteral("Xct2"));
}

TEST(FileBase, OnlyPlainNamesMakeAFilePath) {
  struct Case {
    const char16_t* base;
    bool safe;
  };
  const Case cases[] = {
      {u"Xct12", true},  {u"Xct1", true},   {u"חשבון1", true}, {u"..", false},   {u".", false},
      {u"a/b", false},   {u"a\\b", false},  {u"C:x", false},   {u"", false},     {u"x.dat", false},
      {u" Xct1", false}, {u"Xct 1", false}, {u"Xct_1", false}, {u"CON", false},  {u"nul", false},
      {u"Lpt1", false},  {u"COM9", false},  {u"CONS", true},   {u"/etc", false}, {u"~", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Q(c.base).toStdString());
    EXPECT_EQ(IsSafeFileBase(QStringView(c.base)), c.safe);
    const QString path = AccountFilePath(QStringLiteral("/home/u/Cheque/"), QStringView(c.base));
    EXPECT_EQ(path, c.safe ? QStringLiteral("/home/u/Cheque/") + Q(c.base) + QStringLiteral(".dat")
                           : QString());
  }
  EXPECT_EQ(AccountFilePath(QStringLiteral("/home/u/Cheque"), u"Xct12"),
            QStringLiteral("/home/u/Cheque/Xct12.dat"));
  EXPECT_EQ(AccountFilePath(QStringLiteral("C:\\Cheque\\"), u"Xct12"),
            QStringLiteral("C:\\Cheque\\Xct12.dat"));
}

// ---------------------------------------------------------------- personal details

using PersonalDetailsFile = FolderTest;

TEST(PersonalDetailsLines, LineNineGivesTheMobilePhone) {
  struct Case {
    int line_count;
    const char16_t* line7;
    const char16_t* line9;
    const char16_t* mobile;
  };
  const Case cases[] = {
      {9, u"05 -111-1111", u"05 -222-2222", u"05 -222-2222"},
      {9, u"05 -111-1111", u"", u""},
      {8, u"05 -111-1111", u"", u""},
      {7, u"05 -111-1111", u"", u""},
      {12, u"05 -111-1111", u"05 -222-2222", u"05 -222-2222"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line_count);
    QStringList lines = {QStringLiteral("1"),  QStringLiteral("2"),  QStringLiteral("3"),
                         QStringLiteral("4"),  QStringLiteral("5"),  QStringLiteral("6"),
                         Q(c.line7),           QStringLiteral("8"),  Q(c.line9),
                         QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12")};
    lines = lines.mid(0, c.line_count);
    const PersonalDetails d = PersonalDetails::FromLines(lines);
    EXPECT_EQ(d.first_name, QStringLiteral("1"));
    EXPECT_EQ(d.family_name, QStringLiteral("2"));
    EXPECT_EQ(d.business_name, QStringLiteral("3"));
    EXPECT_EQ(d.address, QStringLiteral("4"));
    EXPECT_EQ(d.phone, QStringLiteral("5"));
    EXPECT_EQ(d.fax, QStringLiteral("6"));
    EXPECT_EQ(d.mobile, Q(c.mobile));
  }
  const PersonalDetails empty = PersonalDetails::FromLines({});
  EXPECT_FALSE(empty.RequiredFilled());
  EXPECT_EQ(empty.ToLines(), QStringList(9));
}

TEST_F(PersonalDetailsFile, MissingFileIsNoDetails) {
  EXPECT_FALSE(PersonalDetails::Read(Path(file_names::kPersonalDetails)).has_value());
  WriteRaw(Path(file_names::kPersonalDetails), QByteArray());
  const auto empty = PersonalDetails::Read(Path(file_names::kPersonalDetails));
  ASSERT_TRUE(empty.has_value());
  EXPECT_FALSE(empty->RequiredFilled());
}

TEST_F(PersonalDetailsFile, LastAccountNameIsOneLine) {
  // Round trips are in the files_last_account_* cases.
  const QString path = Path(file_names::kLastAccount);
  EXPECT_FALSE(ReadLastAccountName(path).has_value());
  WriteRaw(path, QByteArray());
  EXPECT_EQ(ReadLastAccountName(path), QString());
  ASSERT_TRUE(WriteLastAccountName(path, QString()));
  EXPECT_EQ(ReadRaw(path), QByteArray("\r\n"));
}

// ---------------------------------------------------------------- program folder

using ProgramFiles = FolderTest;

TEST_F(ProgramFiles, ChequeHomeNamesTheFolder) {
  const QByteArray old_home = qgetenv("CHEQUE_HOME");
  const bool had_home = qEnvironmentVariableIsSet("CHEQUE_HOME");
  qputenv("CHEQUE_HOME", dir_.path().toUtf8());
  EXPECT_EQ(ProgramFolder(), dir_.path() + u'/');
  EXPECT_EQ(ProgramFile(file_names::kAccountList), dir_.path() + QStringLiteral("/Accts.dat"));
  qputenv("CHEQUE_HOME", (dir_.path() + u'/').toUtf8());
  EXPECT_EQ(ProgramFolder(), dir_.path() + u'/');
  qunsetenv("CHEQUE_HOME");
  EXPECT_TRUE(ProgramFolder().endsWith(u'/'));
  EXPECT_TRUE(QFileInfo(ProgramFolder()).isDir());
  if (had_home) qputenv("CHEQUE_HOME", old_home);
}

TEST_F(ProgramFiles, CopyFileIfMissing) {
  const QString source = Path(u"DCateg.dat");
  const QString target = Path(u"Categ.dat");
  WriteRaw(source, QByteArray("\xE4\xEB\xF0\xF1\xE5\xFA\r\n" + QByteArray(12000, 'x')));
  CopyFileIfMissing(target, source);
  EXPECT_EQ(ReadRaw(target), ReadRaw(source));
  // An existing target is never touched.
  WriteRaw(target, QByteArray("mine\r\n"));
  CopyFileIfMissing(target, source);
  EXPECT_EQ(ReadRaw(target), QByteArray("mine\r\n"));
  // Without a source the target is made empty.
  CopyFileIfMissing(Path(u"BCateg.dat"), Path(u"DCategB.dat"));
  EXPECT_EQ(ReadRaw(Path(u"BCateg.dat")), QByteArray());
}

// ---------------------------------------------------------------- instance lock

using InstanceLockFile = FolderTest;

TEST_F(InstanceLockFile, SecondLockFailsWhileTheFirstHolds) {
  const QString path = Path(file_names::kLock);
  {
    InstanceLock first(path);
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.Acquire());
    InstanceLock second(path);
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.Acquire());
  }
  InstanceLock third(path);
  EXPECT_TRUE(third.Acquire());
}

TEST_F(InstanceLockFile, LockOfAProcessThatIsGoneIsTakenOver) {
  const QString path = Path(file_names::kLock);
  // Far above any process id the system hands out.
  WriteRaw(path, QByteArray("1073741000\ncore_tests\n\n"));
  InstanceLock lock(path);
  EXPECT_TRUE(lock.Acquire());
  InstanceLock other(path);
  EXPECT_FALSE(other.Acquire());
}
