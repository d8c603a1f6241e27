#include "app/cheques/cheque_page.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/cheques/address_dialog.h"
#include "app/cheques/calculator_box.h"
#include "app/cheques/category_outline.h"
#include "app/common/active_account.h"
#include "app/common/field_order.h"
#include "app/common/form_controls.h"
#include "app/common/text_guard.h"
#include "core/categories/category_tree.h"

namespace cheque {
namespace {

// The cheque fields lie on light yellow.
const QColor kChequePanelColor(255, 255, 128);

QLabel* Caption(QWidget* parent, const QString& text, bool underlined = false) {
  auto* label = new QLabel(text, parent);
  if (underlined) {
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
  }
  return label;
}

QLineEdit* Edit(QWidget* parent, const QString& name, const QString& hint = {}) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setToolTip(hint);
  return edit;
}

QSpinBox* Spin(QWidget* parent, const QString& name, int low, int high) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(name);
  spin->setRange(low, high);
  spin->setToolTip(QStringLiteral("נסה להקיש הקשה כפולה"));
  spin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  return spin;
}

}  // namespace

ChequePage::ChequePage(Services& services, ActiveAccount& account, TCalander& calendar,
                       QWidget* parent)
    : QWidget(parent), services_(services), account_(account), calendar_dialog_(calendar) {
  setObjectName(QStringLiteral("ChequePage"));
  address_dialog_ = new TAdrChk(services_, this);
  BuildControls();
  ConnectControls();
  tree_->Show(CategoryTree::BuiltIn());
  calendar_->setSelectedDate(services_.clock->Today());
  CalendarChanged();
  connect(&account_, &ActiveAccount::AccountChanged, this,
          [this] { AccountLoaded(account_.Definition()); });
}

// The focus leaves the page's fields while QWidget's destructor deletes
// them, when nothing of the page is left to hear it.
ChequePage::~ChequePage() { disconnect(qApp, nullptr, this, nullptr); }

void ChequePage::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);

  auto* top = new QHBoxLayout;
  accounts_ = new QComboBox(this);
  accounts_->setObjectName(QStringLiteral("ComboBox2"));
  accounts_->setToolTip(QStringLiteral("החשבון לחיוב"));
  accounts_->setMinimumWidth(200);
  top->addWidget(Caption(this, QStringLiteral("חשבון:")));
  top->addWidget(accounts_);
  top->addStretch(1);
  number_ = Edit(this, QStringLiteral("EdtChkNm"));
  number_->setText(QStringLiteral("00000000"));
  number_->setMaximumWidth(110);
  top->addWidget(Caption(this, QStringLiteral("מספר ההמחאה"), true));
  top->addWidget(number_);
  layout->addLayout(top);

  auto* middle = new QHBoxLayout;
  auto* form = new QVBoxLayout;
  form->addWidget(BuildChequePanel());
  form->addWidget(Caption(this, QStringLiteral("שייך לקבוצה"), true));
  category_ = Edit(this, QStringLiteral("Edit2"));
  form->addWidget(category_);
  tree_ = new CategoryOutline(this);
  tree_->setObjectName(QStringLiteral("Outline1"));
  QFont tree_font = tree_->font();
  tree_font.setPointSize(9);
  tree_->setFont(tree_font);
  form->addWidget(tree_, 1);
  middle->addLayout(form, 1);
  middle->addWidget(BuildSideColumn());
  layout->addLayout(middle, 1);

  // Floats under the payee; kept out of the layout.
  suggestions_ = new QListWidget(this);
  suggestions_->setObjectName(QStringLiteral("LBOptionChk"));
  suggestions_->hide();
}

