#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <cstdint>

namespace cheque {

class Register;

// Colours as the program's palette names them: 0xBBGGRR.
namespace cell_colour {
inline constexpr uint32_t kBlack = 0x000000;
inline constexpr uint32_t kWhite = 0xFFFFFF;
inline constexpr uint32_t kGrey = 0x808080;
inline constexpr uint32_t kSilver = 0xC0C0C0;
inline constexpr uint32_t kYellow = 0x00FFFF;
inline constexpr uint32_t kGreen = 0x008000;
inline constexpr uint32_t kRed = 0x0000FF;
inline constexpr uint32_t kPurple = 0xFF00FF;
inline constexpr uint32_t kBlue = 0xFF0000;
}  // namespace cell_colour

// Right-aligned cell text: each group of six blanks is dropped and moves the
// text 30 pixels further from the right; one trailing blank is dropped.
inline constexpr int kIndentUnitPixels = 30;
struct PlacedText {
  QString text;
  int indent = 0;  // pixels from the right margin
};
PlacedText PlaceCellText(QStringView text);

// How one register cell is drawn.
struct CellStyle {
  bool window_brush = true;  // the window colour; otherwise `brush`
  uint32_t brush = 0;
  uint32_t text_colour = cell_colour::kBlack;
  bool bold = false;
  bool total_frame = false;  // a black frame one pixel outside the cell
  PlacedText text;
  bool month_line = false;  // black, 1 pixel, along the row's bottom
  bool year_line = false;   // blue, 2 pixels, along the row's bottom
};

struct CellStyleContext {
  double credit_line = 0;  // the account's credit limit
  QDate today;             // the reference date when no bank balance was found
};

CellStyle RegisterCellStyle(const Register& reg, int row, int column,
                            const CellStyleContext& context);

}  // namespace cheque
