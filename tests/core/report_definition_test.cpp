#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <string>
#include <vector>

#include "core/categories/category_tree.h"
#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/reports/merged_category_tree.h"
#include "core/reports/report_period.h"
#include "core/reports/saved_report.h"
#include "core/text/codec.h"

using namespace cheque;

namespace {

std::string S(const QString& text) { return text.toStdString(); }

SavedReport Sample(const QString& name, qint16 kind = 1) {
  SavedReport saved;
  saved.name = name;
  saved.kind = kind;
  saved.account_group = 0;
  saved.all_types = 0;
  saved.period_name = QStringLiteral("שנה קודמת");
  saved.from_date = DateToDayCount(QDate(1998, 1, 1));
  saved.to_date = DateToDayCount(QDate(1998, 12, 31));
  saved.compare_mode = 4;
  saved.year1 = 1998;
  saved.year2 = 1997;
  saved.compare_from = DateToDayCount(QDate(1997, 1, 1));
  saved.compare_to = DateToDayCount(QDate(1997, 12, 31));
  saved.flow_filter = 2;
  saved.hide_empty_groups = 1;
  saved.accounts = {QStringLiteral("עסק"), QStringLiteral("בית")};
  saved.types = {QStringLiteral("שק")};
  saved.categories = {QStringLiteral("רכב\\דלק"), QStringLiteral("מסים")};
  return saved;
}

}  // namespace

TEST(SavedReport, RecordLayoutAndByteExactRoundTrip) {
  const SavedReport saved = Sample(QStringLiteral("דו\"ח שנתי"));
  const QByteArray bytes = SavedReportBytes(saved);
  ASSERT_EQ(bytes.size(), 567 + 5 * 256);
  const auto at16 = [&](int at) { return qFromLittleEndian<qint16>(bytes.constData() + at); };
  EXPECT_EQ(bytes[0], 9);
  EXPECT_EQ(bytes.mid(1, 9), EncodeWin1255Bytes(saved.name));
  EXPECT_EQ(at16(256), 1);
  EXPECT_EQ(at16(262), 2);
  EXPECT_EQ(at16(264), 1);
  EXPECT_EQ(at16(538), 4);
  EXPECT_EQ(at16(542), 1997);
  EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 563), 2);
  // 1/1/1998 is day 35796 from 30/12/1899.
  EXPECT_EQ(qFromLittleEndian<quint64>(bytes.constData() + 522), 0x40E17A8000000000ULL);
  EXPECT_EQ(bytes.mid(567 + 2 * 256, 3),
            QByteArray("\x02") + EncodeWin1255Bytes(u"שק"));  // after the two accounts
  const auto read = SavedReportFromBytes(bytes);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, saved);
  EXPECT_EQ(SavedReportBytes(*read), bytes);
}

TEST(SavedReport, DamagedFilesAreNeitherListedNorLoaded) {
  const QByteArray good = SavedReportBytes(Sample(QStringLiteral("פגום")));
  const auto with16 = [&](int at, qint16 value) {
    QByteArray bytes = good;
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
  };
  QByteArray huge_categories = good;
  qToLittleEndian(qint32{0x7FFFFFFF}, huge_categories.data() + 563);
  QByteArray negative_categories = good;
  qToLittleEndian(qint32{-1}, negative_categories.data() + 563);
  const std::vector<std::pair<const char*, QByteArray>> damaged = {
      {"empty", QByteArray()},
      {"shorter than the record", good.left(566)},
      {"last name cut short", good.left(good.size() - 1)},
      {"last name missing", good.left(good.size() - 256)},
      {"account count past the end", with16(262, 9)},
      {"negative account count", with16(262, -1)},
      {"negative type count", with16(264, -2)},
      {"category count past the end", huge_categories},
      {"negative category count", negative_categories},
      {"kind 4", with16(256, 4)},
      {"kind -1", with16(256, -1)},
  };
  QTemporaryDir dir;
  for (const auto& [why, bytes] : damaged) {
    EXPECT_FALSE(SavedReportFromBytes(bytes)) << why;
    ASSERT_TRUE(WriteFileAtomic(SavedReportPath(dir.path(), 1), bytes));
    EXPECT_FALSE(ReadSavedReport(SavedReportPath(dir.path(), 1))) << why;
    EXPECT_TRUE(SavedReportNames(dir.path(), ReportKind::kIncomeExpenses).isEmpty()) << why;
    EXPECT_TRUE(FindSavedReport(dir.path(), QStringLiteral("פגום")).isEmpty()) << why;
  }
  EXPECT_TRUE(SavedReportFromBytes(good + QByteArray(3, 'x'))) << "bytes after the last name";
}

