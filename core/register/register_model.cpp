#include "core/register/register_model.h"

#include <array>

namespace cheque {
namespace {

QString Caption(int column) {
  static const std::array<QString, kRegisterColumnCount> captions = {
      QStringLiteral("מס"),    QStringLiteral("בנק\\יתרה"), QStringLiteral("הכנסה"),
      QStringLiteral("הוצאה"), QStringLiteral("סוג"),       QStringLiteral("קבוצה"),
      QStringLiteral("תאור"),  QStringLiteral("תאריך"),     QStringLiteral("צפי")};
  return captions[static_cast<size_t>(column)];
}

}  // namespace

RegisterModel::RegisterModel(const Register& reg, QObject* parent)
    : QAbstractTableModel(parent), register_(reg), rows_(reg.RowCount()) {}

int RegisterModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int RegisterModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kRegisterColumnCount;
}

QVariant RegisterModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
      role != Qt::DisplayRole || index.row() >= register_.RowCount()) {
    return {};
  }
  return register_.Cell(index.row(), index.column());
}

QVariant RegisterModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    if (section < 0 || section >= kRegisterColumnCount) return {};
    return Caption(section);
  }
  if (section < 0 || section >= rows_) return {};
  return section + 1;
}

void RegisterModel::Reset() {
  beginResetModel();
  rows_ = register_.RowCount();
  endResetModel();
}

void RegisterModel::SyncRows() {
  SyncRowCount();
  if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, kRegisterColumnCount - 1));
}

void RegisterModel::SyncRowCount() {
  const int now = register_.RowCount();
  if (now > rows_) {
    beginInsertRows(QModelIndex(), rows_, now - 1);
    rows_ = now;
    endInsertRows();
  } else if (now < rows_) {
    beginRemoveRows(QModelIndex(), now, rows_ - 1);
    rows_ = now;
    endRemoveRows();
  }
}

}  // namespace cheque
