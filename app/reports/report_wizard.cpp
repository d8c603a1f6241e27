#include "app/reports/report_wizard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/common/busy_notice.h"
#include "app/common/calendar_dialog.h"
#include "app/common/form_font.h"
#include "core/reports/report_period.h"
#include "core/reports/saved_report.h"

namespace cheque {

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const QString& name) {
  widget->setObjectName(name);
  return widget;
}

// Buttons act only when clicked or focused: Enter never closes the wizard.
QPushButton* NewButton(QWidget* parent, const QString& name, const QString& caption,
                       bool checkable = false) {
  auto* button = Named(new QPushButton(VisualCaption(caption), parent), name);
  button->setAutoDefault(false);
  button->setCheckable(checkable);
  return button;
}

QLineEdit* NewDateField(QWidget* parent, const QString& name) {
  auto* field = Named(new QLineEdit(parent), name);
  field->setMaxLength(10);
  field->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9/]{0,10}")), field));
  field->setLayoutDirection(Qt::LeftToRight);
  field->setFixedWidth(110);
  field->setToolTip(QStringLiteral("לחיצה כפולה פותחת לוח שנה"));
  return field;
}

QListWidget* NewList(QWidget* parent, const QString& name, bool multi) {
  auto* list = Named(new QListWidget(parent), name);
  list->setSelectionMode(multi ? QAbstractItemView::MultiSelection
                               : QAbstractItemView::SingleSelection);
  return list;
}

// Exclusive buttons that stay down, as the form's speed buttons do.
void Group(QWidget* parent, std::initializer_list<QAbstractButton*> buttons) {
  auto* group = new QButtonGroup(parent);
  for (QAbstractButton* button : buttons) group->addButton(button);
}

}  // namespace

