#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <vector>

#include "app/common/services.h"
#include "core/backup/backup.h"
#include "core/backup/backup_files.h"

class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace cheque {

// Copies chosen accounts' files and list blocks to the backup folder of a
// volume ("Cheque/BackUp" under its root) and back.
class TBackItUp : public QDialog {
  Q_OBJECT

 public:
  // The volumes offered; asked again at every opening, so a medium put in
  // meanwhile shows. Tests give temporary folders.
  using VolumeSource = std::function<std::vector<BackupVolume>()>;

  explicit TBackItUp(Services& services, VolumeSource volumes = {}, QWidget* parent = nullptr);

  void SetVolumeSource(VolumeSource volumes) { volume_source_ = std::move(volumes); }

  bool IsBackupMode() const;
  // The accounts a restore copied back since the dialog was opened.
  const QStringList& RestoredAccounts() const { return restored_; }
  // The backup folder of the chosen volume, empty when there is none.
  QString BackupFolder() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void FillDrives();
  void FillLiveNames();
  QStringList SelectedNames() const;
  void ShowMessages(const std::vector<BackupMessage>& messages);
  void AdvanceGauge();

  void SBBackupClick();
  void SBRestoreClick();
  void ListBox1Click();
  void DriveComboBox1Change();
  void RecomputeSpaceLine();
  void BtnDoItClick();
  void DoBackup();
  void DoRestore();

  Services& services_;
  VolumeSource volume_source_;
  std::vector<BackupVolume> volumes_;
  QStringList restored_;
  qint64 free_bytes_ = 0;
  qint64 required_bytes_ = 0;

  QPushButton* backup_button_ = nullptr;
  QPushButton* restore_button_ = nullptr;
  QListWidget* list_ = nullptr;
  QComboBox* drives_ = nullptr;
  QLabel* drive_label_ = nullptr;
  QLabel* space_label_ = nullptr;
  QLabel* space_panel_ = nullptr;
  QPushButton* do_it_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QProgressBar* gauge_ = nullptr;
};

}  // namespace cheque
