#pragma once

#include <QDialog>

#include "app/common/services.h"

namespace cheque {

// "About": the program, its version, and where its help lies.
class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  TAboutBox(Services& services, QWidget* parent = nullptr);
};

}  // namespace cheque
