#pragma once

#include <QString>
#include <QStringView>

class QToolButton;
class QWidget;

namespace cheque {

class Sounds;

// A picture tool, drawn from the program's own picture set (":/icons/"),
// added to the parent's layout; it shows its highlighted form while the
// mouse is over it and clicks when pressed.
QToolButton* AddPictureTool(QWidget* parent, const QString& name, const QString& hint,
                            QStringView picture, Sounds& sounds);
// The highlighted form kept on, as the blinking sort picture wants it.
void SetToolHighlighted(QToolButton* tool, bool highlighted);

}  // namespace cheque
