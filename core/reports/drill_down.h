#pragma once

#include <QDate>
#include <QString>
#include <optional>

#include "core/reports/report_engine.h"

namespace cheque {

inline constexpr char16_t kDrillDownBusyText[] = u"... פירוט הדו\"ח בבניה... אנא המתן";

// Where a double-click puts the register cursor.
struct RegisterLanding {
  QString account;
  // The row in the account's register as the program loads it (date order);
  // -1 when no row matches.
  int row = -1;
  // Set when the row is found by these texts (columns 6, 7, 5 and 4) in the
  // register as it stands, rather than by its place.
  bool by_texts = false;
  QString description;
  QString date;
  QString category;
  QString type;
};

struct DrillDownResult {
  enum class Action { kNothing, kDetail, kRegister };
  Action action = Action::kNothing;
  ReportTable detail;       // kDetail: the rows behind the cell and a total row
  RegisterLanding landing;  // kRegister
};

// A double-click on cell (row, column) of a report built from `settings`.
DrillDownResult DrillDown(const ReportTable& report, const ReportSettings& settings,
                          const QString& folder, QDate today, int row, int column,
                          const ReportProgress& progress = {});

// A double-click on a row of a detail grid or of a cash-flow report; nothing
// on a detail grid's total row.
std::optional<RegisterLanding> LandingOfRow(const ReportTable& table, int row,
                                            const QString& folder, QDate today);

}  // namespace cheque
