#pragma once

#include <QDialog>

#include "app/common/services.h"

namespace cheque {

class TAccountData;
class TPrivateDta;

// The first-run screen: leads a new user through the personal details and
// the first account, whichever of their files is missing. exec() ends
// Rejected when the user gave up.
class TFirstTime : public QDialog {
  Q_OBJECT

 public:
  TFirstTime(Services& services, TPrivateDta& private_data, TAccountData& account_data,
             QWidget* parent = nullptr);

  static bool IsNeeded();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Run();
  void MoveAbove(const QWidget& dialog);

  Services& services_;
  TPrivateDta& private_data_;
  TAccountData& account_data_;
};

}  // namespace cheque
