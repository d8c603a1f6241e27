#pragma once

#include <QDialog>

#include "app/common/services.h"

namespace cheque {

// The user's personal details; exec() ends Accepted when they were saved.
class TPrivateDta : public QDialog {
  Q_OBJECT

 public:
  explicit TPrivateDta(Services& services, QWidget* parent = nullptr);
};

}  // namespace cheque
