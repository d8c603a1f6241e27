#pragma once

#include <QDialog>
#include <array>

#include "app/common/services.h"
#include "core/register/register_checks.h"

class QLineEdit;
class QPushButton;

namespace cheque {

class Register;
class RegisterGrid;

// The search window: stays in front of the register without blocking it.
// "מצא עוד" goes down from where the last match left off.
class TSrchFrm : public QDialog {
  Q_OBJECT

 public:
  TSrchFrm(Services& services, const Register& reg, RegisterGrid& grid, QWidget* parent = nullptr);

  // Shows the window; the next search starts from the top.
  void ShowSearch();
  void FindMore();
  SearchTexts Fields() const;
  int StartRow() const { return start_row_; }

 signals:
  void Found(int row);

 private:
  void MoveOffRow(int row, int column);

  Services& services_;
  const Register& register_;
  RegisterGrid& grid_;
  std::array<QLineEdit*, kSearchFieldCount> fields_{};
  QPushButton* find_ = nullptr;
  int start_row_ = 0;
};

}  // namespace cheque