QWidget* ChequePage::BuildChequePanel() {
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, kChequePanelColor);
  panel->setPalette(palette);
  auto* grid = new QGridLayout(panel);
  grid->setVerticalSpacing(3);

  // Day / month / year, read left to right as a date is.
  auto* date = new QWidget(panel);
  date->setLayoutDirection(Qt::LeftToRight);
  day_ = Spin(date, QStringLiteral("SEDay"), 1, 31);
  month_ = Spin(date, QStringLiteral("SEMonth"), 1, 12);
  year_ = Spin(date, QStringLiteral("SEYear"), 1990, 9999);
  auto* date_row = new QHBoxLayout(date);
  date_row->setContentsMargins(0, 0, 0, 0);
  for (QWidget* part :
       std::initializer_list<QWidget*>{day_, Caption(date, QStringLiteral("/")), month_,
                                       Caption(date, QStringLiteral("/")), year_}) {
    date_row->addWidget(part);
  }
  date_row->addStretch(1);
  grid->addWidget(Caption(panel, QStringLiteral("לתאריך"), true), 0, 0);
  grid->addWidget(date, 0, 1);

  payee_ = Edit(panel, QStringLiteral("EdtName"), QStringLiteral("נסה להקיש הקשה כפולה"));
  grid->addWidget(Caption(panel, QStringLiteral("לפקודת")), 1, 0);
  grid->addWidget(payee_, 1, 1);
  amount_ = Edit(panel, QStringLiteral("EdtAmount"), QStringLiteral("סכום ההמחאה"));
  amount_->setText(QStringLiteral("0"));
  amount_->setMaximumWidth(140);
  grid->addWidget(Caption(panel, QStringLiteral("סכום")), 2, 0);
  grid->addWidget(amount_, 2, 1);
  words_ = new QLabel(QStringLiteral("אפס שקלים בלבד"), panel);
  words_->setObjectName(QStringLiteral("Label3"));
  // Absolute: in a right-to-left window a plain AlignRight would mean the left.
  words_->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignTop);
  words_->setWordWrap(true);
  words_->setMinimumHeight(2 * words_->fontMetrics().height());
  grid->addWidget(words_, 3, 0, 1, 2);

  street_ = Edit(panel, QStringLiteral("DtlStrt"));
  house_number_ = Edit(panel, QStringLiteral("DtlNum"));
  town_ = Edit(panel, QStringLiteral("DtlTwn"));
  zip_ = Edit(panel, QStringLiteral("DtlZip"));
  house_number_->setMaximumWidth(40);
  zip_->setMaximumWidth(60);
  auto* address = new QHBoxLayout;
  const std::pair<const char16_t*, QLineEdit*> parts[] = {
      {u"רח", street_}, {u"מס", house_number_}, {u"עיר", town_}, {u"מיקוד", zip_}};
  for (const auto& [caption, field] : parts) {
    address->addWidget(Caption(panel, QString::fromUtf16(caption)));
    address->addWidget(field, field == street_ || field == town_ ? 2 : 1);
  }
  grid->addWidget(Caption(panel, QStringLiteral("כתובת"), true), 4, 0);
  grid->addLayout(address, 4, 1);

  memo_ = new QPlainTextEdit(panel);
  memo_->setObjectName(QStringLiteral("Memo1"));
  memo_->setPlainText(QStringLiteral("שולם עבור\n"));
  memo_->setTabChangesFocus(true);
  memo_->setFixedHeight(4 * memo_->fontMetrics().lineSpacing());
  grid->addWidget(Caption(panel, QStringLiteral("עבור"), true), 5, 0, Qt::AlignTop);
  grid->addWidget(memo_, 5, 1);

  print_ = new QPushButton(QStringLiteral("הדפס המחאה"), panel);
  print_->setObjectName(QStringLiteral("BtnPrntChk"));
  print_->setToolTip(QStringLiteral("הדפסת ההמחאה והכנסתה לרשימות"));
  print_->setAutoDefault(false);
  grid->addWidget(print_, 6, 1, Qt::AlignLeft);
  return panel;
}

QWidget* ChequePage::BuildSideColumn() {
  auto* column = new QWidget(this);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* calendar_box = new QGroupBox(QStringLiteral("לוח שנה"), column);
  auto* calendar_layout = new QVBoxLayout(calendar_box);
  calendar_layout->setContentsMargins(4, 2, 4, 2);
  auto* caption_row = new QHBoxLayout;
  date_label_ = new QLabel(calendar_box);
  date_label_->setObjectName(QStringLiteral("Label12"));
  caption_row->addWidget(Caption(calendar_box, QStringLiteral("תאריך"), true));
  caption_row->addWidget(date_label_);
  caption_row->addStretch(1);
  calendar_layout->addLayout(caption_row);
  calendar_ = NewFormCalendar(calendar_box, QDate(1990, 1, 1));
  KeepSelectionOnPage(calendar_);
  calendar_layout->addWidget(calendar_);
  layout->addWidget(calendar_box);

  layout->addWidget(Caption(column, QStringLiteral("מחשבון"), true));
  calculator_ = new CalculatorBox([this] { return VatPercent(); }, busy_, column);
  layout->addWidget(calculator_);
  layout->addStretch(1);
  return column;
}

