#pragma once

class QWidget;

namespace cheque {

// The window font of almost every window, size 8 points, in a face that has
// Hebrew letters; also lays the window out right to left.
void SetFormFont(QWidget* window);

}  // namespace cheque
