#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/reports/report_settings.h"

namespace cheque {

class AccountList;
class CategoryTree;

// A saved report definition: the 567-byte record (little-endian, strings as
// a length byte and 255 Windows-1255 bytes, dates as day counts from
// 30/12/1899 in doubles) followed by the account, type and category names.
// The counts of the record are the sizes of the three lists.
struct SavedReport {
  static constexpr int kRecordBytes = 567;
  static constexpr int kStringBytes = 256;

  QString name;
  qint16 kind = 0;
  qint16 account_group = 1;
  qint16 all_types = 1;
  QString period_name;
  double from_date = 0;
  double to_date = 0;
  qint16 compare_mode = 0;  // 0 off; 1..4 monthly, quarterly, half-year, yearly
  qint16 year1 = 1998;
  qint16 year2 = 1997;
  double compare_from = 0;
  double compare_to = 0;
  qint16 flow_filter = 0;
  quint8 hide_empty_groups = 0;
  QStringList accounts;
  QStringList types;
  QStringList categories;  // empty when every category is marked

  bool operator==(const SavedReport&) const = default;
};

// Nothing for a record that is short, whose counts are negative or run past
// the end, or whose kind is not 0..3. Bytes after the last name are ignored.
std::optional<SavedReport> SavedReportFromBytes(QByteArrayView bytes);
std::optional<SavedReport> ReadSavedReport(const QString& path);
// Texts longer than 255 bytes are cut; unused string bytes are zero.
QByteArray SavedReportBytes(const SavedReport& saved);
bool WriteSavedReport(const QString& path, const SavedReport& saved);

double DateToDayCount(QDate date);
QDate DateFromDayCount(double days);  // invalid for a value that is no date

// The saved-report folder: "<n>.Rpt" files, n the smallest free number.
// Files are taken in the order of their numbers; a damaged file or one with
// an empty name is passed over.
QStringList SavedReportNames(const QString& folder, ReportKind kind);
// The path of the first saved report of that name; empty when none.
QString FindSavedReport(const QString& folder, const QString& name);
int NextSavedReportNumber(const QString& folder);
QString SavedReportPath(const QString& folder, int number);
// Writes the definition to the next free number and only then removes an
// older report of the same name, so a failed write loses nothing. The new
// path, or empty when it could not be written.
QString SaveReportUnderName(const QString& folder, const SavedReport& saved);
bool DeleteSavedReport(const QString& folder, const QString& name);
// "Tmp.~pt": the definition as the wizard was last opened with.
QString TemporaryReportPath(const QString& folder);

// The definition as the wizard holds it after loading the saved one and
// running it ("בצע"), over the program folder's accounts and merged tree.
ReportSettings SettingsFromSaved(const SavedReport& saved, const AccountList& accounts,
                                 const CategoryTree& merged, QDate today);
// The record of a definition (what the wizard saves).
SavedReport SavedFromSettings(const ReportSettings& settings, const QString& name,
                              const QString& period_name, bool all_types, bool all_categories);

}  // namespace cheque
