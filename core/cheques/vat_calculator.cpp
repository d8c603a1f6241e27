#include "core/cheques/vat_calculator.h"

#include "core/text/amount.h"

namespace cheque {
namespace {

double Read(const QString& field) { return ParseAmount(QStringView(field)); }

}  // namespace

double VatCalculator::CapPercent() {
  const double p = Read(percent);
  if (p <= 100) return p;
  percent = QStringLiteral("100");
  return 100;
}

// Withholding derived from N, V or I is a percent of the amount without VAT.
void VatCalculator::WithholdingFromNoVat(double p) {
  withholding = FormatAmount(p * 0.01 * Read(no_vat));
}

void VatCalculator::RefreshTotal() { total = FormatAmount(Read(inc_vat) - Read(withholding)); }

void VatCalculator::NoVatChanged(double vat_percent) {
  const double n = Read(no_vat);
  vat = FormatAmount(vat_percent * 0.01 * n);
  inc_vat = FormatAmount((vat_percent * 0.01 + 1) * n);
  WithholdingFromNoVat(CapPercent());
  RefreshTotal();
}

// With a VAT percent of 0 (or -100 below) there is nothing to divide by:
// the derived fields stay as they are.
void VatCalculator::VatChanged(double vat_percent) {
  const double rate = vat_percent * 0.01;
  if (rate == 0) return;
  const double n = Read(vat) / rate;
  no_vat = FormatAmount(n);
  inc_vat = FormatAmount((rate + 1) * n);
  WithholdingFromNoVat(CapPercent());
  RefreshTotal();
}

void VatCalculator::IncVatChanged(double vat_percent) {
  const double factor = vat_percent * 0.01 + 1;
  if (factor == 0) return;
  const double n = Read(inc_vat) / factor;
  no_vat = FormatAmount(n);
  vat = FormatAmount(vat_percent * 0.01 * n);
  WithholdingFromNoVat(CapPercent());
  RefreshTotal();
}

// Withholding derived from the percent is a percent of the amount with VAT.
void VatCalculator::PercentChanged() {
  const double p = CapPercent();
  const double i = Read(inc_vat);
  if (i != 0) withholding = FormatAmount(p * 0.01 * i);
  RefreshTotal();
}

void VatCalculator::WithholdingChanged() {
  const double i = Read(inc_vat);
  double p = i != 0 ? Read(withholding) * 100 / i : 0;
  if (p > 100) {
    p = 100;
    withholding = inc_vat;
  }
  percent = FormatAmount(p);
  RefreshTotal();
}

}  // namespace cheque
