#pragma once

#include <QDialog>
#include <optional>

#include "app/common/services.h"
#include "core/cheques/address_book.h"

class QPushButton;
class QTableWidget;

namespace cheque {

// "כתובות להמחאות": the payee address book of all accounts, edited in place.
// Created once; its grid shows the book while it is open, and every close
// writes the book to "MyAddr.Dat".
class TAdrChk : public QDialog {
  Q_OBJECT

 public:
  explicit TAdrChk(Services& services, QWidget* parent = nullptr);

  // The address of a payee of an account, or nothing.
  std::optional<PayeeAddress> FillPayeeAddress(const QString& account, const QString& name) const;
  // After a printed cheque; written to the file at once.
  void RecordPayee(const QString& account, const QString& name, const PayeeAddress& address);
  // Shows the book; the record chosen with "אישור" or a double-click.
  std::optional<AddressBook::Record> Choose();

  const AddressBook& Book() const { return book_; }

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FillGrid();
  void TakeGrid();
  void SetWidths();
  void DeleteClick();
  void Save();

  Services& services_;
  QString path_;
  AddressBook book_;
  QTableWidget* grid_ = nullptr;   // StringGrid1
  QPushButton* ok_ = nullptr;      // BitBtn1
  QPushButton* cancel_ = nullptr;  // BitBtn2
  QPushButton* delete_ = nullptr;  // BitBtn3
  std::optional<AddressBook::Record> chosen_;
};

}  // namespace cheque
