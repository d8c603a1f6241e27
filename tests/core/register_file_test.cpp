#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstring>
#include <random>

#ifdef __unix__
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/files/line_file.h"
#include "core/register/register.h"
#include "core/text/codec.h"

using namespace cheque;

namespace {

std::string_view View(const QByteArray& bytes) {
  return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

std::string Win(QStringView text) { return EncodeWin1255(text); }

constexpr std::string_view kBlankRecord = "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
constexpr int kFileOrder[8] = {1, 5, 4, 7, 2, 3, 6, 8};

// The reading rule told plainly, line by line through LineReader.
std::vector<std::vector<std::string>> ReferenceRecords(std::string_view bytes) {
  std::vector<std::vector<std::string>> records;
  LineReader reader(bytes);
  while (!reader.AtEnd()) {
    std::vector<std::string> record;
    for (int i = 0; i < 8; ++i) record.emplace_back(reader.Next());
    records.push_back(record);
  }
  return records;
}

void ExpectLoadsAsReference(std::string_view bytes) {
  Register reg;
  reg.LoadFileBytes(bytes, u"0");
  const auto records = ReferenceRecords(bytes);
  if (records.empty()) {
    ASSERT_EQ(reg.RowCount(), 2);
    EXPECT_EQ(reg.Cell(0, kDescriptionColumn), QStringLiteral("יתרת פתיחה"));
    return;
  }
  ASSERT_EQ(reg.RowCount(), static_cast<int>(records.size()) + 1);
  for (size_t r = 0; r < records.size(); ++r) {
    for (int f = 0; f < 8; ++f) {
      ASSERT_EQ(reg.RawCell(static_cast<int>(r), kFileOrder[f]), records[r][static_cast<size_t>(f)])
          << "row " << r << " field " << f;
    }
  }
  EXPECT_TRUE(reg.RowIsEmpty(reg.RowCount() - 1));
  EXPECT_TRUE(reg.NeedsSorting());
}

// Hands out its bytes a few at a time, as a pipe may, and can fail midway.
// With a size it is a file that has grown since that size was taken.
class PieceDevice : public QIODevice {
 public:
  PieceDevice(std::string data, unsigned seed, qint64 fail_at = -1, qint64 size = -1)
      : data_(std::move(data)), rng_(seed), fail_at_(fail_at), size_(size) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  }
  bool isSequential() const override { return size_ < 0; }
  qint64 size() const override { return size_ < 0 ? 0 : size_; }

 protected:
  qint64 readData(char* out, qint64 max) override {
    if (fail_at_ >= 0 && pos_ >= fail_at_) return -1;
    const qint64 left = static_cast<qint64>(data_.size()) - pos_;
    const qint64 n = std::min({max, left, static_cast<qint64>(rng_() % 9 + 1)});
    std::memcpy(out, data_.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  std::string data_;
  std::mt19937 rng_;
  qint64 fail_at_;
  qint64 size_;
  qint64 pos_ = 0;
};

std::string RandomBytes(std::mt19937& rng, size_t size, std::string_view alphabet) {
  std::string out(size, '\0');
  for (char& c : out) {
    c = alphabet.empty() ? static_cast<char>(rng() & 0xFF) : alphabet[rng() % alphabet.size()];
  }
  return out;
}

}  // namespace

TEST(RegisterFile, ZeroLengthFileGivesOpeningRowThatSavesAsEightLines) {
  Register reg;
  reg.LoadFileBytes({}, u"1234.50");
  ASSERT_EQ(reg.RowCount(), 2);
  EXPECT_EQ(reg.Cell(0, kBalanceColumn), QStringLiteral("1234.50"));
  EXPECT_EQ(reg.Cell(0, kCategoryColumn), QStringLiteral("בנק\\יתרה"));
  EXPECT_EQ(reg.Cell(0, kTypeColumn), QStringLiteral("יתרת פתיחה"));
  EXPECT_EQ(reg.Cell(0, kDateColumn), QStringLiteral("1/1/1990"));
  EXPECT_EQ(reg.Cell(0, kDescriptionColumn), QStringLiteral("יתרת פתיחה"));
  EXPECT_TRUE(reg.Cell(0, kMarkColumn).isEmpty());
  EXPECT_TRUE(reg.RowIsEmpty(1));
  EXPECT_TRUE(reg.NeedsSorting());
  const std::string expected = "1234.50\r\n" + Win(u"בנק\\יתרה") + "\r\n" + Win(u"יתרת פתיחה") +
                               "\r\n1/1/1990\r\n\r\n\r\n" + Win(u"יתרת פתיחה") + "\r\n\r\n";
  EXPECT_EQ(View(reg.FileBytes()), expected);
}

TEST(RegisterFile, StoredFormRoundTripsByteForByte) {
  std::mt19937 rng(7);
  // Any byte but the line ends and Ctrl-Z, Hebrew and undefined code points included.
  std::string field_bytes;
  for (int b = 0; b < 256; ++b) {
    if (b != '\r' && b != '\n' && b != 0x1A) field_bytes += static_cast<char>(b);
  }
  const std::vector<std::string> fixed = {
      "",  // nothing at all
      "100\r\n" + Win(u"בנק\\יתרה") + "\r\n" + Win(u"יתרה") + "\r\n31/1/2020\r\n\r\n\r\n" +
          Win(u"יתרה בבנק") + "\r\n+\r\n",
      // a record with only a date, and undefined bytes 0xFB 0xFF
      "\r\n\r\n\r\n5/5/2005\r\n\r\n\r\n\r\n\r\n\r\n\r\n\xFB\r\n\r\n\r\n\r\n\xFF\r\n\r\n",
  };
  std::vector<std::string> files = fixed;
  for (int n = 0; n < 40; ++n) {
    std::string file;
    const int records = static_cast<int>(rng() % 30) + 1;
    for (int r = 0; r < records; ++r) {
      std::string record;
      for (int f = 0; f < 8; ++f) {
        record += RandomBytes(rng, rng() % 12, field_bytes) + "\r\n";
      }
      if (record.size() == 16) record.insert(0, "1");  // a blank record is never saved
      file += record;
    }
    files.push_back(file);
  }
  for (const std::string& file : files) {
    Register reg;
    reg.LoadFileBytes(file, u"0");
    if (file.empty()) continue;
    EXPECT_EQ(View(reg.FileBytes()), file);
  }
}

TEST(RegisterFile, DamagedInputLoadsAsTheLineRulesSay) {
  std::mt19937 rng(11);
  std::vector<std::string> inputs = {
      std::string("\0\0\0\r\n\0", 6),  // NUL bytes
      "a\r\nb\r\nc",                   // record cut short, no final line end
      "a\rb\nc\r\r\nd\n\re",           // lone CR and LF end lines too
      "x\r\ny\r\n\x1Az\r\nw\r\n",      // Ctrl-Z ends the file
      "\x1A"
      "1\r\n2\r\n",                                     // Ctrl-Z first: nothing at all
      "\r\n",                                           // one blank line makes one blank record
      std::string(10 * 1024 * 1024, 'L') + "\r\nrest",  // a 10 MB line
      std::string(200000, '\r'),                        // many lone CRs, no LF
      std::string(200000, '\n') + "tail",
  };
  for (int n = 0; n < 200; ++n) inputs.push_back(RandomBytes(rng, rng() % 400, {}));
  for (int n = 0; n < 100; ++n) inputs.push_back(RandomBytes(rng, rng() % 200, "ab\r\n\x1A\0"));
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input.substr(0, 40));
    ExpectLoadsAsReference(input);
  }
}

