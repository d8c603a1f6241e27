#include "core/reports/report_engine_columns.h"

#include "core/register/cell_style.h"
#include "core/reports/report_engine.h"
#include "core/reports/report_period.h"

namespace cheque {

namespace {

constexpr uint32_t kOlive = 0x008080;

QStringList Captions(std::initializer_list<const char16_t*> texts) {
  QStringList captions;
  for (const char16_t* text : texts) captions << QString::fromUtf16(text);
  return captions;
}

const QStringList& CashFlowCaptions() {
  static const QStringList captions = Captions(
      {u"מס", u"בנק\\יתרה", u"הכנסה", u"הוצאה", u"סוג", u"קבוצה", u"תאור", u"תאריך", u"בוצע"});
  return captions;
}

}  // namespace

ReportColumns DetailColumnLayout() {
  return {CashFlowCaptions(), {-1, 65, 65, 65, 50, 60, kFillWidth, 60, -1}};
}

ReportColumns ReportColumnLayout(const ReportSettings& settings) {
  ReportColumns layout;
  switch (settings.kind) {
    case ReportKind::kBalanceToDate:
      layout.captions = Captions({u"בנק\\יתרה", u"תאור", u"מס"});
      layout.widths = {90, kFillWidth, 25};
      break;
    case ReportKind::kCashFlow:
      layout.captions = CashFlowCaptions();
      layout.widths = {-1, 65, 65, 65, 50, 60, kFillWidth, 60, 25};
      break;
    case ReportKind::kIncomeExpenses:
      layout.captions = Captions({u"מהוצאה %", u"מהכנסה %", u"מהקבוצה %", u"הוצאה", u"סכום",
                                  u"הוצאה", u"סכום", u"קבוצה", u"מס"});
      layout.widths = {70, 70, 60, -1, 60, -1, 60, kFillWidth, 25};
      if (settings.flow != FlowFilter::kBoth) layout.widths[5] = layout.widths[3] = 0;
      if (settings.comparison) {
        layout.captions = Captions(
            {u"השינוי", u"ההפרש", u"ההפרש", u"הוצאה", u"סכום", u"הוצאה", u"סכום", u"קבוצה", u"מס"});
        layout.widths[1] = layout.widths[3] = layout.widths[5] = 0;
        layout.captions[6] = PeriodLabel(settings.period_type, settings.from, settings.to);
        layout.captions[4] =
            PeriodLabel(settings.period_type, settings.compare_from, settings.compare_to);
      } else {
        layout.widths[1] = layout.widths[3] = layout.widths[4] = 0;
        layout.captions[0] = QStringLiteral("מהכנסה %");
      }
      break;
    case ReportKind::kTrends: {
      const char16_t* bucket = settings.period_type == PeriodType::kQuarterly  ? u"רבעון"
                               : settings.period_type == PeriodType::kHalfYear ? u"חציון"
                                                                               : u"חודש";
      layout.captions =
          Captions({u"שינוי ביחס לתקופה 1 %", u"הפרש", u"הוצאה", u"הכנסה", bucket, u"מס"});
      layout.widths = {170, 70, 70, 70, kFillWidth, 25};
      if (settings.flow == FlowFilter::kIncomeOnly) layout.widths[2] = 0;
      if (settings.flow == FlowFilter::kExpensesOnly) layout.widths[3] = 0;
      break;
    }
  }
  for (int& width : layout.widths) {
    if (width == 0) width = kHiddenWidth;
  }
  return layout;
}

std::vector<int> FitColumnWidths(std::vector<int> widths, int client_width) {
  int used = 0;
  int fill = -1;
  for (size_t i = 0; i < widths.size(); ++i) {
    if (widths[i] == kFillWidth && fill < 0) {
      fill = static_cast<int>(i);
    } else if (widths[i] > 0) {
      used += widths[i] + 1;
    }
  }
  if (fill >= 0) widths[static_cast<size_t>(fill)] = std::max(0, client_width - used);
  return widths;
}

ReportCellLook ReportCellStyle(const ReportTable& table, int row, int column) {
  using namespace cell_colour;
  ReportCellLook look;
  const QString text = table.Cell(row, column);
  bool black = false;
  if (table.layout == ReportLayout::kIncomeExpenses) {
    const int split = table.income_split_row;
    if (row == 0 || row == split + 1) {
      black = true;
    } else if (column == 8) {
      look.window_brush = false;
      look.brush = row < split ? kOlive : kGreen;
    }
  } else if (table.layout == ReportLayout::kTrends && (column == 2 || column == 3)) {
    look.window_brush = false;
    look.brush = column == 2 ? kOlive : kGreen;
  }
  look.text_colour = text.contains(u'-') ? kRed : kBlack;
  const auto holds_total = [&](int label_column, bool with_plain_total) {
    const QString label = table.Cell(row, label_column);
    for (const char16_t* total : {kTotalIncomeText, kTotalExpensesText, kDifferenceText}) {
      if (label.contains(QStringView(total))) return true;
    }
    return with_plain_total && label.contains(QStringView(kTotalText));
  };
  bool silver = false;
  switch (table.layout) {
    case ReportLayout::kBalanceToDate:
      silver = holds_total(1, true);
      break;
    case ReportLayout::kIncomeExpenses:
      silver = holds_total(7, false);
      break;
    case ReportLayout::kTrends:
      silver = holds_total(4, true);
      break;
    case ReportLayout::kCashFlow:
      break;
  }
  if (silver) {
    look.window_brush = false;
    look.brush = kSilver;
  }
  if (black) {
    look.window_brush = false;
    look.brush = kBlack;
    look.text_colour = kYellow;
  }
  look.black_frame = silver || (table.layout == ReportLayout::kIncomeExpenses &&
                                LabelLevel(table.Cell(row, 7)) == 0);
  return look;
}

}  // namespace cheque
