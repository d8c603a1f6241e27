#include "core/reports/report_period.h"

#include "core/text/date_text.h"

namespace cheque {

namespace {

DateRange MonthsOfYear(int first_month, int last_month, int year) {
  return {QDate(year, first_month, 1),
          QDate(year, last_month, QDate(year, last_month, 1).daysInMonth())};
}

// The first month of the period of `months` months holding month m.
int PeriodStart(int month, int months) { return (month - 1) / months * months + 1; }

int MonthsOf(PeriodType type) {
  switch (type) {
    case PeriodType::kMonthly:
      return 1;
    case PeriodType::kQuarterly:
      return 3;
    case PeriodType::kHalfYear:
      return 6;
    case PeriodType::kYearly:
      return 12;
  }
  return 1;
}

QString DateOrText(QDate date) { return date.isValid() ? WizardDateText(date) : QString(); }

}  // namespace

const QStringList& PeriodPresets() {
  static const QStringList presets = {
      QStringLiteral("ללא הגבלה"),   QStringLiteral("חודש נוכחי"), QStringLiteral("רבעון נוכחי"),
      QStringLiteral("חציון נוכחי"), QStringLiteral("שנה נוכחית"), QStringLiteral("חודש קודם"),
      QStringLiteral("רבעון קודם"),  QStringLiteral("חציון קודם"), QStringLiteral("שנה קודמת")};
  return presets;
}

int PresetIndex(const QString& text) { return static_cast<int>(PeriodPresets().indexOf(text)) + 1; }

DateRange PresetRange(int k, QDate today) {
  int year = today.year();
  int month = today.month();
  // The previous presets step back one period and then act as the current ones.
  if (k >= 6 && k <= 8) {
    const int step = k == 6 ? 1 : k == 7 ? 3 : 6;
    if (month > step) {
      month -= step;
    } else {
      month = 12;
      --year;
    }
    k -= 4;
  }
  switch (k) {
    case 1:
      return {QDate(1990, 1, 1), QDate(2099, 12, 31)};
    case 2:
      return MonthsOfYear(month, month, year);
    case 3:
      return MonthsOfYear(PeriodStart(month, 3), PeriodStart(month, 3) + 2, year);
    case 4:
      return MonthsOfYear(PeriodStart(month, 6), PeriodStart(month, 6) + 5, year);
    case 5:
      return MonthsOfYear(1, 12, year);
    case 9:
      return MonthsOfYear(1, 12, year - 1);
    default:
      return {};
  }
}

int CellCount(PeriodType type) { return 12 / MonthsOf(type); }

int CellLastMonth(PeriodType type, int cell) { return (cell + 1) * MonthsOf(type); }

DateRange CellRange(PeriodType type, int last_month, int year) {
  return MonthsOfYear(last_month - MonthsOf(type) + 1, last_month, year);
}

int DefaultCell(PeriodType type, int strip) { return strip == 1 ? 0 : CellCount(type) - 1; }

QString StripCaption(PeriodType type, int year) {
  switch (type) {
    case PeriodType::kMonthly:
      return {};
    case PeriodType::kQuarterly:
      return QStringLiteral("10..12            7..9             4..6           1..3");
    case PeriodType::kHalfYear:
      return QStringLiteral("7..12                          1..6");
    case PeriodType::kYearly:
      return QString::number(year);
  }
  return {};
}

QDate DateInYear(QDate date, int year) {
  if (!date.isValid()) return {};
  const int days = QDate(year, date.month(), 1).daysInMonth();
  return QDate(year, date.month(), std::min(date.day(), days));
}

QString WizardDateText(QDate date) { return DateText(date); }

QString ReportTitle(const ReportSettings& settings) {
  return ReportTitle(settings,
                     {DateOrText(settings.from), DateOrText(settings.to),
                      DateOrText(settings.compare_from), DateOrText(settings.compare_to)});
}

QString ReportTitle(const ReportSettings& settings, const TitleDates& dates) {
  const ReportKind kind = settings.kind;
  QString title;
  switch (kind) {
    case ReportKind::kCashFlow:
      title = QStringLiteral(" דוח תזרים,");
      break;
    case ReportKind::kIncomeExpenses:
      title = QStringLiteral(" דוח הכנסות הוצאות,");
      break;
    case ReportKind::kBalanceToDate:
      title = QStringLiteral(" דוח יתרות ליום,");
      break;
    case ReportKind::kTrends:
      title = QStringLiteral(" דוח מגמות,");
      break;
  }
  const bool income = kind == ReportKind::kIncomeExpenses;
  const bool comparison = income && settings.comparison;
  if (income || kind == ReportKind::kTrends) {
    if (settings.flow == FlowFilter::kIncomeOnly) title += QStringLiteral(" הכנסות,");
    if (settings.flow == FlowFilter::kExpensesOnly) title += QStringLiteral(" הוצאות,");
  }
  switch (settings.account_group) {
    case AccountGroup::kBusiness:
      title += QStringLiteral(" עסקיים,");
      break;
    case AccountGroup::kPrivate:
      title += QStringLiteral(" פרטיים,");
      break;
    case AccountGroup::kAll:
      title += QStringLiteral(" כללי,");
      break;
    case AccountGroup::kOthers:
      title += QStringLiteral(" מיוחד,");
      break;
  }
  if (comparison || kind == ReportKind::kTrends) {
    switch (settings.period_type) {
      case PeriodType::kMonthly:
        title += QStringLiteral(" חדשי,");
        break;
      case PeriodType::kYearly:
        title += QStringLiteral(" שנתי,");
        break;
      case PeriodType::kHalfYear:
        title += QStringLiteral(" חצי שנתי,");
        break;
      case PeriodType::kQuarterly:
        title += QStringLiteral(" רבעוני,");
        break;
    }
  }
  // A comparison names its main period too, before the one it is set against.
  if (kind == ReportKind::kBalanceToDate) {
    title += QStringLiteral(" ליום ") + dates.to;
  } else if (kind != ReportKind::kTrends) {
    title += QStringLiteral(" מ ") + dates.from + QStringLiteral(" עד ") + dates.to;
  } else {
    // A trends report covers one year: the title names it rather than
    // ending on the period type's comma.
    title += QStringLiteral(" שנת ") + QString::number(settings.year1);
  }
  if (comparison)
    title += QStringLiteral(" לעומת,") + QStringLiteral(" מ ") + dates.compare_from +
             QStringLiteral(" עד ") + dates.compare_to;
  return title;
}

QString PeriodLabel(PeriodType type, QDate from, QDate to) {
  switch (type) {
    case PeriodType::kMonthly:
      return QString::number(from.month()) + u'/' + QString::number(from.year());
    case PeriodType::kQuarterly:
    case PeriodType::kHalfYear:
      return QString::number(from.month()) + QStringLiteral("..") + QString::number(to.month()) +
             QStringLiteral(" /") + QString::number(from.year());
    case PeriodType::kYearly:
      return QString::number(from.year());
  }
  return {};
}

}  // namespace cheque
