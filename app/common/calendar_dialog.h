#pragma once

#include <QDate>
#include <QDialog>

#include "app/common/services.h"

class QCalendarWidget;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace cheque {

// "לוח שנה": a small always-on-top month calendar, used as a general calendar
// (OK captioned "! סיום") and as a date picker (OK captioned "הכנס", with
// "סיום" as cancel).
class TCalander : public QDialog {
  Q_OBJECT

 public:
  explicit TCalander(Services& services, QWidget* parent = nullptr);

  QDate Date() const;
  void SetDate(QDate date);
  void SetOkCaption(const QString& caption);

  // The twelve month names, January first; the reports take theirs from here.
  static const QStringList& MonthNames();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void MoveTo(int year, int month);

  QCalendarWidget* calendar_ = nullptr;
  QComboBox* months_ = nullptr;
  QSpinBox* year_ = nullptr;
  QPushButton* ok_ = nullptr;
  QString ok_caption_ = QStringLiteral("אישור");
  QPushButton* cancel_ = nullptr;
  // The day last chosen; stepping through a short month does not lose it.
  int day_ = 1;
  bool moving_ = false;
};

}  // namespace cheque
