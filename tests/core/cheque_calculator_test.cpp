#include <gtest/gtest.h>

#include "core/cheques/vat_calculator.h"

using namespace cheque;

namespace {

struct Fields {
  const char* no_vat;
  const char* vat;
  const char* inc_vat;
  const char* percent;
  const char* withholding;
  const char* total;
};

VatCalculator With(const Fields& f) {
  VatCalculator c;
  c.no_vat = QString::fromLatin1(f.no_vat);
  c.vat = QString::fromLatin1(f.vat);
  c.inc_vat = QString::fromLatin1(f.inc_vat);
  c.percent = QString::fromLatin1(f.percent);
  c.withholding = QString::fromLatin1(f.withholding);
  c.total = QString::fromLatin1(f.total);
  return c;
}

void ExpectFields(const VatCalculator& c, const Fields& f, const char* what) {
  EXPECT_EQ(c.no_vat.toStdString(), f.no_vat) << what;
  EXPECT_EQ(c.vat.toStdString(), f.vat) << what;
  EXPECT_EQ(c.inc_vat.toStdString(), f.inc_vat) << what;
  EXPECT_EQ(c.percent.toStdString(), f.percent) << what;
  EXPECT_EQ(c.withholding.toStdString(), f.withholding) << what;
  EXPECT_EQ(c.total.toStdString(), f.total) << what;
}

enum class Change { kNoVat, kVat, kIncVat, kPercent, kWithholding };

void Apply(VatCalculator& c, Change change, double vat_percent) {
  switch (change) {
    case Change::kNoVat:
      return c.NoVatChanged(vat_percent);
    case Change::kVat:
      return c.VatChanged(vat_percent);
    case Change::kIncVat:
      return c.IncVatChanged(vat_percent);
    case Change::kPercent:
      return c.PercentChanged();
    case Change::kWithholding:
      return c.WithholdingChanged();
  }
}

}  // namespace

// Fields before, the field the user changed, the VAT percent, fields after.
TEST(VatCalculator, Rules) {
  const struct {
    const char* what;
    Fields before;
    Change change;
    double vat_percent;
    Fields after;
  } cases[] = {
      {"amount without VAT, withholding of it",
       {"100", "", "", "10", "", ""},
       Change::kNoVat,
       17,
       {"100", "17", "117", "10", "10", "107"}},
      {"percent typed: withholding of the amount with VAT",
       {"100", "17", "117", "10", "10", "107"},
       Change::kPercent,
       17,
       {"100", "17", "117", "10", "11.70", "105.30"}},
      {"amount with VAT",
       {"", "", "117", "", "", ""},
       Change::kIncVat,
       17,
       {"100", "17", "117", "", "0", "117"}},
      // 34 / 0.17 is 199.99999999999997 in binary, shown with two decimals.
      {"VAT amount",
       {"", "34", "", "50", "", ""},
       Change::kVat,
       17,
       {"200.00", "34", "234.00", "50", "100", "134"}},
      {"percent above 100",
       {"100", "17", "117", "150", "", ""},
       Change::kPercent,
       17,
       {"100", "17", "117", "100", "117", "0"}},
      {"percent above 100 while the amount changes",
       {"100", "", "", "150", "", ""},
       Change::kNoVat,
       17,
       {"100", "17", "117", "100", "100", "17"}},
      {"withholding without an amount",
       {"", "", "", "", "50", ""},
       Change::kWithholding,
       17,
       {"", "", "", "0", "50", "-50"}},
      {"withholding above the amount",
       {"100", "17", "117", "", "200", ""},
       Change::kWithholding,
       17,
       {"100", "17", "117", "100", "117", "0"}},
      {"withholding gives the percent",
       {"100", "17", "117", "", "11.70", ""},
       Change::kWithholding,
       17,
       {"100", "17", "117", "10", "11.70", "105.30"}},
      // 50% of the shown 8.55 is 4.28; of the unrounded 8.547 it would be 4.27.
      {"rounded text is read back",
       {"", "", "10", "50", "", ""},
       Change::kIncVat,
       17,
       {"8.55", "1.45", "10", "50", "4.28", "5.72"}},
      {"no VAT at all",
       {"100", "", "", "", "", ""},
       Change::kNoVat,
       0,
       {"100", "0", "100", "", "0", "100"}},
      // Nothing to divide by: the derived fields stay as they were.
      {"VAT amount with a VAT percent of 0",
       {"5", "17", "6", "", "1", "5"},
       Change::kVat,
       0,
       {"5", "17", "6", "", "1", "5"}},
      {"amount with VAT at -100 percent",
       {"5", "7", "117", "", "1", "5"},
       Change::kIncVat,
       -100,
       {"5", "7", "117", "", "1", "5"}},
  };
  for (const auto& c : cases) {
    VatCalculator calculator = With(c.before);
    Apply(calculator, c.change, c.vat_percent);
    ExpectFields(calculator, c.after, c.what);
  }
}

// The reset empties the amount, then the percent; the rules leave zeros.
TEST(VatCalculator, ResetLeavesZeros) {
  VatCalculator c = With({"100", "17", "117", "10", "11.70", "105.30"});
  c.no_vat.clear();
  c.NoVatChanged(17);
  c.percent.clear();
  c.PercentChanged();
  ExpectFields(c, {"", "0", "0", "", "0", "0"}, "reset");
}