TEST(RegisterFile, ReadingInPiecesGivesTheSameRows) {
  std::mt19937 rng(13);
  std::vector<std::string> inputs = {"a\r\nb\r\n", "x\r", "x\r\r\n",
                                     std::string(3000, 'L') + "\r\n" + std::string(5000, '\n'),
                                     "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n\x1A"
                                     "after\r\n"};
  for (int n = 0; n < 150; ++n) inputs.push_back(RandomBytes(rng, rng() % 300, "ab\r\n\r\n\x1A"));
  for (const std::string& input : inputs) {
    for (const size_t chunk : {size_t{1}, size_t{5}, size_t{16}, size_t{100}}) {
      SCOPED_TRACE(input.substr(0, 30) + " chunk " + std::to_string(chunk));
      Register expected;
      expected.LoadFileBytes(input, u"5");
      const qint64 half = static_cast<qint64>(input.size() / 2);
      for (const qint64 size : {qint64{-1}, half}) {
        PieceDevice device(input, static_cast<unsigned>(rng()), -1, size);
        Register reg;
        ASSERT_TRUE(reg.LoadDevice(device, u"5", chunk));
        ASSERT_EQ(reg.RowCount(), expected.RowCount());
        for (int r = 0; r < reg.RowCount(); ++r) {
          ASSERT_EQ(reg.RawRecord(r), expected.RawRecord(r)) << r;
        }
      }
    }
  }
}

