#include "setup/select_dir.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "widgets/path_text.h"

namespace cheque::setup {

TSlctDir::TSlctDir(const install::Places& places, QWidget* parent)
    : QDialog(parent), drives_(new QComboBox(this)), target_(new QLabel(this)) {
  setObjectName(QStringLiteral("SlctDir"));
  setWindowTitle(QStringLiteral("בחר יעד"));
  setLayoutDirection(Qt::RightToLeft);
  drives_->setObjectName(QStringLiteral("DriveComboBox1"));
  ShowPathLeftToRight(drives_);
  for (const QString& volume : install::InstallVolumes(places)) {
    drives_->addItem(PathText(volume), volume);
  }
  drives_->setCurrentIndex(0);  // the home folder, as drive C was
  target_->setObjectName(QStringLiteral("Panel1"));
  target_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  target_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  target_->setMinimumWidth(320);
  auto* label = new QLabel(QStringLiteral("התקנה לכונן"), this);
  label->setBuddy(drives_);
  auto* ok = new QPushButton(QStringLiteral("אישור"), this);
  ok->setObjectName(QStringLiteral("BitBtn1"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("ביטול"), this);
  cancel->setObjectName(QStringLiteral("BitBtn2"));
  auto* layout = new QGridLayout(this);
  layout->addWidget(label, 0, 0);
  layout->addWidget(drives_, 0, 1);
  layout->addWidget(target_, 1, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons, 2, 0, 1, 2);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(drives_, &QComboBox::currentIndexChanged, this, &TSlctDir::ShowTarget);
  ShowTarget();
}

QString TSlctDir::Target() const {
  return install::TargetFolder(drives_->currentData().toString());
}

void TSlctDir::ShowTarget() { target_->setText(PathText(Target())); }

}  // namespace cheque::setup
