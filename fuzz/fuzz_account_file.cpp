// The account file as the register loads it: whole from bytes, from a file,
// and in small pieces from a device of unknown size; all three must give the
// same rows, a save must read back as itself, and the load's sorts must only
// reorder rows.

#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/register/open_account.h"
#include "core/register/register.h"
#include "core/register/two_threads.h"
#include "fuzz/support.h"

namespace {

using cheque::Register;
using cheque::fuzz::Check;

const QDate kToday(2024, 6, 15);
constexpr char16_t kOpeningBalance[] = u"100";

// Hands out a few bytes a read and hides its size, as a pipe would.
class TrickleDevice : public QIODevice {
 public:
  TrickleDevice(std::string_view bytes, qint64 step) : bytes_(bytes), step_(step) {}
  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char* data, qint64 max_size) override {
    const qint64 left = static_cast<qint64>(bytes_.size() - pos_);
    const qint64 n = std::min({max_size, step_, left});
    if (n > 0) std::memcpy(data, bytes_.data() + pos_, static_cast<size_t>(n));
    pos_ += static_cast<size_t>(n);
    return n;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  std::string_view bytes_;
  qint64 step_;
  size_t pos_ = 0;
};

bool SameRows(const Register& a, const Register& b) {
  if (a.RowCount() != b.RowCount()) return false;
  for (int row = 0; row < a.RowCount(); ++row) {
    if (a.RawRecord(row) != b.RawRecord(row)) return false;
  }
  return true;
}

// Every row but its balance, which the date sort recomputes, in a fixed order.
std::vector<std::string> RowsWithoutBalance(const Register& reg) {
  std::vector<std::string> rows;
  for (int row = 0; row < reg.RowCount(); ++row) {
    std::string text;
    for (int column = cheque::kIncomeColumn; column < cheque::kRegisterColumnCount; ++column) {
      text += reg.RawCell(row, column);
      text += '\n';
    }
    rows.push_back(std::move(text));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = cheque::fuzz::AsBytes(data, size);

  Register whole;
  Check(whole.LoadFileBytes(bytes, kOpeningBalance), "an account file's bytes were refused");
  Check(whole.RowCount() >= 2 && whole.RowIsEmpty(whole.RowCount() - 1),
        "a loaded register does not end with its empty row");

  // The piece sizes follow from the length, so the corpus stays plain files.
  Register pieces;
  TrickleDevice device(bytes, static_cast<qint64>(1 + size % 7));
  device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  Check(pieces.LoadDevice(device, kOpeningBalance, 1 + size % 13), "a device load failed");
  Check(SameRows(whole, pieces), "a file read in pieces gives other rows than read whole");

  // As the program opens an account, the sort left for below.
  Register from_file;
  const QString path = cheque::fuzz::WriteScratchFile(QStringLiteral("account.dat"), bytes);
  cheque::AccountOpenOptions options;
  options.mode = cheque::AccountOpenMode::kReadOnly;
  options.sort_by_date = false;
  // A damaged file is refused as a whole; any other is read.
  const cheque::AccountDamage damage = cheque::FindAccountDamage(whole);
  const bool whole_account =
      damage == cheque::AccountDamage::kNone || damage == cheque::AccountDamage::kNoRecord;
  const bool read =
      cheque::OpenAccountFile(path, kOpeningBalance, kToday, from_file, options).status ==
      cheque::AccountFileStatus::kRead;
  Check(read == whole_account, "an account file was read though damaged, or refused though whole");
  if (read) Check(SameRows(whole, from_file), "a file on disk gives other rows than its bytes");

  // A large file is read, checked and sorted in two halves on two threads:
  // the same rows, damage and date order as in one.
  {
    const size_t one_thread = cheque::TwoThreadMinRows();
    cheque::TwoThreadMinRows() = 1;
    Register halves;
    Check(halves.LoadFileBytes(bytes, kOpeningBalance) && SameRows(whole, halves),
          "a file parsed in two halves gives other rows");
    Check(cheque::FindAccountDamage(halves) == damage, "the two halves find other damage");
    Register sorted = whole;
    halves.SortRegister(cheque::kDateColumn, kToday);
    cheque::TwoThreadMinRows() = one_thread;
    sorted.SortRegister(cheque::kDateColumn, kToday);
    Check(SameRows(sorted, halves), "the date sort in two halves gives other rows or balances");
  }

  const QByteArray saved = whole.FileBytes();
  if (!saved.isEmpty()) {
    Register again;
    Check(again.LoadFileBytes(cheque::fuzz::AsBytes(saved), kOpeningBalance) &&
              again.FileBytes() == saved,
          "a saved account file does not read back as itself");
  }

  for (int row = 0; row < whole.RowCount(); ++row) {
    for (int column = 0; column < cheque::kRegisterColumnCount; ++column) whole.Cell(row, column);
    whole.BankBalanceDifference(row);
    whole.IsOverdueRow(row, kToday);
  }

  // The load's date sort, after one by another column.
  const auto rows = RowsWithoutBalance(whole);
  whole.SortRegister(cheque::kIncomeColumn + static_cast<int>(size % 6), kToday);
  Check(RowsWithoutBalance(whole) == rows, "a sort lost or changed a row");
  whole.SortRegister(cheque::kDateColumn, kToday);
  Check(RowsWithoutBalance(whole) == rows, "the date sort lost or changed a row");
  Check(!whole.NeedsSorting(), "the date sort left the register unsorted");
  whole.GoToDateRow(45458.5);
  return 0;
}
