#pragma once

#include <QDialog>

#include "core/install/install.h"

class QComboBox;
class QLabel;

namespace cheque::setup {

// The folder window: a volume to install on, and the target folder it means.
class TSlctDir : public QDialog {
  Q_OBJECT

 public:
  explicit TSlctDir(const install::Places& places, QWidget* parent = nullptr);
  QString Target() const;

 private:
  void ShowTarget();

  QComboBox* drives_;
  QLabel* target_;
};

}  // namespace cheque::setup
