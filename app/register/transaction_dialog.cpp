#include "app/register/transaction_dialog.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QStringListModel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/common/active_account.h"
#include "app/common/calendar_dialog.h"
#include "app/common/field_order.h"
#include "app/common/form_controls.h"
#include "app/common/form_font.h"
#include "app/common/text_guard.h"
#include "core/register/completion.h"
#include "core/register/recurring.h"
#include "core/register/register.h"
#include "core/register/register_edits.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

const QString kOpeningBalanceDate = QStringLiteral("1/1/1990");

QStringList PeriodNames() {
  return {QStringLiteral("שבוע"),        QStringLiteral("חודש"),        QStringLiteral("חודשיים"),
          QStringLiteral("שלושה חדשים"), QStringLiteral("ארבעה חדשים"), QStringLiteral("חצי שנה")};
}

QLineEdit* NewEdit(QWidget* parent, const QString& name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

// A period list that is hidden still keeps its place, so the form stays put.
void KeepPlaceWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

}  // namespace

TDateFrm::TDateFrm(Services& services, TCalander& calendar, QWidget* parent)
    : QDialog(parent), services_(services), calendar_dialog_(calendar) {
  setObjectName(QStringLiteral("TDateFrm"));
  setWindowTitle(QStringLiteral("פרטי תנועה חדשה"));
  SetFormFont(this);
  BuildControls();
  ConnectFields();
  tree_ = CategoryTree::BuiltIn();
  FillTreeControl();
  ShowDate(services_.clock->Today(), true);
  Reset();
}

// The children go before QObject lets go of the connection: a focus change
// while they are deleted must not reach a half-destroyed dialog.
TDateFrm::~TDateFrm() { disconnect(focus_watch_); }

void TDateFrm::BuildControls() {
  auto* grid = new QGridLayout;
  auto add_row = [this, grid](int row, int column, const QString& caption, QWidget* field,
                              int span = 1) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("Lbl") + field->objectName());
    label->setBuddy(field);
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1, 1, span);
  };

  description_ = NewEdit(this, QStringLiteral("Edit1"));
  add_row(0, 0, QStringLiteral("תאור"), description_, 3);
  expense_ = NewEdit(this, QStringLiteral("EdtOut"));
  income_ = NewEdit(this, QStringLiteral("EdtIn"));
  add_row(1, 0, QStringLiteral("הוצאה"), expense_);
  add_row(1, 2, QStringLiteral("הכנסה / יתרה"), income_);

  type_ = new QComboBox(this);
  type_->setObjectName(QStringLiteral("ComboBox3"));
  for (const QString& name : PaymentTypes()) type_->addItem(name);
  reference_ = NewEdit(this, QStringLiteral("EdtRef"));
  add_row(2, 0, QStringLiteral("סוג"), type_);
  add_row(2, 2, QStringLiteral(":אסמכתא"), reference_);

  category_ = NewEdit(this, QStringLiteral("Edit2"));
  add_row(3, 0, QStringLiteral("קבוצה"), category_, 2);
  edit_tree_ = new QPushButton(QStringLiteral("עריכה"), this);
  edit_tree_->setObjectName(QStringLiteral("SpeedButton1"));
  edit_tree_->setAutoDefault(false);
  edit_tree_->setFocusPolicy(Qt::NoFocus);
  grid->addWidget(edit_tree_, 3, 3);

  tree_view_ = new QTreeWidget(this);
  tree_view_->setObjectName(QStringLiteral("Outline1"));
  tree_view_->setHeaderHidden(true);
  tree_view_->setExpandsOnDoubleClick(false);
  tree_view_->setMinimumHeight(160);

  calendar_ = NewFormCalendar(this, QDate(1900, 1, 1));
  calendar_->setNavigationBarVisible(false);
  months_ = new QComboBox(this);
  months_->setObjectName(QStringLiteral("ComboBox2"));
  months_->addItems(TCalander::MonthNames());
  year_ = new QSpinBox(this);
  year_->setObjectName(QStringLiteral("SpinEdit1"));
  year_->setRange(1990, 9999);
  auto* month_year = new QHBoxLayout;
  month_year->addWidget(months_, 1);
  month_year->addWidget(year_);
  auto* calendar_box = new QVBoxLayout;
  calendar_box->addLayout(month_year);
  calendar_box->addWidget(calendar_);
  auto* middle = new QHBoxLayout;
  middle->addWidget(tree_view_, 1);
  middle->addLayout(calendar_box);

  auto* lower = new QGridLayout;
  repeat_ = new QSpinBox(this);
  repeat_->setObjectName(QStringLiteral("SpinEdit2"));
  repeat_->setRange(0, 900);
  period_ = new QComboBox(this);
  period_->setObjectName(QStringLiteral("ComboBox1"));
  period_->addItems(PeriodNames());
  period_label_ = new QLabel(QStringLiteral("מידי"), this);
  period_label_->setObjectName(QStringLiteral("LblComboBox1"));
  period_label_->setBuddy(period_);
  KeepPlaceWhenHidden(period_);
  KeepPlaceWhenHidden(period_label_);
  auto* repeat_label = new QLabel(QStringLiteral("מספר פעמים"), this);
  repeat_label->setObjectName(QStringLiteral("LblSpinEdit2"));
  repeat_label->setBuddy(repeat_);
  date_ = NewEdit(this, QStringLiteral("Edit3"));
  auto* date_label = new QLabel(QStringLiteral("תאריך"), this);
  date_label->setObjectName(QStringLiteral("LblEdit3"));
  date_label->setBuddy(date_);
  expected_ = new QCheckBox(QStringLiteral("צפי"), this);
  expected_->setObjectName(QStringLiteral("CBExpected"));
  expected_->setEnabled(false);
  expected_->hide();
  lower->addWidget(repeat_label, 0, 0);
  lower->addWidget(repeat_, 0, 1);
  lower->addWidget(period_label_, 0, 2);
  lower->addWidget(period_, 0, 3);
  lower->addWidget(date_label, 1, 0);
  lower->addWidget(date_, 1, 1);
  lower->addWidget(expected_, 1, 2);

  ok_ = new QPushButton(QStringLiteral("אישור"), this);
  ok_->setObjectName(QStringLiteral("BtnOk"));
  // Only a focused OK acts, so being the default never confirms by accident.
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("ביטול"), this);
  cancel_->setObjectName(QStringLiteral("BtnCancel"));
  cancel_->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(middle, 1);
  layout->addLayout(lower);
  layout->addLayout(buttons);

  // Floats under the description; kept out of the layout.
  suggestions_ = new QListWidget(this);
  suggestions_->setObjectName(QStringLiteral("LBOptional"));
  suggestions_->hide();
}

