#pragma once

#include <QAbstractTableModel>

#include "core/register/register.h"

namespace cheque {

// Shows a register to a view without a copy of its rows. Read-only: changes
// go through the register, and the caller then calls Reset().
class RegisterModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit RegisterModel(const Register& reg, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // For callers that changed the register behind the model's back: Reset
  // forgets every index (a new account); SyncRows keeps them, telling views
  // that rows were added or taken at the end and that any cell may differ,
  // so a cursor stays at its index as rows move up under it.
  void Reset();
  void SyncRows();
  // Only the rows added or taken at the end: an open cell editor keeps its text.
  void SyncRowCount();

  const Register& Store() const { return register_; }

 private:
  const Register& register_;
  int rows_ = 0;  // the count views were last told
};

}  // namespace cheque
