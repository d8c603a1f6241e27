// The payee address book (MyAddr.Dat): read, written and read again; every
// record is found by its payee and account.

#include <algorithm>

#include "core/cheques/address_book.h"
#include "core/text/text_compare.h"
#include "fuzz/support.h"

using cheque::AddressBook;
using cheque::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  AddressBook book = AddressBook::FromBytes(cheque::fuzz::AsBytes(data, size));
  Check(book.Rows().size() >= static_cast<size_t>(AddressBook::kMinimumRows),
        "an address book shows fewer rows than it must");

  const QByteArray saved = book.ToBytes();
  Check(AddressBook::FromBytes(cheque::fuzz::AsBytes(saved)).ToBytes() == saved,
        "a saved address book does not read back as itself");

  // Each lookup scans the book, so only the first records are looked up.
  const int checked = std::min(static_cast<int>(book.Rows().size()), 64);
  for (int row = 0; row < checked; ++row) {
    const AddressBook::Record& record = book.Rows()[static_cast<size_t>(row)];
    const int found = book.Find(record[AddressBook::kAccount], record[AddressBook::kName]);
    Check(found >= 0 && found <= row, "a record is not found by its payee and account");
    book.AddressOf(record[AddressBook::kAccount], record[AddressBook::kName]);
  }
  if (!book.Rows().empty()) {
    const AddressBook::Record first = book.Rows().front();
    const size_t rows = book.Rows().size();
    const bool recorded = book.RecordPayee(first[AddressBook::kAccount], first[AddressBook::kName],
                                           {first[AddressBook::kZip], {}, {}, {}});
    Check(recorded == !first[AddressBook::kName].isEmpty() && book.Rows().size() == rows,
          "recording a known payee added a record");
  }
  return 0;
}