TEST(RegisterFile, ReadFailureLeavesAnEmptyRegister) {
  PieceDevice device("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n", 1, 12);
  Register reg;
  reg.LoadFileBytes("x\r\n", u"0");
  EXPECT_FALSE(reg.LoadDevice(device, u"0", 4));
  EXPECT_EQ(reg.RowCount(), 1);
  EXPECT_TRUE(reg.RowIsEmpty(0));
}

TEST(RegisterFile, LoadingItsOwnRecordReplacesTheRows) {
  Register reg;
  reg.LoadFileBytes("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\nx\r\n", u"0");
  reg.LoadFileBytes(reg.RawRecord(0), u"0");
  EXPECT_EQ(View(reg.FileBytes()), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n");
}

TEST(RegisterFile, BlankRecordIsKeptOnLoadAndDroppedOnSave) {
  Register reg;
  const std::string blank(kBlankRecord);
  const std::string file = "1\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n" + blank;
  reg.LoadFileBytes(file, u"0");
  ASSERT_EQ(reg.RowCount(), 3);
  EXPECT_FALSE(reg.RowIsEmpty(0));
  EXPECT_TRUE(reg.RowIsEmpty(1));
  EXPECT_EQ(View(reg.FileBytes()), "1\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST(RegisterFile, AccountFileIsReadCreatedOrLeftAlone) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString existing = dir.filePath(QStringLiteral("Xct1.dat"));
  {
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("5\r\n\r\n\r\n1/2/2020\r\n\r\n\r\nx\r\n\r\n");
  }
  const QString missing = dir.filePath(QStringLiteral("Xct2.dat"));
  const QString folder = dir.filePath(QStringLiteral("Xct3.dat"));  // a folder, not a file
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString no_folder = dir.filePath(QStringLiteral("none/Xct4.dat"));

  struct Case {
    QString path;
    AccountFileStatus status;
    int rows;
  };
  const Case cases[] = {
      {existing, AccountFileStatus::kRead, 2},
      {missing, AccountFileStatus::kCreatedEmpty, 2},
      {folder, AccountFileStatus::kUnavailable, 1},
      {no_folder, AccountFileStatus::kUnavailable, 1},
      {QString(), AccountFileStatus::kUnavailable, 1},  // an unsafe file base gives no path
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    Register reg;
    reg.LoadFileBytes("9\r\n", u"0");  // something to be replaced
    EXPECT_EQ(LoadAccountFile(c.path, u"77", reg), c.status);
    EXPECT_EQ(reg.RowCount(), c.rows);
    EXPECT_FALSE(reg.RowIsEmpty(0) && c.rows == 2);
  }
  EXPECT_TRUE(QFileInfo(missing).isFile());
  EXPECT_EQ(QFileInfo(missing).size(), 0);
  EXPECT_TRUE(QFileInfo(folder).isDir());
  Register reg;
  LoadAccountFile(missing, u"77", reg);
  EXPECT_EQ(reg.Cell(0, kBalanceColumn), QStringLiteral("77"));
}

TEST(RegisterFile, SaveReplacesTheFileWhole) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Xct1.dat"));
  Register reg;
  reg.LoadFileBytes("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n", u"0");
  reg.AddEmptyRow();  // blank rows are not written
  ASSERT_TRUE(SaveAccountFile(path, reg));
  EXPECT_EQ(View(*ReadFileBytes(path)), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n");
  Register shorter;
  shorter.LoadFileBytes("a\r\n", u"0");
  ASSERT_TRUE(SaveAccountFile(path, shorter));
  EXPECT_EQ(View(*ReadFileBytes(path)), "a\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // no temporary file left
  EXPECT_FALSE(SaveAccountFile(dir.filePath(QStringLiteral("none/Xct1.dat")), reg));
  EXPECT_FALSE(SaveAccountFile(QString(), reg));
}

namespace {

// Bytes for ever, as /dev/zero or an endless pipe gives them.
class EndlessDevice : public QIODevice {
 public:
  EndlessDevice() { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char* out, qint64 max) override {
    std::memset(out, 'x', static_cast<size_t>(max));
    return max;
  }
  qint64 writeData(const char*, qint64) override { return -1; }
};

}  // namespace

TEST(RegisterFile, OnlyRegularFilesOfASaneSizeAreRead) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
  const auto write = [&](const char* name, const QByteArray& bytes) {
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
  };
  write("plain.dat", "5\r\n\r\n\r\n1/2/2020\r\n\r\n\r\nx\r\n\r\n");
  write("long_line.dat",
        QByteArray(10 << 20, 'L') + "\r\n\r\n\r\n1/2/2020\r\n\r\n\r\nrest\r\n\r\n");
  write("cut.dat", "5\r\n\r\n\r\n1/2/2020\r\n\r\n");
  write("no_date.dat", "5\r\n\r\n\r\nOLD-XCT1\r\n\r\n\r\nx\r\n\r\n");
  write("too_long_line.dat", "1\r\n" + QByteArray(static_cast<qsizetype>(kMaxLineBytes) + 1, 'L'));
  {
    // Sparse: no room on the disk, only a size.
    QFile huge(path("huge.dat"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kMaxFileBytes + 1));
  }
  ASSERT_TRUE(QDir().mkdir(path("folder.dat")));
  ASSERT_TRUE(QFile::link(path("plain.dat"), path("link.dat")));
  ASSERT_TRUE(QFile::link(path("none.dat"), path("dangling.dat")));
  struct Case {
    const char* name;
    ReadError error;
  };
  std::vector<Case> cases = {
      {"plain.dat", ReadError::kNone},        {"link.dat", ReadError::kNone},
      {"long_line.dat", ReadError::kNone},    {"too_long_line.dat", ReadError::kLineTooLong},
      {"huge.dat", ReadError::kTooLarge},     {"folder.dat", ReadError::kFolder},
      {"none.dat", ReadError::kMissing},      {"dangling.dat", ReadError::kMissing},
      {"none/Xct1.dat", ReadError::kMissing}, {"cut.dat", ReadError::kDamaged},
      {"no_date.dat", ReadError::kDamaged},
  };
#ifdef __unix__
  // Before, a FIFO blocked the load for ever and /dev/zero grew it until
  // memory ran out.
  ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.dat")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(u"/dev/zero"_qs, path("zero.dat")));
  cases.push_back({"fifo.dat", ReadError::kNotRegularFile});
  cases.push_back({"zero.dat", ReadError::kNotRegularFile});
  if (geteuid() != 0) {  // permissions do not stop root
    write("locked.dat", "x\r\n");
    QFile::setPermissions(path("locked.dat"), QFileDevice::WriteOwner);
    cases.push_back({"locked.dat", ReadError::kNoPermission});
  }
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register reg;
    ReadError error = ReadError::kFailed;
    EXPECT_EQ(reg.LoadFile(path(c.name), u"0", &error), c.error == ReadError::kNone);
    EXPECT_EQ(error, c.error);
    // Only the register limits the length of a line.
    const bool read_whole = c.error == ReadError::kLineTooLong || c.error == ReadError::kDamaged;
    const ReadError bytes_error = read_whole ? ReadError::kNone : c.error;
    EXPECT_EQ(ReadFileBytes(path(c.name), &error).has_value(), bytes_error == ReadError::kNone);
    EXPECT_EQ(error, bytes_error);
    if (c.error != ReadError::kNone && c.error != ReadError::kMissing) {
      EXPECT_EQ(LoadAccountFile(path(c.name), u"0", reg, &error), AccountFileStatus::kUnavailable);
      EXPECT_EQ(error, c.error);
      EXPECT_EQ(reg.RowCount(), 1);
    }
  }
  EXPECT_EQ(QFileInfo(path("huge.dat")).size(), kMaxFileBytes + 1);  // left alone

  // A device that never ends stops at the line limit, with nothing loaded.
  EndlessDevice endless;
  Register reg;
  ReadError error = ReadError::kNone;
  EXPECT_FALSE(reg.LoadDevice(endless, u"0", Register::kReadChunkBytes, &error));
  EXPECT_EQ(error, ReadError::kLineTooLong);
  EXPECT_EQ(reg.RowCount(), 1);
  EXPECT_FALSE(reg.LoadFileBytes(std::string(kMaxLineBytes + 1, 'L'), u"0"));
  EXPECT_EQ(reg.RowCount(), 1);
}

// Whether bytes read as a whole account: what loading a file and a restore
// both ask.
TEST(RegisterFile, WholeAccount) {
  const std::string record = "100\r\n\xe1\xf0\xf7\r\n\r\n3/12/2026\r\n\r\n5\r\nx\r\n+\r\n";
  struct Case {
    const char* why;
    std::string bytes;
    AccountDamage damage;
  };
  const Case cases[] = {
      {"two records", record + record, AccountDamage::kNone},
      {"lone LF line ends", "1\n\n\n3/12/2026\n\n\nx\n\n", AccountDamage::kNone},
      {"no line end after the mark", record.substr(0, record.size() - 2), AccountDamage::kNone},
      {"an empty date", "1\r\n\r\n\r\n\r\n\r\n\r\nx\r\n\r\n", AccountDamage::kNone},
      {"Ctrl-Z then anything", record + "\x1A\0\0garbage", AccountDamage::kNone},
      {"an empty file", "", AccountDamage::kNoRecord},
      {"ten bytes of one line", "OLD-XCT1\r\n", AccountDamage::kCutRecord},
      {"cut inside the second record", record + record.substr(0, 17), AccountDamage::kCutRecord},
      {"cut inside the description", record.substr(0, record.size() - 5),
       AccountDamage::kCutRecord},
      {"a zero byte", record + std::string("1\r\n\0\r\n\r\n1/1/2020\r\n\r\n\r\n\r\n\r\n", 26),
       AccountDamage::kBinary},
      {"a date that is none", "1\r\n\r\n\r\n\x8f\xff\r\n\r\n\r\nx\r\n\r\n",
       AccountDamage::kBadDate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Register reg;
    ASSERT_TRUE(reg.LoadFileBytes(c.bytes, u"0"));
    EXPECT_EQ(FindAccountDamage(reg), c.damage);
  }
}
