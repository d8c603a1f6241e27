#include "app/cheques/cheque_printout.h"

#include <QFontMetricsF>
#include <QPainter>

#include "core/cheques/amount_words.h"
#include "core/register/cell_style.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

// A box of the layout as left, top, right, bottom; right and bottom lie just
// outside it.
struct Box {
  int left;
  int top;
  int right;
  int bottom;
};

void DrawFrame(QPainter& painter, const Box& box) {
  // A stroked QRect covers one dot more than its size.
  painter.drawRect(QRect(box.left, box.top, box.right - box.left - 1, box.bottom - box.top - 1));
}

// The register's cell-text rule on paper: right-aligned three dots from the
// right edge, one dot below the top, six blanks indenting further; a text
// too wide starts at the left edge.
void DrawText(QPainter& painter, const Box& box, const QString& text) {
  const PlacedText placed = PlaceCellText(text);
  if (placed.text.isEmpty()) return;
  const QFontMetricsF metrics(painter.font(), painter.device());
  const double width = metrics.horizontalAdvance(placed.text);
  const double end = box.right - 3 - placed.indent;
  const double left = end - width < box.left ? box.left : end - width;
  painter.save();
  painter.setLayoutDirection(placed.text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
  painter.setClipRect(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top));
  painter.drawText(QPointF(left, box.top + 1 + metrics.ascent()), placed.text);
  painter.restore();
}

void DrawBox(QPainter& painter, const Box& box, const QString& text, bool framed) {
  if (framed) DrawFrame(painter, box);
  DrawText(painter, box, text);
}

}  // namespace

QStringList MemoRows(const QString& memo_text) {
  QStringList rows = memo_text.split(u'\n');
  if (!rows.last().isEmpty()) rows.append(QString());
  return rows;
}

void DrawCheque(QPainter& painter, const ChequePrintout& cheque) {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Nachlieli CLM"),
                    QStringLiteral("DejaVu Sans")});
  font.setPointSize(9);
  painter.setFont(font);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::white);

  const QString date = DateText(cheque.date);
  DrawBox(painter, {600, 200, 960, 240}, date, true);
  DrawBox(painter, {1000, 200, 2100, 240},
          cheque.street + QStringLiteral("   ") + cheque.house_number, false);
  DrawBox(painter, {1000, 240, 2100, 280}, cheque.town, false);
  DrawBox(painter, {1000, 280, 2100, 320}, cheque.zip, true);
  for (int i = 0; i < cheque.memo_lines.size(); ++i) {
    DrawBox(painter, {600, 600 + 40 * i, 2100, 640 + 40 * i}, cheque.memo_lines[i], true);
  }
  DrawBox(painter, {600, 1500, 2100, 1540}, cheque.payee, true);
  const QFontMetricsF metrics(font, painter.device());
  const WordsLines words = SplitWords(cheque.words, [&metrics](QStringView text) {
    return metrics.horizontalAdvance(text.toString());
  });
  DrawBox(painter, {600, 1600, 1750, 1640}, words.first, false);
  DrawBox(painter, {600, 1640, 1750, 1680}, words.rest, true);
  DrawBox(painter, {1750, 1600, 2100, 1640}, cheque.amount, true);
  DrawBox(painter, {600, 1700, 1100, 1740}, QString(), true);  // the signature
  DrawBox(painter, {1750, 1700, 2100, 1740}, date, true);
}

}  // namespace cheque