TReportWiz::TReportWiz(Services& services, TCalander& calendar, const QString& folder,
                       QWidget* parent)
    : QDialog(parent),
      services_(services),
      calendar_(calendar),
      folder_(folder),
      splash_(std::make_unique<TSplash>()) {
  setObjectName(QStringLiteral("TReportWiz"));
  setWindowTitle(QStringLiteral("בניית דו\"ח"));
  setLayoutDirection(Qt::RightToLeft);
  SetFormFont(this);

  pages_ = Named(new QTabWidget(this), QStringLiteral("Notebook1"));
  const QString captions[] = {QStringLiteral("סוג דו\"ח"), QStringLiteral("חשבונות"),
                              QStringLiteral("תקופה"), QStringLiteral("קבוצות"),
                              QStringLiteral("סיום")};
  for (const QString& caption : captions) pages_->addTab(new QWidget(pages_), caption);
  BuildKindPage(pages_->widget(kKindPage));
  BuildAccountsPage(pages_->widget(kAccountsPage));
  BuildPeriodPage(pages_->widget(kPeriodPage));
  BuildCategoriesPage(pages_->widget(kCategoriesPage));
  BuildFinishPage(pages_->widget(kFinishPage));

  title_ = Named(new QLabel(this), QStringLiteral("Panel6"));
  title_->setFrameShape(QFrame::Panel);
  title_->setFrameShadow(QFrame::Sunken);
  title_->setWordWrap(true);
  title_->setMinimumHeight(40);

  next_ = NewButton(this, QStringLiteral("BtnNext"), QStringLiteral("המשך ->>"));
  back_ = NewButton(this, QStringLiteral("BtnBack"), QStringLiteral("<<-- חזור"));
  cancel_ = NewButton(this, QStringLiteral("BtnCancel"), QStringLiteral("ביטול"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cancel_);
  buttons->addStretch();
  buttons->addWidget(back_);
  buttons->addWidget(next_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addWidget(title_);
  layout->addLayout(buttons);

  // The wizard's state as it stands when first created.
  for (QLineEdit* field : {from_, compare_from_}) field->setText(QStringLiteral("01/01/1990"));
  for (QLineEdit* field : {to_, compare_to_}) field->setText(QStringLiteral("31/12/2099"));
  settings_.from = settings_.compare_from = QDate(1990, 1, 1);
  settings_.to = settings_.compare_to = QDate(2099, 12, 31);
  settings_.year1 = years_[0]->value();
  settings_.year2 = years_[1]->value();
  ConnectControls();
  resize(640, 520);
}

TReportWiz::~TReportWiz() = default;

void TReportWiz::BuildKindPage(QWidget* page) {
  auto* kinds = new QGroupBox(QStringLiteral("סוג הדוח"), page);
  auto* kinds_layout = new QVBoxLayout(kinds);
  rb_cash_flow_ =
      Named(new QRadioButton(QStringLiteral("תזרים מזומנים"), kinds), QStringLiteral("RBCashFlow"));
  rb_in_out_ =
      Named(new QRadioButton(QStringLiteral("הוצאות הכנסות"), kinds), QStringLiteral("RBInOut"));
  rb_balance_ =
      Named(new QRadioButton(QStringLiteral("יתרה ליום"), kinds), QStringLiteral("RBComAccts"));
  rb_trend_ = Named(new QRadioButton(QStringLiteral("מגמות"), kinds), QStringLiteral("RBTrend"));
  auto* special =
      Named(new QRadioButton(QStringLiteral("דוחות כלליים"), kinds), QStringLiteral("RBSpecial"));
  special->setEnabled(false);
  for (QRadioButton* radio : {rb_cash_flow_, rb_in_out_, rb_balance_, rb_trend_, special})
    kinds_layout->addWidget(radio);
  kinds_layout->addStretch();
  rb_cash_flow_->setChecked(true);

  auto* mine = new QGroupBox(QStringLiteral("דוחות מוכנים שלי"), page);
  auto* mine_layout = new QVBoxLayout(mine);
  my_reports_ = NewList(mine, QStringLiteral("ListBox3"), false);
  do_it_now_ = NewButton(mine, QStringLiteral("BtnDoItNow"), QStringLiteral("בצע"));
  delete_ = NewButton(mine, QStringLiteral("BtnRptDel"), QStringLiteral("מחק"));
  auto* row = new QHBoxLayout;
  row->addWidget(do_it_now_);
  row->addWidget(delete_);
  row->addStretch();
  mine_layout->addWidget(my_reports_);
  mine_layout->addLayout(row);

  auto* layout = new QHBoxLayout(page);
  layout->addWidget(kinds);
  layout->addWidget(mine, 1);
}

void TReportWiz::BuildAccountsPage(QWidget* page) {
  const QString captions[] = {QStringLiteral("עסקיים"), QStringLiteral("פרטיים"),
                              QStringLiteral("כולם"), QStringLiteral("אחרים")};
  auto* groups = new QVBoxLayout;
  for (size_t i = 0; i < group_buttons_.size(); ++i) {
    group_buttons_[i] =
        NewButton(page, QStringLiteral("SB%1").arg(i + 1), captions[i], /*checkable=*/true);
    groups->addWidget(group_buttons_[i]);
  }
  groups->addStretch();
  Group(page, {group_buttons_[0], group_buttons_[1], group_buttons_[2], group_buttons_[3]});
  accounts_ = NewList(page, QStringLiteral("DstList"), true);
  auto* list_box = new QVBoxLayout;
  list_box->addWidget(new QLabel(QStringLiteral("חשבונות"), page));
  list_box->addWidget(accounts_);
  auto* layout = new QHBoxLayout(page);
  layout->addLayout(groups);
  layout->addLayout(list_box, 1);
}

void TReportWiz::BuildPeriodPage(QWidget* page) {
  period_box_ = Named(new QGroupBox(QStringLiteral("תקופה"), page), QStringLiteral("PeriodBox"));
  presets_ = Named(new QComboBox(period_box_), QStringLiteral("ComboBox3"));
  presets_->addItems(PeriodPresets());
  from_label_ = Named(new QLabel(VisualCaption(QStringLiteral("  :מתאריך")), period_box_),
                      QStringLiteral("LblFrom"));
  to_label_ = Named(new QLabel(period_box_), QStringLiteral("LblTo"));
  from_ = NewDateField(period_box_, QStringLiteral("MaskEdit2"));
  to_ = NewDateField(period_box_, QStringLiteral("MaskEdit1"));
  auto* box = new QGridLayout(period_box_);
  box->addWidget(presets_, 0, 0, 1, 2);
  box->addWidget(from_label_, 1, 0);
  box->addWidget(from_, 1, 1);
  box->addWidget(to_label_, 2, 0);
  box->addWidget(to_, 2, 1);
  box->setColumnStretch(2, 1);

  comparative_ = NewButton(page, QStringLiteral("SBComperative"), QStringLiteral("השוואתי"), true);

  type_box_ = Named(new QWidget(page), QStringLiteral("PeriodTypeBox"));
  auto* types = new QHBoxLayout(type_box_);
  const QString type_names[] = {QStringLiteral("RBMonthly"), QStringLiteral("RBQuarterly"),
                                QStringLiteral("RBHalfYear"), QStringLiteral("RBYearly")};
  const QString type_captions[] = {QStringLiteral("חודשי"), QStringLiteral("רבעוני"),
                                   QStringLiteral("חצי שנתי"), QStringLiteral("שנתי")};
  for (size_t i = 0; i < period_types_.size(); ++i) {
    period_types_[i] = Named(new QRadioButton(type_captions[i], type_box_), type_names[i]);
    types->addWidget(period_types_[i]);
  }
  types->addStretch();
  period_types_[0]->setChecked(true);

  auto* strips = new QGridLayout;
  for (int s = 0; s < 2; ++s) {
    years_[static_cast<size_t>(s)] =
        Named(new QSpinBox(page), QStringLiteral("SpinEdit%1").arg(s + 1));
    QSpinBox* year = years_[static_cast<size_t>(s)];
    year->setRange(1990, 9999);
    year->setValue(s == 0 ? 1998 : 1997);
    year->setLayoutDirection(Qt::LeftToRight);
    auto* strip = Named(new QWidget(page), QStringLiteral("Strip%1").arg(s + 1));
    strips_[static_cast<size_t>(s)] = strip;
    auto* strip_layout = new QVBoxLayout(strip);
    strip_layout->setContentsMargins(0, 0, 0, 0);
    QLabel* caption = Named(new QLabel(strip), QStringLiteral("StripCaption%1").arg(s + 1));
    caption->setLayoutDirection(Qt::LeftToRight);
    caption->setAlignment(Qt::AlignCenter);
    strip_captions_[static_cast<size_t>(s)] = caption;
    auto* cells = new QHBoxLayout;
    cells->setSpacing(2);
    auto* group = new QButtonGroup(strip);
    for (int c = 0; c < 12; ++c) {
      QPushButton* cell =
          NewButton(strip, QStringLiteral("Strip%1Cell%2").arg(s + 1).arg(c + 1), QString(), true);
      cell->setMinimumWidth(16);
      // The chosen cell is drawn solid, the others clear.
      cell->setStyleSheet(
          QStringLiteral("QPushButton{background:white;border:1px solid gray;padding:2px;}"
                         "QPushButton:checked{background:navy;color:white;}"));
      group->addButton(cell);
      cells->addWidget(cell);
      cells_[static_cast<size_t>(s)][static_cast<size_t>(c)] = cell;
    }
    strip_layout->addWidget(caption);
    strip_layout->addLayout(cells);
    strips->addWidget(year, s, 0, Qt::AlignBottom);
    strips->addWidget(strip, s, 1);
  }
  strips->setColumnStretch(1, 1);

  compare_fields_ = Named(new QWidget(page), QStringLiteral("CompareFields"));
  compare_from_ = NewDateField(compare_fields_, QStringLiteral("MaskEdit4"));
  compare_to_ = NewDateField(compare_fields_, QStringLiteral("MaskEdit3"));
  auto* compare_layout = new QHBoxLayout(compare_fields_);
  compare_layout->addWidget(compare_from_);
  compare_layout->addWidget(compare_to_);
  compare_fields_->hide();

  auto* top = new QHBoxLayout;
  top->addWidget(period_box_);
  top->addWidget(comparative_, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(top);
  layout->addWidget(type_box_);
  layout->addLayout(strips);
  layout->addWidget(compare_fields_);
  layout->addStretch();
}

void TReportWiz::BuildCategoriesPage(QWidget* page) {
  category_box_ = Named(new QGroupBox(QStringLiteral("קבוצות"), page), QStringLiteral("CategBox"));
  outline_ = Named(new QTreeWidget(category_box_), QStringLiteral("Outline2"));
  outline_->setHeaderHidden(true);
  outline_->setRootIsDecorated(true);
  all_categories_ =
      NewButton(category_box_, QStringLiteral("SBAllCateg"), QStringLiteral("* הכל"), true);
  some_categories_ =
      NewButton(category_box_, QStringLiteral("SBSomeCateg"), QStringLiteral("חלקי"), true);
  Group(category_box_, {all_categories_, some_categories_});
  auto* category_buttons = new QHBoxLayout;
  category_buttons->addWidget(all_categories_);
  category_buttons->addWidget(some_categories_);
  auto* category_layout = new QVBoxLayout(category_box_);
  category_layout->addLayout(category_buttons);
  category_layout->addWidget(outline_);

  types_box_ = Named(new QGroupBox(QStringLiteral("סוגי תשלום"), page), QStringLiteral("TypesBox"));
  types_ = NewList(types_box_, QStringLiteral("ListBox2"), true);
  all_types_ = NewButton(types_box_, QStringLiteral("SBAllPmnts"), QStringLiteral("* כולם"), true);
  no_types_ = NewButton(types_box_, QStringLiteral("SBNoPmnts"), QStringLiteral("חלקי"), true);
  Group(types_box_, {all_types_, no_types_});
  auto* type_buttons = new QHBoxLayout;
  type_buttons->addWidget(all_types_);
  type_buttons->addWidget(no_types_);
  auto* types_layout = new QVBoxLayout(types_box_);
  types_layout->addLayout(type_buttons);
  types_layout->addWidget(types_);

  flow_box_ = Named(new QGroupBox(QStringLiteral("הצג"), page), QStringLiteral("FlowBox"));
  rb_both_ = Named(new QRadioButton(VisualCaption(QStringLiteral("* הוצאות והכנסות")), flow_box_),
                   QStringLiteral("RBOutIn"));
  rb_income_ =
      Named(new QRadioButton(QStringLiteral("הכנסות בלבד"), flow_box_), QStringLiteral("RBInOnly"));
  rb_expenses_ = Named(new QRadioButton(QStringLiteral("הוצאות בלבד"), flow_box_),
                       QStringLiteral("RBOutOnly"));
  rb_both_->setChecked(true);
  auto* flow_layout = new QVBoxLayout(flow_box_);
  for (QRadioButton* radio : {rb_both_, rb_income_, rb_expenses_}) flow_layout->addWidget(radio);
  no_zeros_ = Named(new QCheckBox(QStringLiteral("לא להציג קבוצות ריקות"), page),
                    QStringLiteral("CBNoZeros"));

  auto* side = new QVBoxLayout;
  side->addWidget(types_box_, 1);
  side->addWidget(flow_box_);
  side->addWidget(no_zeros_);
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(category_box_, 1);
  layout->addLayout(side);
}

void TReportWiz::BuildFinishPage(QWidget* page) {
  existing_ = NewList(page, QStringLiteral("ListBox1"), false);
  auto* chosen = new QHBoxLayout;
  chosen->addWidget(new QLabel(QStringLiteral("הדוח הנבחר"), page));
  selected_name_ = Named(new QLabel(page), QStringLiteral("Label1"));
  chosen->addWidget(selected_name_, 1);
  save_box_ = Named(new QCheckBox(QStringLiteral("אפשר שמירה אוטומאטית לשימוש בעתיד"), page),
                    QStringLiteral("CheckBox1"));
  save_panel_ = Named(new QWidget(page), QStringLiteral("SavePanel"));
  name_ = Named(new QLineEdit(save_panel_), QStringLiteral("Edit1"));
  name_->setMaxLength(255);
  new_name_ = NewButton(save_panel_, QStringLiteral("BtnRptNweName"), QStringLiteral("שם חדש"));
  auto* save_layout = new QHBoxLayout(save_panel_);
  save_layout->addWidget(new QLabel(QStringLiteral("שם הדוח"), save_panel_));
  save_layout->addWidget(name_, 1);
  save_layout->addWidget(new_name_);
  save_panel_->hide();
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(QStringLiteral("רשימת דוחות קיימים"), page));
  layout->addWidget(existing_, 1);
  layout->addLayout(chosen);
  layout->addWidget(save_box_);
  layout->addWidget(save_panel_);
}

void TReportWiz::ConnectControls() {
  for (QRadioButton* radio : {rb_cash_flow_, rb_in_out_, rb_balance_, rb_trend_}) {
    connect(radio, &QRadioButton::toggled, this, [this](bool on) {
      if (!on || building_) return;
      ApplyKindLayout();
      RefreshSavedLists();
    });
  }
  connect(pages_, &QTabWidget::currentChanged, this, &TReportWiz::TabChanged);
  connect(next_, &QPushButton::clicked, this, &TReportWiz::NextClicked);
  connect(back_, &QPushButton::clicked, this, &TReportWiz::BackClicked);
  connect(cancel_, &QPushButton::clicked, this, &TReportWiz::CancelClicked);

  for (size_t i = 0; i < group_buttons_.size(); ++i) {
    connect(group_buttons_[i], &QPushButton::clicked, this,
            [this, i] { PressAccountGroup(static_cast<AccountGroup>((i + 1) % 4)); });
  }
  connect(accounts_, &QListWidget::itemClicked, this, [this] {
    group_buttons_[3]->setChecked(true);
    settings_.account_group = AccountGroup::kOthers;
    RebuildTitle();
  });
  connect(accounts_, &QListWidget::itemSelectionChanged, this, [this] {
    if (!building_) ReadAccounts();
  });

  connect(presets_, &QComboBox::currentIndexChanged, this, [this] {
    if (!building_) ApplyPreset();
  });
  connect(comparative_, &QPushButton::toggled, this, [this](bool down) {
    UpdatePeriodVisibility();
    if (building_) return;
    settings_.comparison = ComparisonOn();
    if (down) PeriodTypeChanged();
    RebuildTitle();
  });
  for (QRadioButton* radio : period_types_) {
    connect(radio, &QRadioButton::toggled, this, [this](bool on) {
      if (!on || building_) return;
      settings_.period_type = CheckedPeriodType();
      PeriodTypeChanged();
    });
  }
  for (int s = 0; s < 2; ++s) {
    for (int c = 0; c < 12; ++c) {
      connect(cells_[static_cast<size_t>(s)][static_cast<size_t>(c)], &QPushButton::clicked, this,
              [this, s, c] { CellClicked(s, c); });
    }
    connect(years_[static_cast<size_t>(s)], &QSpinBox::valueChanged, this, [this, s](int year) {
      (s == 0 ? settings_.year1 : settings_.year2) = year;
      if (!building_) YearChanged(s);
    });
  }
  for (QLineEdit* field : {from_, to_, compare_from_, compare_to_}) {
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this, [this, field] { FieldEdited(field); });
  }

  connect(all_categories_, &QPushButton::clicked, this, [this] { MarkAllNodes(true); });
  connect(some_categories_, &QPushButton::clicked, this, [this] { MarkAllNodes(false); });
  connect(outline_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { ToggleNode(item); });
  outline_->installEventFilter(this);
  connect(all_types_, &QPushButton::clicked, this, [this] { SelectAllTypes(true); });
  connect(no_types_, &QPushButton::clicked, this, [this] { SelectAllTypes(false); });
  connect(types_, &QListWidget::itemClicked, this, [this] { no_types_->setChecked(true); });
  connect(types_, &QListWidget::itemSelectionChanged, this, [this] {
    if (!building_) ReadTypes();
  });
  for (QRadioButton* radio : {rb_both_, rb_income_, rb_expenses_}) {
    connect(radio, &QRadioButton::toggled, this, [this] {
      if (building_) return;
      settings_.flow = rb_income_->isChecked()     ? FlowFilter::kIncomeOnly
                       : rb_expenses_->isChecked() ? FlowFilter::kExpensesOnly
                                                   : FlowFilter::kBoth;
      RebuildTitle();
    });
  }
  connect(no_zeros_, &QCheckBox::toggled, this, [this](bool checked) {
    if (!building_) settings_.hide_empty_groups = checked;
  });

  connect(my_reports_, &QListWidget::itemDoubleClicked, this, &TReportWiz::RunSelected);
  connect(my_reports_, &QListWidget::currentTextChanged, this, [this](const QString& name) {
    selected_name_->setText(name.isEmpty() ? title_->text() : name);
  });
  connect(do_it_now_, &QPushButton::clicked, this, &TReportWiz::RunSelected);
  connect(delete_, &QPushButton::clicked, this, &TReportWiz::DeleteSelected);
  connect(existing_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { name_->setText(item->text()); });
  connect(save_box_, &QCheckBox::toggled, this, &TReportWiz::SaveBoxToggled);
  connect(new_name_, &QPushButton::clicked, this, [this] {
    name_->clear();
    name_->setFocus();
  });
  name_->installEventFilter(this);
}

}  // namespace cheque