void ChequePage::ConnectControls() {
  // The guards first, so the handlers below see only accepted text.
  for (QLineEdit* field :
       {number_, payee_, amount_, street_, house_number_, town_, zip_, category_}) {
    TextGuard::Attach(field, *services_.prompter);
  }
  new FieldOrder({{accounts_},
                  {payee_},
                  {amount_},
                  {day_},
                  {month_},
                  {year_},
                  {street_},
                  {house_number_},
                  {town_},
                  {zip_},
                  {category_},
                  {tree_},
                  {print_}},
                 FieldOrder::Keys{}, this);
  // Installed after the field order, so these filters see the keys first.
  for (QWidget* watched : std::initializer_list<QWidget*>{number_, payee_, suggestions_, category_,
                                                          day_, month_, year_}) {
    watched->installEventFilter(this);
  }
  // A spin box's text is the part a double-click lands on.
  for (QSpinBox* spin : {day_, month_, year_}) {
    spin->findChild<QLineEdit*>()->installEventFilter(this);
  }

  connect(accounts_, &QComboBox::activated, this,
          [this](int index) { emit AccountChosen(accounts_->itemText(index)); });
  // A signal that no longer matches the field is stale: a refused edit was undone.
  connect(payee_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (text == payee_->text()) PayeeChanged();
  });
  connect(suggestions_, &QListWidget::currentTextChanged, this, [this](const QString& text) {
    if (!suggestions_->hasFocus() || text.isEmpty()) return;
    const QScopedValueRollback<bool> quiet(busy_, true);
    payee_->setText(text);
  });
  connect(suggestions_, &QListWidget::itemDoubleClicked, this, [this] { SuggestionChosen(); });
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now != payee_ && now != suggestions_ && now != nullptr) HideSuggestions();
  });
  connect(amount_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (text == amount_->text()) AmountChanged();
  });
  connect(calendar_, &QCalendarWidget::selectionChanged, this, &ChequePage::CalendarChanged);
  for (QSpinBox* spin : {day_, month_, year_}) {
    connect(spin, &QSpinBox::valueChanged, this, &ChequePage::SpinChanged);
  }
  connect(category_, &QLineEdit::textEdited, this, [this] { CategoryTyped(); });
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { TreeMoved(); });
  connect(tree_, &QTreeWidget::itemClicked, this, [this] { TreeMoved(); });
  connect(print_, &QPushButton::clicked, this, &ChequePage::PrintCheque);
  connect(calculator_, &CalculatorBox::TransferRequested, this,
          [this](const QString& total) { amount_->setText(total); });
}

void ChequePage::AccountLoaded(const AccountDefinition& account) {
  number_->setText(account.next_cheque);
  business_ = account.business;
  ReloadTree();
}

void ChequePage::ReloadTree() {
  CategoryTree tree;
  if (!tree.ReadFile(CategoryTreeFile(business_))) tree = CategoryTree::BuiltIn();
  tree_->Show(std::move(tree));
}

void ChequePage::PageShown() { calendar_->setSelectedDate(services_.clock->Today()); }

bool ChequePage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!(key->modifiers() & ~Qt::KeypadModifier) && KeyPress(watched, key->key())) return true;
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == payee_) {
      OpenAddressBook();
      return true;
    }
    const auto* spin = qobject_cast<QSpinBox*>(watched->parent());
    if (spin == day_ || spin == month_ || spin == year_) {
      OpenCalendarDialog();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// Keys the field order does not cover.
bool ChequePage::KeyPress(QObject* watched, int key) {
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  if (watched == number_ && enter) {
    print_->setFocus(Qt::TabFocusReason);
    return true;
  }
  if (watched == payee_ && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
    return PayeeErase();
  }
  if (watched == payee_ && key == Qt::Key_Down && suggestions_->isVisible()) {
    suggestions_->setFocus(Qt::TabFocusReason);
    return true;
  }
  if (watched == suggestions_ && enter) {
    SuggestionChosen();
    return true;
  }
  if (watched == category_ && key == Qt::Key_Down) {
    tree_->setFocus(Qt::TabFocusReason);
    return true;
  }
  return false;
}

}  // namespace cheque
