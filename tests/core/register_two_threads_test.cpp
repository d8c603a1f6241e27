// Opening a large account splits the read, the parse, the damage check, the
// date sort's keys and the balance pass in two halves on two threads. Each
// file here is opened both ways and must give the same rows, damage and
// balances, whatever its second half holds.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "core/register/register.h"
#include "core/register/two_threads.h"

namespace cheque {
namespace {

// Records with a bank balance every 10th and amounts that keep the running
// balance moving; `cut` ends the bytes inside the last record.
std::string Records(int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) {
    const bool bank = i % 10 == 9;
    const std::string day = std::to_string(i % 28 + 1) + "/" + std::to_string(i / 28 % 12 + 1);
    bytes += (bank ? std::to_string(i * 7) : std::string("0")) + "\r\n";
    bytes += bank ? "\xe1\xf0\xf7\\\xe9\xfa\xf8\xe4\r\n" : "\xe1\xe9\xfa\r\n";
    bytes += "\r\n" + day + "/2024\r\n";
    bytes += (i % 3 == 0 ? std::to_string(i) + ".5" : std::string()) + "\r\n";
    bytes += (i % 3 != 0 ? std::to_string(i % 50) : std::string()) + "\r\n";
    bytes += "x" + std::to_string(i) + "\r\n";
    bytes += (i % 4 == 0 ? "" : "+") + std::string("\r\n");
  }
  return bytes;
}

std::string Image(const Register& reg) {
  std::string image;
  for (int r = 0; r < reg.RowCount(); ++r) image.append(reg.RawRecord(r)).push_back('|');
  return image;
}

struct Opened {
  bool loaded = false;
  ReadError error = ReadError::kNone;
  std::string rows;  // as read, then date sorted with their balances
  AccountDamage damage = AccountDamage::kNone;
};

Opened Open(const QString& path, const std::string& bytes, bool from_file) {
  Opened opened;
  Register reg;
  opened.loaded =
      from_file ? reg.LoadFile(path, u"0", &opened.error) : reg.LoadFileBytes(bytes, u"0");
  opened.damage = FindAccountDamage(reg);
  opened.rows = Image(reg);
  reg.SortRegister(kDateColumn, QDate(2024, 6, 1));
  opened.rows += Image(reg);
  return opened;
}

TEST(RegisterTwoThreads, SameAsOneThread) {
  const std::string whole = Records(400);
  const size_t middle = whole.size() / 2;
  const auto at = [&](double share) { return whole.find("\r\nx", whole.size() * share) + 2; };
  struct Case {
    const char* why;
    std::string bytes;
  };
  const Case cases[] = {
      {"whole records", whole},
      {"a lone LF in the second half", whole.substr(0, at(0.7)) + "\n" + whole.substr(at(0.7))},
      {"a lone CR just after the middle", whole.substr(0, middle) + "\r" + whole.substr(middle)},
      {"a line missing in the second half, so records shift",
       whole.substr(0, at(0.6) - 2) + whole.substr(whole.find("\r\n", at(0.6)))},
      {"Ctrl-Z in the second half", whole.substr(0, at(0.8)) + "\x1A" + whole.substr(at(0.8))},
      {"a zero byte in the second half", whole.substr(0, at(0.9)) + '\0' + whole.substr(at(0.9))},
      {"a bad date in the first half, a zero byte in the second",
       [&] {
         std::string bytes = whole;
         bytes.replace(whole.find("/2024", at(0.3)), 5, "/20x4");
         bytes[at(0.75)] = '\0';
         return bytes;
       }()},
      {"cut inside the last record", whole.substr(0, whole.size() - 7)},
      {"a sum too large, then a bank balance",
       [] {
         const std::string huge = "0\r\n\xe1\r\n\r\n1/1/2024\r\n1e308\r\n\r\nx\r\n\r\n";
         return huge + huge + Records(400);
       }()},
  };
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Xct1.dat"));
  const size_t saved = TwoThreadMinRows();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.bytes.data(), static_cast<qint64>(c.bytes.size()));
    file.close();
    for (const bool from_file : {true, false}) {
      TwoThreadMinRows() = SIZE_MAX;
      const Opened one = Open(path, c.bytes, from_file);
      TwoThreadMinRows() = 1;
      const Opened two = Open(path, c.bytes, from_file);
      EXPECT_EQ(two.loaded, one.loaded);
      EXPECT_EQ(two.error, one.error);
      EXPECT_EQ(two.damage, one.damage);
      EXPECT_EQ(two.rows, one.rows);
    }
  }
  TwoThreadMinRows() = saved;
}

}  // namespace
}  // namespace cheque
