#include "widgets/visual_caption.h"

#include <algorithm>

namespace cheque {

QString VisualCaption(const QString& caption) {
  const bool visual_order = std::any_of(caption.begin(), caption.end(), [](QChar c) {
    return !c.isLetterOrNumber() && !c.isSpace();
  });
  // Left-to-right embedding, then its end.
  return visual_order ? QChar(0x202A) + caption + QChar(0x202C) : caption;
}

}  // namespace cheque
