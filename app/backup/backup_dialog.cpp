#include "app/backup/backup_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/common/form_font.h"
#include "core/backup/backup.h"
#include "core/files/account_list.h"
#include "core/files/program_folder.h"
#include "widgets/path_text.h"

namespace cheque {
namespace {

const QColor kSilver(192, 192, 192);
const QColor kRed(255, 0, 0);

QStringList SortedNames(QStringList names) {
  std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  return names;
}

void SetPanelColour(QLabel* panel, const QColor& colour) {
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, colour);
  panel->setPalette(palette);
}

}  // namespace

TBackItUp::TBackItUp(Services& services, VolumeSource volumes, QWidget* parent)
    : QDialog(parent), services_(services), volume_source_(std::move(volumes)) {
  setObjectName(QStringLiteral("TBackItUp"));
  setWindowTitle(QStringLiteral("גיבוי חשבונות"));
  if (!volume_source_) {
    volume_source_ = [] { return MountedBackupVolumes(QDir::homePath()); };
  }
  SetFormFont(this);
  BuildControls();
}

void TBackItUp::BuildControls() {
  auto* modes = new QHBoxLayout;
  auto* group = new QButtonGroup(this);
  auto add_mode = [this, modes, group](const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setCheckable(true);
    button->setAutoDefault(false);
    button->setMinimumWidth(80);
    group->addButton(button);
    modes->addWidget(button);
    return button;
  };
  backup_button_ = add_mode(QStringLiteral("SBBackup"), QStringLiteral("גיבוי"));
  restore_button_ = add_mode(QStringLiteral("SBRestore"), QStringLiteral("שחזור"));
  backup_button_->setChecked(true);
  modes->addStretch(1);
  connect(backup_button_, &QPushButton::clicked, this, &TBackItUp::SBBackupClick);
  connect(restore_button_, &QPushButton::clicked, this, &TBackItUp::SBRestoreClick);

  auto* grid = new QGridLayout;
  auto* list_label = new QLabel(QStringLiteral("שם חשבון"), this);
  list_label->setObjectName(QStringLiteral("Label1"));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("ListBox1"));
  list_->setSelectionMode(QAbstractItemView::MultiSelection);
  list_label->setBuddy(list_);
  connect(list_, &QListWidget::itemSelectionChanged, this, &TBackItUp::ListBox1Click);

  auto* drive_label = new QLabel(QStringLiteral(":לגבות לכונן"), this);
  drive_label->setObjectName(QStringLiteral("Label2"));
  drive_label_ = drive_label;
  drives_ = new QComboBox(this);
  drives_->setObjectName(QStringLiteral("DriveComboBox1"));
  drives_->setMinimumContentsLength(24);
  drive_label->setBuddy(drives_);
  connect(drives_, &QComboBox::currentIndexChanged, this, &TBackItUp::DriveComboBox1Change);

  space_label_ = new QLabel(QStringLiteral(":מקום פנוי"), this);
  space_label_->setObjectName(QStringLiteral("Label3"));
  space_panel_ = new QLabel(QStringLiteral("0  בתים"), this);
  space_panel_->setObjectName(QStringLiteral("Panel1"));
  space_panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  space_panel_->setAutoFillBackground(true);
  // Kilobytes read left to right, as the caption is written.
  space_panel_->setLayoutDirection(Qt::LeftToRight);
  space_panel_->setAlignment(Qt::AlignCenter);
  SetPanelColour(space_panel_, kSilver);

  grid->addWidget(list_label, 0, 0, Qt::AlignTop);
  grid->addWidget(list_, 0, 1);
  grid->addWidget(drive_label, 1, 0);
  grid->addWidget(drives_, 1, 1);
  grid->addWidget(space_label_, 2, 0);
  grid->addWidget(space_panel_, 2, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  do_it_ = new QPushButton(QStringLiteral("אישור"), this);
  do_it_->setObjectName(QStringLiteral("BtnDoIt"));
  cancel_ = new QPushButton(QStringLiteral("ביטול"), this);
  cancel_->setObjectName(QStringLiteral("BitBtn2"));
  buttons->addWidget(do_it_);
  buttons->addWidget(cancel_);
  connect(do_it_, &QPushButton::clicked, this, &TBackItUp::BtnDoItClick);
  connect(cancel_, &QPushButton::clicked, this, &TBackItUp::reject);

  gauge_ = new QProgressBar(this);
  gauge_->setObjectName(QStringLiteral("Gauge1"));
  gauge_->setTextVisible(false);
  gauge_->setStyleSheet(
      QStringLiteral("QProgressBar { background: silver; border: 1px solid gray; }"
                     "QProgressBar::chunk { background: teal; }"));
  // Its place stays kept, so the window does not jump when it shows.
  QSizePolicy keep_place = gauge_->sizePolicy();
  keep_place.setRetainSizeWhenHidden(true);
  gauge_->setSizePolicy(keep_place);
  gauge_->hide();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(modes);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  layout->addWidget(gauge_);
}

bool TBackItUp::IsBackupMode() const { return backup_button_->isChecked(); }

QString TBackItUp::BackupFolder() const {
  const int at = drives_->currentIndex();
  if (at < 0 || at >= static_cast<int>(volumes_.size())) return {};
  return BackupFolderOf(volumes_[static_cast<size_t>(at)].root);
}

void TBackItUp::showEvent(QShowEvent* event) {
  restored_.clear();
  FillDrives();
  FillLiveNames();
  space_label_->setVisible(IsBackupMode());
  space_panel_->setVisible(IsBackupMode());
  DriveComboBox1Change();
  QDialog::showEvent(event);
}

