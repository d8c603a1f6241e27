#include "app/common/picture_tool.h"

#include <QIcon>
#include <QLayout>
#include <QStyle>
#include <QToolButton>

#include "app/common/services.h"

namespace cheque {

QToolButton* AddPictureTool(QWidget* parent, const QString& name, const QString& hint,
                            QStringView picture, Sounds& sounds) {
  auto* tool = new QToolButton(parent);
  tool->setObjectName(name);
  tool->setToolTip(hint);
  tool->setIcon(QIcon(QStringLiteral(":/icons/") + picture.toString() + QStringLiteral(".svg")));
  tool->setIconSize(QSize(28, 28));
  tool->setAutoRaise(true);
  tool->setStyleSheet(
      QStringLiteral("QToolButton:hover { background: #fff7b0; border: 1px solid #808000; }"
                     "QToolButton[highlighted=\"true\"] { background: #fff7b0; }"));
  if (parent->layout() != nullptr) parent->layout()->addWidget(tool);
  QObject::connect(tool, &QToolButton::pressed, tool,
                   [&sounds] { sounds.Play(QStringLiteral("aClick.wav")); });
  return tool;
}

void SetToolHighlighted(QToolButton* tool, bool highlighted) {
  tool->setProperty("highlighted", highlighted);
  tool->style()->unpolish(tool);
  tool->style()->polish(tool);
}

}  // namespace cheque
