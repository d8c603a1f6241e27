#pragma once

#include <QGroupBox>
#include <functional>

#include "core/cheques/vat_calculator.h"

class QLineEdit;
class QPushButton;

namespace cheque {

// "חישובית": VAT, amounts with and without VAT, withholding and the final
// sum of a supplier's invoice; "העבר להמחאה" hands the sum to the cheque.
class CalculatorBox : public QGroupBox {
  Q_OBJECT

 public:
  // `vat_percent` reads the active account's VAT percent at every change;
  // `busy` is the page's guard against handlers set off by its own writes.
  CalculatorBox(std::function<double()> vat_percent, bool& busy, QWidget* parent = nullptr);

  // Empties the amount without VAT, then the percent; the rules follow.
  void Clear();

 signals:
  void TransferRequested(const QString& total);

 private:
  QLineEdit* AddField(const QString& name, const QString& label, int row);
  void FieldChanged(QLineEdit* field, const QString& text);
  void Transfer();

  std::function<double()> vat_percent_;
  bool& busy_;
  QLineEdit* no_vat_ = nullptr;       // EdtNoVat
  QLineEdit* vat_ = nullptr;          // EdtVat
  QLineEdit* inc_vat_ = nullptr;      // EdtIncVat
  QLineEdit* percent_ = nullptr;      // EdtAdvnc
  QLineEdit* withholding_ = nullptr;  // EdtAdvSum
  QLineEdit* total_ = nullptr;        // EdtTtl
  QPushButton* transfer_ = nullptr;   // BitBtn3
  QPushButton* reset_ = nullptr;      // SpeedButton1
};

}  // namespace cheque
