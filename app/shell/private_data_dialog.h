#pragma once

#include <QDialog>

#include "app/common/services.h"

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace cheque {

// The user's personal details; exec() ends Accepted when they were saved.
class TPrivateDta : public QDialog {
  Q_OBJECT

 public:
  explicit TPrivateDta(Services& services, QWidget* parent = nullptr);

  // Cancel, Escape and the window's close box: without the required details
  // and without a saved file the user is asked whether to leave anyway.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  QLineEdit* AddField(const QString& object_name, const QString& label, bool required, int row,
                      int column);
  void ReadDetails();
  QLineEdit* FirstMissingField() const;
  void OKBtnClick();

  Services& services_;
  QLineEdit* first_name_ = nullptr;
  QLineEdit* family_name_ = nullptr;
  QLineEdit* business_name_ = nullptr;
  QLineEdit* address_ = nullptr;
  QLineEdit* phone_ = nullptr;
  QLineEdit* fax_ = nullptr;
  QLineEdit* mobile_ = nullptr;
  QPushButton* ok_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QGridLayout* grid_ = nullptr;
};

}  // namespace cheque
