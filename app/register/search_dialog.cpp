#include "app/register/search_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/common/form_font.h"
#include "app/register/register_grid.h"
#include "core/register/register.h"

namespace cheque {
namespace {

// Among the first rows of the screen the window goes below the found row.
constexpr int kRowsAboveWindow = 7;

}  // namespace

TSrchFrm::TSrchFrm(Services& services, const Register& reg, RegisterGrid& grid, QWidget* parent)
    // A plain dialog over the main window: a dialog opened later (the
    // transaction dialog) comes in front of it.
    : QDialog(parent), services_(services), register_(reg), grid_(grid) {
  setObjectName(QStringLiteral("TSrchFrm"));
  setWindowTitle(QStringLiteral("חיפוש רשומה"));
  setModal(false);
  SetFormFont(this);

  static const char16_t* const kNames[kSearchFieldCount] = {u"EdtDescription", u"EdtExpense",
                                                            u"EdtIncome", u"EdtType", u"EdtDate"};
  static const char16_t* const kCaptions[kSearchFieldCount] = {u"תאור", u"הוצאה", u"הכנסה", u"סוג",
                                                               u"תאריך"};
  auto* form = new QFormLayout();
  for (int i = 0; i < kSearchFieldCount; ++i) {
    fields_[i] = new QLineEdit(this);
    fields_[i]->setObjectName(QString::fromUtf16(kNames[i]));
    form->addRow(QString::fromUtf16(kCaptions[i]), fields_[i]);
    // Any change starts the next search from the top again.
    connect(fields_[i], &QLineEdit::textChanged, this, [this] { start_row_ = 0; });
  }
  find_ = new QPushButton(QStringLiteral("מצא עוד"), this);
  find_->setObjectName(QStringLiteral("BtnFind"));
  find_->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("ביטול"), this);
  cancel->setObjectName(QStringLiteral("BtnCancel"));
  cancel->setAutoDefault(false);
  connect(find_, &QPushButton::clicked, this, &TSrchFrm::FindMore);
  connect(cancel, &QPushButton::clicked, this, &QDialog::close);

  auto* buttons = new QHBoxLayout();
  buttons->addWidget(find_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

void TSrchFrm::ShowSearch() {
  start_row_ = 0;
  show();
  raise();
  activateWindow();
  fields_[0]->setFocus();
}

SearchTexts TSrchFrm::Fields() const {
  SearchTexts texts;
  for (int i = 0; i < kSearchFieldCount; ++i) texts[i] = fields_[i]->text();
  return texts;
}

void TSrchFrm::FindMore() {
  const SearchMatch match = FindNextMatch(register_, start_row_, Fields());
  if (match.row < 0) {
    services_.sounds->Play(QStringLiteral("DoneRpt.wav"));
    services_.prompter->HebrewMessageBox(QStringLiteral("אזהרה"),
                                         QStringLiteral("לא נמצאו יותר רשומות"),
                                         MessageKind::kWarning, MessageButtons::kOk, this);
    start_row_ = 0;
    return;
  }
  grid_.SetCurrentCell(match.row, match.column);
  grid_.scrollTo(grid_.model()->index(match.row, match.column));
  // The very next row may match as well.
  start_row_ = match.row + 1;
  emit Found(match.row);
  MoveOffRow(match.row, match.column);
}

void TSrchFrm::MoveOffRow(int row, int column) {
  const QRect cell = grid_.visualRect(grid_.model()->index(row, column));
  if (!cell.isValid()) return;
  const QPoint cell_top = grid_.viewport()->mapToGlobal(cell.topLeft());
  const QRect frame = frameGeometry();
  QPoint to = frame.topLeft();
  if (row - grid_.TopRow() < kRowsAboveWindow) {
    to.setY(cell_top.y() + 2 * grid_.RowHeight());
  } else {
    to.setY(cell_top.y() - frame.height());
  }
  move(to);
}

}  // namespace cheque
