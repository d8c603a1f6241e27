#pragma once

#include <QString>

namespace cheque {

// The cheque page's VAT and withholding calculator. Each field is the text it
// shows: values are read with ParseAmount and written with FormatAmount at
// every step, so a rule that reads a field written in the same run reads the
// rounded text. The VAT percent is passed in fresh at every change.
class VatCalculator {
 public:
  QString no_vat;       // amount without VAT
  QString vat;          // VAT amount
  QString inc_vat;      // amount including VAT
  QString percent;      // withholding percent, at most 100
  QString withholding;  // withholding amount
  QString total;        // final sum; only ever written here

  // After the user changed one field.
  void NoVatChanged(double vat_percent);
  void VatChanged(double vat_percent);
  void IncVatChanged(double vat_percent);
  void PercentChanged();
  void WithholdingChanged();

 private:
  double CapPercent();
  void WithholdingFromNoVat(double percent);
  void RefreshTotal();
};

}  // namespace cheque