TEST(SavedReport, FolderNumbersReplaceAndDelete) {
  QTemporaryDir dir;
  const QString folder = dir.path();
  const auto file_names = [&] {
    return QDir(folder).entryList({QStringLiteral("*.Rpt")}, QDir::Files, QDir::Name).join(u' ');
  };
  for (const char* name : {"a", "b", "c"})
    ASSERT_FALSE(SaveReportUnderName(folder, Sample(QString::fromLatin1(name))).isEmpty());
  EXPECT_EQ(S(file_names()), "1.Rpt 2.Rpt 3.Rpt");
  EXPECT_TRUE(DeleteSavedReport(folder, QStringLiteral("b")));
  EXPECT_FALSE(DeleteSavedReport(folder, QStringLiteral("b")));
  EXPECT_EQ(SaveReportUnderName(folder, Sample(QStringLiteral("d"))), SavedReportPath(folder, 2));
  // A file of another kind, one without a name: not in the list of kind 1.
  ASSERT_TRUE(WriteSavedReport(SavedReportPath(folder, 4), Sample(QStringLiteral("e"), 3)));
  ASSERT_TRUE(WriteSavedReport(SavedReportPath(folder, 5), Sample(QString())));
  EXPECT_EQ(S(SavedReportNames(folder, ReportKind::kIncomeExpenses).join(u' ')), "a d c");
  EXPECT_EQ(S(SavedReportNames(folder, ReportKind::kTrends).join(u' ')), "e");
  // Replacing "a": the new file is written first, then the old one goes.
  SavedReport replaced = Sample(QStringLiteral("a"));
  replaced.flow_filter = 1;
  EXPECT_EQ(SaveReportUnderName(folder, replaced), SavedReportPath(folder, 6));
  EXPECT_EQ(S(file_names()), "2.Rpt 3.Rpt 4.Rpt 5.Rpt 6.Rpt");
  EXPECT_EQ(FindSavedReport(folder, QStringLiteral("a")), SavedReportPath(folder, 6));
  EXPECT_EQ(ReadSavedReport(SavedReportPath(folder, 6))->flow_filter, 1);
  EXPECT_EQ(NextSavedReportNumber(folder), 1);
}

TEST(ReportPeriod, Presets) {
  struct Case {
    QDate today;
    int preset;
    QDate from, to;
  };
  const Case cases[] = {
      {QDate(1999, 1, 15), 1, QDate(1990, 1, 1), QDate(2099, 12, 31)},
      {QDate(2000, 2, 10), 2, QDate(2000, 2, 1), QDate(2000, 2, 29)},
      {QDate(1999, 2, 10), 2, QDate(1999, 2, 1), QDate(1999, 2, 28)},
      {QDate(1999, 5, 10), 3, QDate(1999, 4, 1), QDate(1999, 6, 30)},
      {QDate(1999, 7, 1), 4, QDate(1999, 7, 1), QDate(1999, 12, 31)},
      {QDate(1999, 5, 10), 5, QDate(1999, 1, 1), QDate(1999, 12, 31)},
      {QDate(1999, 1, 15), 6, QDate(1998, 12, 1), QDate(1998, 12, 31)},
      {QDate(1999, 3, 31), 6, QDate(1999, 2, 1), QDate(1999, 2, 28)},
      {QDate(1999, 2, 10), 7, QDate(1998, 10, 1), QDate(1998, 12, 31)},
      {QDate(1999, 4, 1), 7, QDate(1999, 1, 1), QDate(1999, 3, 31)},
      {QDate(1999, 1, 15), 8, QDate(1998, 7, 1), QDate(1998, 12, 31)},
      {QDate(1999, 7, 15), 8, QDate(1999, 1, 1), QDate(1999, 6, 30)},
      {QDate(1999, 2, 10), 9, QDate(1998, 1, 1), QDate(1998, 12, 31)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PresetRange(c.preset, c.today), (DateRange{c.from, c.to}))
        << c.preset << ' ' << S(c.today.toString(Qt::ISODate));
  }
  EXPECT_EQ(PresetIndex(QStringLiteral("חודש קודם")), 6);
  EXPECT_EQ(PresetIndex(QStringLiteral("חודש")), 0);
}

