#include "app/cheques/address_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/common/form_font.h"
#include "app/common/text_guard.h"
#include "core/files/program_folder.h"
#include "widgets/path_text.h"

namespace cheque {
namespace {

constexpr int kColumnWidths[AddressBook::kColumnCount] = {70, 40, 90, 30, 90, 0, 0};

// Cells typed in place take only what the file can hold.
class GuardedCellDelegate : public QStyledItemDelegate {
 public:
  GuardedCellDelegate(Prompter& prompter, QObject* parent)
      : QStyledItemDelegate(parent), prompter_(prompter) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) TextGuard::Attach(line, prompter_);
    return editor;
  }

 private:
  Prompter& prompter_;
};

}  // namespace

TAdrChk::TAdrChk(Services& services, QWidget* parent)
    : QDialog(parent), services_(services), path_(ProgramFile(kAddressBookFile)) {
  setObjectName(QStringLiteral("TAdrChk"));
  setWindowTitle(QStringLiteral("כתובות להמחאות"));
  SetFormFont(this);
  resize(520, 300);

  grid_ = new QTableWidget(this);
  grid_->setObjectName(QStringLiteral("StringGrid1"));
  grid_->setColumnCount(AddressBook::kColumnCount);
  grid_->setHorizontalHeaderLabels({QStringLiteral("טלפון"), QStringLiteral("מיקוד"),
                                    QStringLiteral("עיר"), QStringLiteral("מספר"),
                                    QStringLiteral("רחוב"), QStringLiteral("שם"),
                                    QStringLiteral("לחשבון")});
  // The columns run from the phone at the left to the name at the right.
  grid_->setLayoutDirection(Qt::LeftToRight);
  grid_->verticalHeader()->hide();
  grid_->setColumnHidden(AddressBook::kAccount, true);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  grid_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::SelectedClicked);
  grid_->setItemDelegate(new GuardedCellDelegate(*services_.prompter, grid_));

  ok_ = new QPushButton(QStringLiteral("אישור"), this);
  ok_->setObjectName(QStringLiteral("BitBtn1"));
  cancel_ = new QPushButton(QStringLiteral("ביטול"), this);
  cancel_->setObjectName(QStringLiteral("BitBtn2"));
  delete_ = new QPushButton(QStringLiteral("מחק"), this);
  delete_->setObjectName(QStringLiteral("BitBtn3"));
  for (QPushButton* button : {ok_, cancel_, delete_}) button->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addStretch(1);
  buttons->addWidget(delete_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_, 1);
  layout->addLayout(buttons);

  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(delete_, &QPushButton::clicked, this, &TAdrChk::DeleteClick);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);

  book_ = AddressBook::Read(path_);
  FillGrid();
}

std::optional<PayeeAddress> TAdrChk::FillPayeeAddress(const QString& account,
                                                      const QString& name) const {
  return book_.AddressOf(account, name);
}

void TAdrChk::RecordPayee(const QString& account, const QString& name,
                          const PayeeAddress& address) {
  if (book_.RecordPayee(account, name, address)) Save();
}

std::optional<AddressBook::Record> TAdrChk::Choose() {
  chosen_.reset();
  FillGrid();
  exec();
  return chosen_;
}

// Closing is never refused; whatever closed the dialog, the book is written.
void TAdrChk::done(int result) {
  const int row = grid_->currentRow();
  // Leaving the cell commits what is being typed in it.
  grid_->setCurrentCell(-1, -1);
  TakeGrid();
  if (result == QDialog::Accepted && row >= 0 && row < static_cast<int>(book_.Rows().size())) {
    chosen_ = book_.Rows()[static_cast<size_t>(row)];
  }
  Save();
  QDialog::done(result);
}

void TAdrChk::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  SetWidths();
}

void TAdrChk::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  SetWidths();
}

void TAdrChk::FillGrid() {
  const auto& rows = book_.Rows();
  grid_->setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < grid_->rowCount(); ++row) {
    for (int column = 0; column < AddressBook::kColumnCount; ++column) {
      auto* item = new QTableWidgetItem(rows[static_cast<size_t>(row)][column]);
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      grid_->setItem(row, column, item);
    }
  }
  SetWidths();
}

void TAdrChk::TakeGrid() {
  auto& rows = book_.Rows();
  rows.assign(static_cast<size_t>(grid_->rowCount()), {});
  for (int row = 0; row < grid_->rowCount(); ++row) {
    for (int column = 0; column < AddressBook::kColumnCount; ++column) {
      const QTableWidgetItem* item = grid_->item(row, column);
      rows[static_cast<size_t>(row)][column] = item != nullptr ? item->text() : QString();
    }
  }
}

// The name takes the width the other visible columns leave.
void TAdrChk::SetWidths() {
  int rest = grid_->viewport()->width();
  for (int column = 0; column < AddressBook::kColumnCount; ++column) {
    if (column == AddressBook::kName || kColumnWidths[column] <= 0) continue;
    grid_->setColumnWidth(column, kColumnWidths[column]);
    rest -= kColumnWidths[column] + 1;
  }
  grid_->setColumnWidth(AddressBook::kName, std::max(rest, 30));
}

void TAdrChk::DeleteClick() {
  const int row = grid_->currentRow();
  if (row < 0) return;
  const auto cell = [this, row](int column) {
    const QTableWidgetItem* item = grid_->item(row, column);
    return item != nullptr ? item->text() : QString();
  };
  const QString text = QStringLiteral("האם באמת ברצונך למחוק את הרשומה\r") +
                       cell(AddressBook::kName) + u'\r' + cell(AddressBook::kStreet) + u' ' +
                       cell(AddressBook::kNumber) + u'\r' + cell(AddressBook::kTown) + u' ' +
                       cell(AddressBook::kZip);
  if (services_.prompter->HebrewMessageBox(QStringLiteral("אזהרה"), text, MessageKind::kWarning,
                                           MessageButtons::kYesNo, this) != MessageAnswer::kYes) {
    return;
  }
  // The box ran its own event loop: delete only the row that was asked about.
  if (grid_->currentRow() != row || row >= grid_->rowCount()) return;
  grid_->removeRow(row);
  SetWidths();
}

void TAdrChk::Save() {
  if (book_.Write(path_)) return;
  services_.prompter->ShowError(
      QStringLiteral("לא ניתן לשמור את ספר הכתובות בקובץ\r") + PathText(path_), this);
}

}  // namespace cheque
