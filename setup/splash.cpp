#include "setup/splash.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace cheque::setup {

TSplash::TSplash(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      text_(new QLabel(QStringLiteral("... אנא המתן"), this)) {
  setObjectName(QStringLiteral("Splash"));
  text_->setObjectName(QStringLiteral("StatusText"));
  text_->setAlignment(Qt::AlignCenter);
  text_->setMinimumWidth(360);
  text_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
}

void TSplash::SetStatus(const QString& text) {
  text_->setText(text);
  text_->repaint();
  QCoreApplication::processEvents();
}

QString TSplash::Status() const { return text_->text(); }

}  // namespace cheque::setup