void TDateFrm::ConnectFields() {
  // The guards come first, so the handlers below only see accepted text.
  for (QLineEdit* field : {description_, expense_, income_, reference_, category_, date_}) {
    TextGuard::Attach(field, *services_.prompter);
  }
  new FieldOrder({{description_},
                  {expense_},
                  {income_},
                  {type_},
                  {reference_},
                  {category_},
                  {tree_view_},
                  {repeat_},
                  {period_},
                  {date_},
                  {calendar_},
                  {months_},
                  {year_},
                  {ok_},
                  {cancel_}},
                 FieldOrder::Keys{}, this);
  // Installed after the field order, so these filters see the keys first.
  for (QWidget* field : std::initializer_list<QWidget*>{
           description_, suggestions_, expense_, income_, category_, tree_view_, repeat_, date_}) {
    field->installEventFilter(this);
  }
  if (QWidget* view = calendar_->focusProxy()) view->installEventFilter(this);

  connect(expense_, &QLineEdit::textEdited, this, [this] { AmountEdited(expense_, income_); });
  connect(income_, &QLineEdit::textEdited, this, [this] { AmountEdited(income_, expense_); });
  connect(description_, &QLineEdit::textEdited, this, [this] { DescriptionEdited(); });
  connect(suggestions_, &QListWidget::currentTextChanged, this, [this](const QString& text) {
    if (!suggestions_->hasFocus() || text.isEmpty()) return;
    updating_ = true;
    description_->setText(text);
    updating_ = false;
  });
  connect(suggestions_, &QListWidget::itemDoubleClicked, this, [this] { SuggestionChosen(); });
  focus_watch_ =
      connect(qApp, &QApplication::focusChanged, this, [this](QWidget* before, QWidget* now) {
        if (now != description_ && now != suggestions_ && now != nullptr) HideSuggestions();
        // Leaving the field for another of this dialog, not for a message.
        if (before == category_ && now != nullptr && now->window() == this) {
          CompleteCategoryText();
        }
      });

  connect(type_, &QComboBox::activated, this, &TDateFrm::TypeActivated);
  connect(category_, &QLineEdit::textChanged, this, &TDateFrm::CategoryChanged);
  connect(category_, &QLineEdit::textEdited, this, [this] { CategoryEdited(); });
  category_choices_ = new QCompleter(new QStringListModel(this), this);
  category_choices_->setWidget(category_);
  category_choices_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  category_choices_->popup()->setObjectName(QStringLiteral("LBCategories"));
  category_choices_->popup()->setLayoutDirection(Qt::RightToLeft);
  connect(category_choices_, qOverload<const QString&>(&QCompleter::activated), this,
          [this](const QString& path) {
            SetCategoryText(path);
            SelectNode(tree_.FindPath(path));
          });
  connect(tree_view_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (!updating_ && item != nullptr) SetCategoryText(tree_.FullPath(CurrentNode()));
  });
  connect(tree_view_, &QTreeWidget::itemClicked, this, &TDateFrm::TreeItemClicked);
  connect(edit_tree_, &QPushButton::clicked, this, &TDateFrm::EditTreeRequested);

  connect(repeat_, &QSpinBox::valueChanged, this, &TDateFrm::RepeatCountChanged);
  // A click or a key in the calendar: the date text follows.
  connect(calendar_, &QCalendarWidget::selectionChanged, this, [this] {
    if (!updating_) ShowDate(calendar_->selectedDate(), true);
  });
  connect(months_, &QComboBox::activated, this,
          [this](int index) { MoveMonth(calendar_->selectedDate().year(), index + 1); });
  connect(year_, &QSpinBox::valueChanged, this, [this](int year) {
    if (!updating_) MoveMonth(year, calendar_->selectedDate().month());
  });

  connect(ok_, &QPushButton::clicked, this, &TDateFrm::OkClick);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TDateFrm::Attach(ActiveAccount& account) {
  account_ = &account;
  register_ = &account.Rows();
}

