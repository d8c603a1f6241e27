#pragma once

#include <QStyledItemDelegate>
#include <memory>

#include "core/reports/report_table.h"

class QTableView;

namespace cheque {

// Draws report cells: a cash flow as the register draws its rows, the
// other kinds with their section, total and amount colours.
class ReportCellDelegate : public QStyledItemDelegate {
 public:
  ReportCellDelegate(QTableView& grid, const std::unique_ptr<ReportTable>& table, bool detail);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  QTableView& grid_;
  const std::unique_ptr<ReportTable>& table_;
  bool detail_;
};

}  // namespace cheque