void TBackItUp::FillDrives() {
  // The volume chosen last stays chosen while it is still there.
  const int at = drives_->currentIndex();
  const QString chosen = at >= 0 && at < static_cast<int>(volumes_.size())
                             ? volumes_[static_cast<size_t>(at)].root
                             : QString();
  volumes_ = volume_source_();
  const QSignalBlocker block(drives_);
  drives_->clear();
  int keep = 0;
  for (size_t i = 0; i < volumes_.size(); ++i) {
    // The path keeps its left-to-right order inside the Hebrew line; the
    // root's name is its path, said once.
    const BackupVolume& volume = volumes_[i];
    drives_->addItem(volume.name == volume.root
                         ? PathText(volume.root)
                         : volume.name + QStringLiteral("  ") + PathText(volume.root));
    if (volumes_[i].root == chosen) keep = static_cast<int>(i);
  }
  drives_->setCurrentIndex(volumes_.empty() ? -1 : keep);
}

void TBackItUp::FillLiveNames() {
  const QSignalBlocker block(list_);
  list_->clear();
  const auto live = AccountList::Read(ProgramFile(file_names::kAccountList));
  if (live) list_->addItems(SortedNames(live->Names()));
}

QStringList TBackItUp::SelectedNames() const {
  QStringList names;
  for (int i = 0; i < list_->count(); ++i) {
    if (list_->item(i)->isSelected()) names.append(list_->item(i)->text());
  }
  return names;
}

void TBackItUp::SBBackupClick() {
  space_label_->show();
  space_panel_->show();
  FillLiveNames();
  DriveComboBox1Change();
}

void TBackItUp::SBRestoreClick() {
  space_label_->hide();
  space_panel_->hide();
  DriveComboBox1Change();
}

void TBackItUp::ListBox1Click() {
  if (IsBackupMode()) {
    RecomputeSpaceLine();
  } else {
    do_it_->setEnabled(!SelectedNames().isEmpty());
  }
}

void TBackItUp::DriveComboBox1Change() {
  drive_label_->setText(IsBackupMode() ? QStringLiteral(":לגבות לכונן")
                                       : QStringLiteral(":לשחזר מכונן"));
  if (IsBackupMode()) {
    const int at = drives_->currentIndex();
    free_bytes_ = at >= 0 && at < static_cast<int>(volumes_.size())
                      ? FreeBytesOf(volumes_[static_cast<size_t>(at)])
                      : 0;
    RecomputeSpaceLine();
    return;
  }
  const QSignalBlocker block(list_);
  list_->clear();
  const QString folder = BackupFolder();
  if (!folder.isEmpty()) list_->addItems(SortedNames(BackupAccountNames(folder)));
  do_it_->setEnabled(false);
}

void TBackItUp::RecomputeSpaceLine() {
  required_bytes_ = RequiredBackupBytes(ProgramFolder(), SelectedNames());
  const SpaceLine line = MakeSpaceLine(free_bytes_, required_bytes_);
  space_panel_->setText(line.caption);
  SetPanelColour(space_panel_, line.enough ? kSilver : kRed);
  do_it_->setEnabled(line.enough);
}

void TBackItUp::AdvanceGauge() {
  gauge_->setValue(gauge_->value() + 1);
  gauge_->repaint();
}

void TBackItUp::ShowMessages(const std::vector<BackupMessage>& messages) {
  for (const BackupMessage& message : messages) {
    if (message.error) {
      services_.prompter->HebrewMessageBox(QStringLiteral("שגיאה"), message.text,
                                           MessageKind::kError, MessageButtons::kOk, this);
    } else {
      services_.prompter->HebrewMessageBox(QStringLiteral("לידיעתך"), message.text,
                                           MessageKind::kInformation, MessageButtons::kOk, this);
    }
  }
}

void TBackItUp::BtnDoItClick() {
  const QString folder = BackupFolder();
  const QStringList names = SelectedNames();
  gauge_->setRange(0, 1 + static_cast<int>(names.size()));
  gauge_->setValue(0);
  gauge_->show();
  if (!folder.isEmpty()) {
    if (IsBackupMode()) {
      DoBackup();
    } else {
      DoRestore();
    }
  }
  gauge_->hide();
  accept();
}

void TBackItUp::DoBackup() {
  const QString folder = BackupFolder();
  const MessageAnswer answer = services_.prompter->HebrewMessageBox(
      QStringLiteral("לאישורך"),
      QStringLiteral(" ? ") + PathText(folder) + QStringLiteral(" גיבוי לכונן "),
      MessageKind::kConfirmation, MessageButtons::kYesNo, this);
  if (answer != MessageAnswer::kYes) return;
  const BackupOutcome outcome =
      BackUpAccounts(ProgramFolder(), folder, SelectedNames(), [this] { AdvanceGauge(); });
  ShowMessages(outcome.messages);
}

void TBackItUp::DoRestore() {
  // Nothing is written over before the user has seen what and from when.
  const QString question =
      RestoreQuestion(PlanRestore(ProgramFolder(), BackupFolder(), SelectedNames()));
  if (!question.isEmpty() && services_.prompter->HebrewMessageBox(
                                 QStringLiteral("לאישורך"), question, MessageKind::kConfirmation,
                                 MessageButtons::kYesNo, this) != MessageAnswer::kYes) {
    return;
  }
  const BackupOutcome outcome =
      RestoreAccounts(ProgramFolder(), BackupFolder(), SelectedNames(), [this] { AdvanceGauge(); });
  restored_ = outcome.done;
  ShowMessages(outcome.messages);
}

}  // namespace cheque
