#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "core/cheques/address_book.h"
#include "core/files/line_file.h"

using namespace cheque;

namespace {

std::string S(QStringView text) { return text.toString().toStdString(); }

const QString kHome = QStringLiteral("בית");
const QString kShop = QStringLiteral("עסק");

PayeeAddress Address(const char16_t* zip, const char16_t* town, const char16_t* number,
                     const char16_t* street) {
  return {QString::fromUtf16(zip), QString::fromUtf16(town), QString::fromUtf16(number),
          QString::fromUtf16(street)};
}

std::string Street(const AddressBook& book, const QString& account, const QString& name) {
  const auto address = book.AddressOf(account, name);
  return address ? S(address->street) : "(none)";
}

}  // namespace

TEST(AddressBook, PayeesArePerAccount) {
  AddressBook book;
  ASSERT_TRUE(book.RecordPayee(kHome, QStringLiteral("Bezeq"), Address(u"", u"", u"5", u"הרצל")));
  EXPECT_EQ(Street(book, kHome, QStringLiteral("Bezeq")), S(u"הרצל"));
  EXPECT_EQ(Street(book, kHome, QStringLiteral("BEZEQ")), S(u"הרצל"));  // letter case ignored
  EXPECT_EQ(Street(book, kShop, QStringLiteral("Bezeq")), "(none)");
  // Printed without a postal code, the payee is still found.
  EXPECT_EQ(S(book.AddressOf(kHome, QStringLiteral("bezeq"))->zip), "");
  // The same name for another account is a record of its own.
  book.RecordPayee(kShop, QStringLiteral("Bezeq"), Address(u"", u"", u"", u"יפו"));
  EXPECT_EQ(Street(book, kShop, QStringLiteral("Bezeq")), S(u"יפו"));
  EXPECT_EQ(Street(book, kHome, QStringLiteral("Bezeq")), S(u"הרצל"));
  EXPECT_EQ(book.Rows().size(), 4U);  // after the two empty rows of a new book
}

TEST(AddressBook, KnownPayeeTakesOnlyGivenFields) {
  AddressBook book;
  book.RecordPayee(kHome, QStringLiteral("חשמל"), Address(u"61000", u"חיפה", u"1", u"הנמל"));
  // A new street replaces the old one; an empty field keeps what is known.
  book.RecordPayee(kHome, QStringLiteral("חשמל"), Address(u"", u"", u"7", u"הגפן"));
  auto address = book.AddressOf(kHome, QStringLiteral("חשמל"));
  ASSERT_TRUE(address.has_value());
  EXPECT_EQ(S(address->zip), "61000");
  EXPECT_EQ(S(address->town), S(u"חיפה"));
  EXPECT_EQ(S(address->number), "7");
  EXPECT_EQ(S(address->street), S(u"הגפן"));
  EXPECT_EQ(book.Rows().size(), 3U);
  EXPECT_FALSE(book.RecordPayee(kHome, QString(), Address(u"1", u"", u"", u"")));
  EXPECT_EQ(book.Rows().size(), 3U);
}

TEST(AddressBook, FileForm) {
  // Short files: one record, a record cut short; an empty file.
  AddressBook one = AddressBook::FromBytes("03-1\r\n\r\n\xFA\xEC \xE0\xE1\xE9\xE1\r\n");
  ASSERT_EQ(one.Rows().size(), 2U);
  EXPECT_EQ(S(one.Rows()[0][AddressBook::kPhone]), "03-1");
  EXPECT_EQ(S(one.Rows()[0][AddressBook::kTown]), S(u"תל אביב"));
  EXPECT_EQ(S(one.Rows()[0][AddressBook::kName]), "");
  for (const QString& field : one.Rows()[1]) EXPECT_TRUE(field.isEmpty());

  const AddressBook empty = AddressBook::FromBytes("");
  ASSERT_EQ(empty.Rows().size(), 2U);
  EXPECT_EQ(empty.ToBytes(), QByteArray(14 * 2, '\0').replace(QByteArray(2, '\0'), "\r\n"));

  // Seven lines a record, Windows-1255 and CR LF, empty rows kept.
  AddressBook book;
  book.RecordPayee(kHome, QStringLiteral("גז"), Address(u"1", u"2", u"3", u"4"));
  const QByteArray bytes = book.ToBytes();
  EXPECT_EQ(bytes.count("\r\n"), 21);
  EXPECT_TRUE(bytes.endsWith("\r\n1\r\n2\r\n3\r\n4\r\n\xE2\xE6\r\n\xE1\xE9\xFA\r\n"));
  QTemporaryDir dir;
  const QString path = QDir(dir.path()).filePath(kAddressBookFile);
  ASSERT_TRUE(book.Write(path));
  EXPECT_EQ(ReadFileBytes(path).value_or(QByteArray()), bytes);
  EXPECT_EQ(AddressBook::Read(path).ToBytes(), bytes);
  // No file: the empty book.
  EXPECT_EQ(AddressBook::Read(path + QStringLiteral(".none")).Rows().size(), 2U);
}

TEST(AddressBook, RemoveRow) {
  AddressBook book;
  book.RecordPayee(kHome, QStringLiteral("א"), {});
  book.RecordPayee(kHome, QStringLiteral("ב"), {});
  book.RemoveRow(2);
  book.RemoveRow(7);  // no such row
  ASSERT_EQ(book.Rows().size(), 3U);
  EXPECT_EQ(S(book.Rows()[2][AddressBook::kName]), S(u"ב"));
}
