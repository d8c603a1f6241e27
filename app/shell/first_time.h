#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>

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
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Run();
  void MoveBeside(const QWidget& dialog);

  Services& services_;
  TPrivateDta& private_data_;
  TAccountData& account_data_;
};

// Where a banner of `banner` size goes so that it covers no part of `dialog`
// (its outer frame), inside the screen's `area`: above the dialog, else
// below it, else at its side; the area's top corner when nothing fits.
QPoint BannerPlace(QSize banner, const QRect& dialog, const QRect& area);

}  // namespace cheque
