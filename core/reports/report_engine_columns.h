#pragma once

#include <QStringList>
#include <vector>

#include "core/reports/report_settings.h"
#include "core/reports/report_table.h"

namespace cheque {

// Column widths: -1 hides a column, kFillWidth takes the width left over.
inline constexpr int kFillWidth = 999;
inline constexpr int kHiddenWidth = -1;

struct ReportColumns {
  QStringList captions;
  std::vector<int> widths;
};

// The captions and widths of a report grid built from `settings`, with the
// columns that the flow filter or the comparison leave empty hidden.
ReportColumns ReportColumnLayout(const ReportSettings& settings);
// The detail grid's.
ReportColumns DetailColumnLayout();

// The widths with the fill column given what the others leave of
// `client_width` (each shown column takes one more for its grid line).
std::vector<int> FitColumnWidths(std::vector<int> widths, int client_width);

// How a report cell is drawn (every kind but cash flow, which is drawn like
// the register). Colours are 0xBBGGRR.
struct ReportCellLook {
  bool window_brush = true;  // the window colour; otherwise `brush`
  uint32_t brush = 0;
  uint32_t text_colour = 0;
  bool black_frame = false;  // one pixel outside, left and right; else silver all round
};
ReportCellLook ReportCellStyle(const ReportTable& table, int row, int column);

}  // namespace cheque