TEST(ReportPeriod, PickerCellsAndLabels) {
  struct Case {
    PeriodType type;
    int strip;
    int year;
    const char* range;
    const char* label;
  };
  const Case cases[] = {
      {PeriodType::kYearly, 1, 1998, "1/1/1998..31/12/1998", "1998"},
      {PeriodType::kYearly, 2, 1997, "1/1/1997..31/12/1997", "1997"},
      {PeriodType::kMonthly, 1, 1998, "1/1/1998..31/1/1998", "1/1998"},
      {PeriodType::kMonthly, 2, 1997, "1/12/1997..31/12/1997", "12/1997"},
      {PeriodType::kQuarterly, 1, 1998, "1/1/1998..31/3/1998", "1..3 /1998"},
      {PeriodType::kQuarterly, 2, 1996, "1/10/1996..31/12/1996", "10..12 /1996"},
      {PeriodType::kHalfYear, 2, 1997, "1/7/1997..31/12/1997", "7..12 /1997"},
  };
  for (const Case& c : cases) {
    const int month = CellLastMonth(c.type, DefaultCell(c.type, c.strip));
    const DateRange range = CellRange(c.type, month, c.year);
    EXPECT_EQ(S(WizardDateText(range.from) + QStringLiteral("..") + WizardDateText(range.to)),
              c.range);
    EXPECT_EQ(S(PeriodLabel(c.type, range.from, range.to)), c.label);
  }
  EXPECT_EQ(CellRange(PeriodType::kMonthly, 2, 2000).to, QDate(2000, 2, 29));
  EXPECT_EQ(DateInYear(QDate(2000, 2, 29), 1999), QDate(1999, 2, 28));
}

TEST(ReportPeriod, Titles) {
  const auto settings = [](ReportKind kind, AccountGroup group, FlowFilter flow, bool comparison,
                           PeriodType type) {
    ReportSettings s;
    s.kind = kind;
    s.account_group = group;
    s.flow = flow;
    s.comparison = comparison;
    s.period_type = type;
    s.from = QDate(1998, 1, 1);
    s.to = QDate(1998, 12, 31);
    s.compare_from = QDate(1997, 1, 1);
    s.compare_to = QDate(1997, 12, 31);
    return s;
  };
  struct Case {
    ReportSettings settings;
    QString title;
  };
  const Case cases[] = {
      // The flow filter and the period type are hidden for cash flow.
      {settings(ReportKind::kCashFlow, AccountGroup::kBusiness, FlowFilter::kIncomeOnly, false,
                PeriodType::kYearly),
       QStringLiteral(" דוח תזרים, עסקיים, מ 1/1/1998 עד 31/12/1998")},
      {settings(ReportKind::kIncomeExpenses, AccountGroup::kPrivate, FlowFilter::kExpensesOnly,
                false, PeriodType::kQuarterly),
       QStringLiteral(" דוח הכנסות הוצאות, הוצאות, פרטיים, מ 1/1/1998 עד 31/12/1998")},
      {settings(ReportKind::kIncomeExpenses, AccountGroup::kAll, FlowFilter::kBoth, true,
                PeriodType::kYearly),
       QStringLiteral(" דוח הכנסות הוצאות, כללי, שנתי, מ 1/1/1998 עד 31/12/1998 לעומת, מ "
                      "1/1/1997 עד 31/12/1997")},
      {settings(ReportKind::kBalanceToDate, AccountGroup::kOthers, FlowFilter::kIncomeOnly, true,
                PeriodType::kMonthly),
       QStringLiteral(" דוח יתרות ליום, מיוחד, ליום 31/12/1998")},
      {settings(ReportKind::kTrends, AccountGroup::kBusiness, FlowFilter::kIncomeOnly, true,
                PeriodType::kHalfYear),
       QStringLiteral(" דוח מגמות, הכנסות, עסקיים, חצי שנתי, שנת 1998")},
  };
  for (const Case& c : cases) EXPECT_EQ(S(ReportTitle(c.settings)), S(c.title));
  ReportSettings odd = settings(ReportKind::kCashFlow, AccountGroup::kBusiness, FlowFilter::kBoth,
                                false, PeriodType::kMonthly);
  EXPECT_EQ(S(ReportTitle(odd, {QStringLiteral("32/1/1998"), QStringLiteral("x"), {}, {}})),
            S(QStringLiteral(" דוח תזרים, עסקיים, מ 32/1/1998 עד x")));
}

