#include "core/files/account_list.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "core/files/line_file.h"
#include "core/files/program_folder.h"
#include "core/text/text_compare.h"

namespace cheque {

QStringList AccountDefinition::ToLines() const {
  return {name,
          file_base,
          bank,
          branch,
          contact,
          phone,
          fax,
          mobile,
          account_number,
          credit_limit,
          next_cheque,
          business ? QStringLiteral("1") : QStringLiteral("0"),
          opening_balance,
          vat_percent};
}

AccountDefinition AccountDefinition::FromLines(const QStringList& lines) {
  auto line = [&lines](int i) { return i < lines.size() ? lines[i] : QString(); };
  AccountDefinition a;
  a.name = line(0);
  a.file_base = line(1);
  a.bank = line(2);
  a.branch = line(3);
  a.contact = line(4);
  a.phone = line(5);
  a.fax = line(6);
  a.mobile = line(7);
  a.account_number = line(8);
  a.credit_limit = line(9);
  a.next_cheque = line(10);
  // A whole number whose low byte is not zero marks a business account.
  bool ok = false;
  const qlonglong kind = line(11).trimmed().toLongLong(&ok);
  a.business = ok && (kind & 0xFF) != 0;
  a.opening_balance = line(12);
  a.vat_percent = line(13);
  return a;
}

std::optional<AccountList> AccountList::Read(const QString& path, ReadError* error) {
  const auto bytes = ReadFileBytes(path, error);
  if (!bytes || bytes->isEmpty()) return std::nullopt;
  LineReader reader(std::string_view(bytes->constData(), static_cast<size_t>(bytes->size())));
  AccountList list;
  while (!reader.AtEnd()) {
    QStringList lines;
    for (int i = 0; i < AccountDefinition::kLineCount; ++i) lines.append(reader.NextText());
    list.accounts_.push_back(AccountDefinition::FromLines(lines));
  }
  return list;
}

QStringList AccountList::Names() const {
  QStringList names;
  for (const auto& a : accounts_) names.append(a.name);
  return names;
}

int AccountList::IndexOf(QStringView name) const {
  for (size_t i = 0; i < accounts_.size(); ++i) {
    if (TextEquals(QStringView(accounts_[i].name), name)) return static_cast<int>(i);
  }
  return -1;
}

const AccountDefinition* AccountList::Find(QStringView name) const {
  const int i = IndexOf(name);
  return i < 0 ? nullptr : &accounts_[static_cast<size_t>(i)];
}

void AccountList::Append(const AccountDefinition& account) { accounts_.push_back(account); }

bool AccountList::Replace(QStringView old_name, const AccountDefinition& account) {
  const int i = IndexOf(old_name);
  if (i < 0) return false;
  accounts_[static_cast<size_t>(i)] = account;
  return true;
}

bool AccountList::Remove(QStringView name) {
  const int i = IndexOf(name);
  if (i < 0) return false;
  accounts_.erase(accounts_.begin() + i);
  return true;
}

QByteArray AccountList::ToBytes() const {
  QStringList lines;
  for (const auto& a : accounts_) lines.append(a.ToLines());
  return JoinLines(lines);
}

bool AccountList::Write(const QString& path) const { return WriteFileAtomic(path, ToBytes()); }

namespace {

bool IsReservedDeviceName(QStringView base) {
  for (const char16_t* name : {u"CON", u"PRN", u"AUX", u"NUL"}) {
    if (base.compare(QStringView(name), Qt::CaseInsensitive) == 0) return true;
  }
  return base.size() == 4 &&
         (base.startsWith(u"COM", Qt::CaseInsensitive) ||
          base.startsWith(u"LPT", Qt::CaseInsensitive)) &&
         base[3] >= u'1' && base[3] <= u'9';
}

// The n of a base "Xct<n>" (letter case ignored, as the file system on
// Windows does), or -1. A number of more than 15 digits was never made by us;
// leaving it out keeps n + 1 from overflowing.
qlonglong XctNumber(QStringView base) {
  if (base.size() < 4 || !base.startsWith(u"Xct", Qt::CaseInsensitive)) return -1;
  QStringView digits = base.mid(3);
  for (const QChar c : digits) {
    if (c < u'0' || c > u'9') return -1;
  }
  while (digits.size() > 1 && digits.front() == u'0') digits = digits.mid(1);
  if (digits.size() > 15) return -1;
  return digits.toLongLong();
}

}  // namespace

bool IsSafeFileBase(QStringView base) {
  if (base.isEmpty() || IsReservedDeviceName(base)) return false;
  for (const QChar c : base) {
    if (!c.isLetterOrNumber()) return false;
  }
  return true;
}

QString AccountFilePath(const QString& folder, QStringView file_base) {
  if (!IsSafeFileBase(file_base)) return {};
  QString path = folder;
  if (!path.isEmpty() && !path.endsWith(u'/') && !path.endsWith(u'\\')) path += u'/';
  return path + file_base.toString() + QStringLiteral(".dat");
}

QString NextAccountFileBase(const QString& folder, const AccountList& list) {
  qlonglong highest = 0;
  const QDir dir(folder);
  const QStringList files = dir.entryList({QStringLiteral("Xct*.dat")},
                                          QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
  for (const QString& file : files) {
    if (!file.endsWith(u".dat", Qt::CaseInsensitive)) continue;
    highest = std::max(highest, XctNumber(QStringView(file).chopped(4)));
  }
  for (const AccountDefinition& account : list.Accounts()) {
    highest = std::max(highest, XctNumber(account.file_base));
  }
  // A folder of that name, or a file that appeared meanwhile, is skipped too.
  QString base;
  do {
    base = QStringLiteral("Xct") + QString::number(++highest);
  } while (QFileInfo::exists(dir.filePath(base + QStringLiteral(".dat"))));
  return base;
}

QString NextAccountFileBase(const QString& folder) {
  const QString list_path = QDir(folder).filePath(file_names::kAccountList);
  return NextAccountFileBase(folder, AccountList::Read(list_path).value_or(AccountList()));
}

}  // namespace cheque