void TDateFrm::SetBusinessAccount(bool business) {
  business_ = business;
  ReloadTree();
}

void TDateFrm::ReloadTree() {
  // A file that cannot be read leaves the tree the dialog has.
  CategoryTree tree;
  if (!tree.ReadFile(CategoryTreeFile(business_))) return;
  tree_ = std::move(tree);
  FillTreeControl();
}

const CategoryTree& TDateFrm::Tree() const { return tree_; }

void TDateFrm::FillTreeControl() {
  updating_ = true;
  items_ = FillCategoryView(*tree_view_, tree_);
  // The node of the category text, as after the user's last choice.
  const int node = tree_.FindPath(category_->text());
  if (node >= 0) tree_view_->setCurrentItem(items_[static_cast<size_t>(node)]);
  updating_ = false;
}

void TDateFrm::Reset() {
  updating_ = true;
  repeat_->setValue(1);
  period_->setCurrentIndex(static_cast<int>(RepeatPeriod::kMonth));
  period_->hide();
  period_label_->hide();
  for (QLineEdit* field : {description_, expense_, income_, reference_}) field->clear();
  expected_->setChecked(false);
  typed_.clear();
  suppress_completion_ = false;
  HideSuggestions();
  updating_ = false;
  ShowDate(calendar_->selectedDate(), false);
}

void TDateFrm::FillFromRow(int row) {
  if (register_ == nullptr || row < 0 || row >= register_->RowCount()) return;
  const auto cell = [this, row](int column) { return register_->Cell(row, column); };
  const QString category = cell(kCategoryColumn);
  updating_ = true;
  description_->setText(cell(kDescriptionColumn));
  expense_->setText(cell(kExpenseColumn));
  income_->setText(IsBankBalanceRow(QStringView(category)) ? cell(kBalanceColumn)
                                                           : cell(kIncomeColumn));
  reference_->setText(ReferenceOf(cell(kTypeColumn)));
  period_->setCurrentIndex(static_cast<int>(RepeatPeriod::kWeek));
  typed_ = description_->text();
  updating_ = false;

  const QString date = cell(kDateColumn);
  date_->setText(date.isEmpty() ? DateText(services_.clock->Today()) : date);
  CheckDateText(false);

  // The tree shows the row's category; a category the tree lacks is kept as
  // written, so confirming the row never changes it unasked.
  const int node = tree_.FindPath(category);
  SelectNode(node >= 0 ? node : 0);
  SetCategoryText(node >= 0 ? tree_.FullPath(node) : category);
}

int TDateFrm::OpenOn(int row, int grid_column) {
  if (register_ == nullptr || row < 0 || row >= register_->RowCount()) return QDialog::Rejected;
  row_ = row;
  if (tree_.Size() < 2) ReloadTree();
  const int type = PaymentTypeIndex(register_->Cell(row, kTypeColumn));
  if (type >= 0) type_->setCurrentIndex(type);
  const bool last_row = row == register_->RowCount() - 1;
  SetOpeningBalanceMode(IsOpeningBalanceRow(*register_, row) &&
                        date_->text() == kOpeningBalanceDate);
  first_focus_ = opening_balance_ ? income_ : FieldForColumn(last_row ? -1 : grid_column);
  return exec();
}

QWidget* TDateFrm::FieldForColumn(int grid_column) const {
  switch (grid_column) {
    case kBalanceColumn:
    case kExpenseColumn:
      return expense_;
    case kIncomeColumn:
      return income_;
    case kTypeColumn:
      return reference_;
    case kCategoryColumn:
      return tree_view_;
    case kDateColumn:
      return date_;
    default:
      return description_;
  }
}

void TDateFrm::SetOpeningBalanceMode(bool on) {
  opening_balance_ = on;
  if (on) type_->setCurrentIndex(kBankBalanceType);
  for (QWidget* field : std::initializer_list<QWidget*>{
           description_, expense_, type_, reference_, category_, tree_view_, edit_tree_, repeat_,
           period_, date_, calendar_, months_, year_}) {
    field->setEnabled(!on);
  }
  // Outside the opening balance, the category still decides about repeating.
  if (!on) CategoryChanged(category_->text());
}

void TDateFrm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (first_focus_ != nullptr) first_focus_->setFocus(Qt::OtherFocusReason);
  first_focus_ = nullptr;
}

}  // namespace cheque