TEST(SavedReport, SettingsAsRunningTheSavedReportLeavesThem) {
  AccountList accounts;
  for (const auto& [name, business] : {std::pair{QStringLiteral("עסק"), true},
                                       {QStringLiteral("בית"), false},
                                       {QStringLiteral("חנות"), true}}) {
    AccountDefinition account;
    account.name = name;
    account.business = business;
    accounts.Append(account);
  }
  const CategoryTree merged =
      CategoryTree::FromBytes(EncodeWin1255(u"מסים\r\nרכב\r\n\tביטוח\r\n\tדלק\r\n"));
  SavedReport saved = Sample(QStringLiteral("x"));
  saved.account_group = 1;
  saved.all_types = 1;
  saved.categories = {QStringLiteral("רכב\\דלק"), QStringLiteral("אין"), QStringLiteral("מסים")};
  ReportSettings s = SettingsFromSaved(saved, accounts, merged, QDate(2001, 5, 5));
  EXPECT_EQ(S(s.accounts.join(u',')), S(QStringLiteral("עסק,חנות")));
  EXPECT_EQ(s.types.size(), 9);
  EXPECT_FALSE(s.types.contains(QStringLiteral("יתרה")));
  EXPECT_EQ(S(s.categories.join(u',')), S(QStringLiteral("מסים,רכב\\דלק")));
  EXPECT_TRUE(s.comparison);
  EXPECT_EQ(s.period_type, PeriodType::kYearly);
  EXPECT_EQ(s.compare_to, QDate(1997, 12, 31));
  EXPECT_EQ(s.flow, FlowFilter::kExpensesOnly);
  EXPECT_EQ(s.title, ReportTitle(s));

  saved.account_group = 0;  // by hand: the stored names that exist
  saved.all_types = 0;
  saved.categories.clear();  // every category
  s = SettingsFromSaved(saved, accounts, merged, QDate(2001, 5, 5));
  EXPECT_EQ(S(s.accounts.join(u',')), S(QStringLiteral("עסק,בית")));
  EXPECT_EQ(S(s.types.join(u',')), S(QStringLiteral("שק")));
  EXPECT_EQ(s.categories.size(), 4);

  // A trends report keeps its bucket size through the record.
  ReportSettings trends = s;
  trends.kind = ReportKind::kTrends;
  trends.period_type = PeriodType::kQuarterly;
  const SavedReport saved_trends = SavedFromSettings(trends, QStringLiteral("t"), {}, true, true);
  EXPECT_EQ(saved_trends.compare_mode, 2);
  s = SettingsFromSaved(saved_trends, accounts, merged, QDate(2001, 5, 5));
  EXPECT_EQ(s.period_type, PeriodType::kQuarterly);
  EXPECT_FALSE(s.comparison);
}

TEST(MergedCategoryTree, PathOrderAndCache) {
  QTemporaryDir dir;
  const QString folder = dir.path();
  const auto write = [&](const char* name, const std::u16string& text) {
    ASSERT_TRUE(WriteFileAtomic(QDir(folder).filePath(QString::fromLatin1(name)),
                                QByteArray::fromStdString(EncodeWin1255(text))));
  };
  // "רכב פרטי" must not take "רכב"'s children; Latin case is kept apart.
  write("Categ.dat", u"רכב\r\n\tדלק\r\nרכב פרטי\r\nבנק\r\n\tיתרה\r\nb\r\n");
  write("BCateg.dat", u"רכב\r\n\tביטוח\r\n\tדלק\r\nB\r\nבנק\r\n");
  const QString expected = QStringLiteral("B|b|בנק|בנק\\יתרה|רכב|רכב\\ביטוח|רכב\\דלק|רכב פרטי|");
  const auto paths = [](const CategoryTree& tree) {
    QString out;
    for (int i = 0; i < tree.Size(); ++i) out += tree.FullPath(i) + u'|';
    return S(out);
  };
  EXPECT_EQ(paths(MergedCategoryTree(folder)), S(expected));
  const QString cache = QDir(folder).filePath(QStringLiteral("Mrg.Tmp"));
  ASSERT_TRUE(QFileInfo::exists(cache));
  // While the dates agree the cache is used as it stands.
  QFile file(cache);
  const QDateTime date = QFileInfo(cache).lastModified();
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("x\r\n");
  file.flush();
  file.setFileTime(date, QFileDevice::FileModificationTime);
  file.close();
  EXPECT_EQ(paths(MergedCategoryTree(folder)), "x|");
  // A changed tree file makes it stale. The file system's clock may lag the
  // moment the cache was stamped with, so the change is dated apart from it.
  write("BCateg.dat", u"א\r\n");
  QFile changed(QDir(folder).filePath(QStringLiteral("BCateg.dat")));
  ASSERT_TRUE(changed.open(QIODevice::ReadOnly));
  ASSERT_TRUE(changed.setFileTime(date.addSecs(2), QFileDevice::FileModificationTime));
  changed.close();
  EXPECT_EQ(paths(MergedCategoryTree(folder)),
            S(QStringLiteral("b|א|בנק|בנק\\יתרה|רכב|רכב\\דלק|רכב פרטי|")));
}
