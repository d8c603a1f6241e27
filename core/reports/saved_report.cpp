#include "core/reports/saved_report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/categories/category_tree.h"
#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/register/completion.h"
#include "core/reports/report_period.h"
#include "core/text/codec.h"
#include "core/text/date_text.h"

namespace cheque {

namespace {

constexpr qint64 kStringBytes = SavedReport::kStringBytes;
const QString kSuffix = QStringLiteral(".Rpt");

// Reads the record's fields at fixed offsets; the caller has checked the size.
class RecordReader {
 public:
  explicit RecordReader(QByteArrayView bytes) : bytes_(bytes) {}

  qint16 Int16(qint64 at) const { return qFromLittleEndian<qint16>(Raw(at)); }
  qint32 Int32(qint64 at) const { return qFromLittleEndian<qint32>(Raw(at)); }
  double Double(qint64 at) const {
    const quint64 bits = qFromLittleEndian<quint64>(Raw(at));
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  QString String(qint64 at) const {
    const auto length = static_cast<unsigned char>(bytes_[at]);
    return DecodeWin1255(std::string_view(bytes_.data() + at + 1, length));
  }

 private:
  const char* Raw(qint64 at) const { return bytes_.data() + at; }
  QByteArrayView bytes_;
};

void PutInt16(QByteArray& out, qint64 at, qint16 value) { qToLittleEndian(value, out.data() + at); }

void PutDouble(QByteArray& out, qint64 at, double value) {
  quint64 bits = 0;
  std::memcpy(&bits, &value, sizeof value);
  qToLittleEndian(bits, out.data() + at);
}

void PutString(QByteArray& out, qint64 at, const QString& text) {
  QByteArray bytes = EncodeWin1255Bytes(text).left(kStringBytes - 1);
  out[at] = static_cast<char>(bytes.size());
  std::memcpy(out.data() + at + 1, bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool ReadNames(const RecordReader& reader, qint64 size, qint64 count, qint64& at,
               QStringList& names) {
  if (count < 0 || count > (size - at) / kStringBytes) return false;
  for (qint64 i = 0; i < count; ++i, at += kStringBytes) names.append(reader.String(at));
  return true;
}

// The numbered report files of the folder, by number; other "*.Rpt" files
// after them by name.
QStringList ReportFiles(const QString& folder) {
  const QDir dir(folder);
  const QFileInfoList entries = dir.entryInfoList(
      {QStringLiteral("*.rpt")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  struct Entry {
    qint64 number;
    QString name;
    QString path;
  };
  std::vector<Entry> files;
  for (const QFileInfo& info : entries) {
    bool numbered = false;
    const qint64 number = info.completeBaseName().toLongLong(&numbered);
    files.push_back({numbered && number > 0 ? number : -1, info.fileName(), info.filePath()});
  }
  std::stable_sort(files.begin(), files.end(), [](const Entry& a, const Entry& b) {
    if ((a.number < 0) != (b.number < 0)) return a.number >= 0;
    return a.number >= 0 ? a.number < b.number : false;
  });
  QStringList paths;
  for (const Entry& entry : files) paths.append(entry.path);
  return paths;
}

ReportKind KindOf(qint16 kind) { return static_cast<ReportKind>(kind); }

}  // namespace

double DateToDayCount(QDate date) {
  return date.isValid() ? static_cast<double>(DayNumber(date)) : 0.0;
}

QDate DateFromDayCount(double days) {
  // Beyond year 9999 either way there is no date a field could show.
  if (!std::isfinite(days) || days < -693593 || days > 2958465) return {};
  return DateFromDayNumber(static_cast<qint64>(std::floor(days)));
}

std::optional<SavedReport> SavedReportFromBytes(QByteArrayView bytes) {
  const qint64 size = bytes.size();
  if (size < SavedReport::kRecordBytes) return std::nullopt;
  const RecordReader reader(bytes);
  SavedReport saved;
  saved.name = reader.String(0);
  saved.kind = reader.Int16(256);
  if (saved.kind < 0 || saved.kind > 3) return std::nullopt;
  saved.account_group = reader.Int16(258);
  saved.all_types = reader.Int16(260);
  const qint64 account_count = reader.Int16(262);
  const qint64 type_count = reader.Int16(264);
  saved.period_name = reader.String(266);
  saved.from_date = reader.Double(522);
  saved.to_date = reader.Double(530);
  saved.compare_mode = reader.Int16(538);
  saved.year1 = reader.Int16(540);
  saved.year2 = reader.Int16(542);
  saved.compare_from = reader.Double(544);
  saved.compare_to = reader.Double(552);
  saved.flow_filter = reader.Int16(560);
  saved.hide_empty_groups = static_cast<quint8>(bytes[562]);
  const qint64 category_count = reader.Int32(563);
  qint64 at = SavedReport::kRecordBytes;
  if (!ReadNames(reader, size, account_count, at, saved.accounts) ||
      !ReadNames(reader, size, type_count, at, saved.types) ||
      !ReadNames(reader, size, category_count, at, saved.categories))
    return std::nullopt;
  return saved;
}

std::optional<SavedReport> ReadSavedReport(const QString& path) {
  const auto bytes = ReadFileBytes(path);
  if (!bytes) return std::nullopt;
  return SavedReportFromBytes(*bytes);
}

QByteArray SavedReportBytes(const SavedReport& saved) {
  const qint64 names = saved.accounts.size() + saved.types.size() + saved.categories.size();
  QByteArray out(SavedReport::kRecordBytes + names * kStringBytes, '\0');
  PutString(out, 0, saved.name);
  PutInt16(out, 256, saved.kind);
  PutInt16(out, 258, saved.account_group);
  PutInt16(out, 260, saved.all_types);
  PutInt16(out, 262, static_cast<qint16>(saved.accounts.size()));
  PutInt16(out, 264, static_cast<qint16>(saved.types.size()));
  PutString(out, 266, saved.period_name);
  PutDouble(out, 522, saved.from_date);
  PutDouble(out, 530, saved.to_date);
  PutInt16(out, 538, saved.compare_mode);
  PutInt16(out, 540, saved.year1);
  PutInt16(out, 542, saved.year2);
  PutDouble(out, 544, saved.compare_from);
  PutDouble(out, 552, saved.compare_to);
  PutInt16(out, 560, saved.flow_filter);
  out[562] = static_cast<char>(saved.hide_empty_groups);
  qToLittleEndian(static_cast<qint32>(saved.categories.size()), out.data() + 563);
  qint64 at = SavedReport::kRecordBytes;
  for (const QStringList* list : {&saved.accounts, &saved.types, &saved.categories}) {
    for (const QString& name : *list) {
      PutString(out, at, name);
      at += kStringBytes;
    }
  }
  return out;
}

bool WriteSavedReport(const QString& path, const SavedReport& saved) {
  // The counts are 16 bits wide; more names would not read back.
  if (saved.accounts.size() > 32767 || saved.types.size() > 32767) return false;
  return WriteFileAtomic(path, SavedReportBytes(saved));
}

QStringList SavedReportNames(const QString& folder, ReportKind kind) {
  QStringList names;
  for (const QString& path : ReportFiles(folder)) {
    const auto saved = ReadSavedReport(path);
    if (saved && !saved->name.isEmpty() && KindOf(saved->kind) == kind) names.append(saved->name);
  }
  return names;
}

QString FindSavedReport(const QString& folder, const QString& name) {
  for (const QString& path : ReportFiles(folder)) {
    const auto saved = ReadSavedReport(path);
    if (saved && !saved->name.isEmpty() && saved->name == name) return path;
  }
  return {};
}

QString SavedReportPath(const QString& folder, int number) {
  return QDir(folder).filePath(QString::number(number) + kSuffix);
}

int NextSavedReportNumber(const QString& folder) {
  int number = 1;
  while (QFileInfo::exists(SavedReportPath(folder, number))) ++number;
  return number;
}

QString SaveReportUnderName(const QString& folder, const SavedReport& saved) {
  const QString old_path = FindSavedReport(folder, saved.name);
  const QString path = SavedReportPath(folder, NextSavedReportNumber(folder));
  if (!WriteSavedReport(path, saved)) return {};
  if (!old_path.isEmpty()) QFile::remove(old_path);
  return path;
}

bool DeleteSavedReport(const QString& folder, const QString& name) {
  const QString path = FindSavedReport(folder, name);
  return !path.isEmpty() && QFile::remove(path);
}

QString TemporaryReportPath(const QString& folder) {
  return QDir(folder).filePath(QStringLiteral("Tmp.~pt"));
}

ReportSettings SettingsFromSaved(const SavedReport& saved, const AccountList& accounts,
                                 const CategoryTree& merged, QDate today) {
  ReportSettings settings;
  settings.kind = KindOf(std::clamp<qint16>(saved.kind, 0, 3));
  if (saved.account_group >= 0 && saved.account_group <= 3)
    settings.account_group = static_cast<AccountGroup>(saved.account_group);
  for (const AccountDefinition& account : accounts.Accounts()) {
    bool selected = false;
    switch (settings.account_group) {
      case AccountGroup::kOthers:
        selected = saved.accounts.contains(account.name);
        break;
      case AccountGroup::kBusiness:
        selected = account.business;
        break;
      case AccountGroup::kPrivate:
        selected = !account.business;
        break;
      case AccountGroup::kAll:
        selected = true;
        break;
    }
    if (selected) settings.accounts.append(account.name);
  }
  for (int i = 0; i < kPaymentTypeCount; ++i) {
    if (i == kBankBalanceType) continue;
    const QString& type = PaymentTypes()[static_cast<size_t>(i)];
    if (saved.all_types != 0 || saved.types.contains(type)) settings.types.append(type);
  }
  if (saved.categories.isEmpty()) {
    for (int i = 0; i < merged.Size(); ++i) settings.categories.append(merged.FullPath(i));
  } else {
    std::vector<bool> marked(static_cast<size_t>(merged.Size()), false);
    for (const QString& path : saved.categories) {
      const int index = merged.FindPath(path);
      if (index >= 0) marked[static_cast<size_t>(index)] = true;
    }
    for (int i = 0; i < merged.Size(); ++i)
      if (marked[static_cast<size_t>(i)]) settings.categories.append(merged.FullPath(i));
  }
  if (saved.flow_filter >= 0 && saved.flow_filter <= 2)
    settings.flow = static_cast<FlowFilter>(saved.flow_filter);
  settings.hide_empty_groups = saved.hide_empty_groups != 0;
  const bool trends = settings.kind == ReportKind::kTrends;
  if (saved.compare_mode >= 1 && saved.compare_mode <= (trends ? 3 : 4))
    settings.period_type = static_cast<PeriodType>(saved.compare_mode);
  settings.comparison = settings.kind == ReportKind::kIncomeExpenses && saved.compare_mode >= 1 &&
                        saved.compare_mode <= 4;
  settings.year1 = saved.year1;
  settings.year2 = saved.year2;
  // A stored day count that is no date reads as today, as a date text that
  // does not read does everywhere else.
  const auto date = [today](double days) {
    const QDate read = DateFromDayCount(days);
    return read.isValid() ? read : today;
  };
  settings.from = date(saved.from_date);
  settings.to = date(saved.to_date);
  settings.compare_from = date(saved.compare_from);
  settings.compare_to = date(saved.compare_to);
  settings.title = ReportTitle(settings);
  return settings;
}

SavedReport SavedFromSettings(const ReportSettings& settings, const QString& name,
                              const QString& period_name, bool all_types, bool all_categories) {
  SavedReport saved;
  saved.name = name;
  saved.kind = static_cast<qint16>(settings.kind);
  saved.account_group = static_cast<qint16>(settings.account_group);
  saved.all_types = all_types ? 1 : 0;
  saved.period_name = period_name;
  saved.from_date = DateToDayCount(settings.from);
  saved.to_date = DateToDayCount(settings.to);
  // A trends report keeps its bucket size here; the record has no other field for it.
  if (settings.kind == ReportKind::kTrends)
    saved.compare_mode = static_cast<qint16>(
        std::min(static_cast<int>(settings.period_type), static_cast<int>(PeriodType::kHalfYear)));
  else if (settings.comparison && settings.kind == ReportKind::kIncomeExpenses)
    saved.compare_mode = static_cast<qint16>(settings.period_type);
  saved.year1 = static_cast<qint16>(settings.year1);
  saved.year2 = static_cast<qint16>(settings.year2);
  saved.compare_from = DateToDayCount(settings.compare_from);
  saved.compare_to = DateToDayCount(settings.compare_to);
  saved.flow_filter = static_cast<qint16>(settings.flow);
  saved.hide_empty_groups = settings.hide_empty_groups ? 1 : 0;
  saved.accounts = settings.accounts;
  saved.types = settings.types;
  if (!all_categories) saved.categories = settings.categories;
  return saved;
}

}  // namespace cheque
