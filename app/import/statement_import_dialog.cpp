#include "app/import/statement_import_dialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/common/account_edit.h"
#include "app/common/active_account.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"
#include "widgets/path_text.h"

namespace cheque {
namespace {

QString ActionText(PlanAction action) {
  switch (action) {
    case PlanAction::kMark:
      return QStringLiteral("סימון +");
    case PlanAction::kKnown:
      return QStringLiteral("כבר הותאם");
    case PlanAction::kAdd:
      return QStringLiteral("הוספה");
    case PlanAction::kBankBalance:
      return QStringLiteral("יתרת בנק");
    case PlanAction::kBalanceKnown:
      break;
  }
  return QStringLiteral("יתרה קיימת");
}

QTableWidget* MakeGrid(const QString& name, QWidget* parent) {
  auto* grid = new QTableWidget(parent);
  grid->setObjectName(name);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
  return grid;
}

QTableWidgetItem* Item(const QString& text) { return new QTableWidgetItem(text); }

// A minus sign leads a number in a right-to-left cell too ("-50", not "50-").
QTableWidgetItem* NumberItem(const QString& text) {
  const bool signed_number = text.startsWith(u'-') || text.startsWith(u'(');
  return Item(signed_number ? QChar(0x200E) + text : text);
}

}  // namespace

StatementImportDialog::StatementImportDialog(Services& services, ActiveAccount& account,
                                             QWidget* parent)
    : QDialog(parent), services_(services), account_(account) {
  setObjectName(QStringLiteral("StatementImportDialog"));
  setWindowTitle(QStringLiteral("ייבוא דף בנק - ") + account_.Title());
  setLayoutDirection(Qt::RightToLeft);
  pick_file_ = [](QWidget* owner) {
    return PickFileToOpen(owner, QStringLiteral("בחירת דף בנק"), {},
                          QStringLiteral("דפי בנק (*.csv *.xlsx *.xls *.txt);;"
                                         "כל הקבצים (*)"));
  };
  BuildControls();
  resize(900, 700);
}

void StatementImportDialog::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  auto* file_row = new QHBoxLayout;
  auto* pick = new QPushButton(QStringLiteral("בחירת קובץ..."), this);
  pick->setObjectName(QStringLiteral("BtnPickFile"));
  connect(pick, &QPushButton::clicked, this, &StatementImportDialog::PickFile);
  file_label_ = new QLabel(QStringLiteral("לא נבחר קובץ"), this);
  file_label_->setObjectName(QStringLiteral("LblFile"));
  file_row->addWidget(pick);
  file_row->addWidget(file_label_, 1);
  sheet_label_ = new QLabel(QStringLiteral("גיליון"), this);
  sheet_ = new QComboBox(this);
  sheet_->setObjectName(QStringLiteral("CmbSheet"));
  sheet_label_->setVisible(false);
  sheet_->setVisible(false);
  // A sheet that cannot be read leaves the one shown before.
  connect(sheet_, &QComboBox::activated, this, [this](int index) {
    if (!OpenFile(path_, index)) sheet_->setCurrentIndex(sheet_shown_);
  });
  file_row->addWidget(sheet_label_);
  file_row->addWidget(sheet_);
  // A CSV's encoding, told by its bytes unless the user knows better.
  encoding_ = new QComboBox(this);
  encoding_->setObjectName(QStringLiteral("CmbEncoding"));
  const std::pair<const char16_t*, TextEncoding> kEncodings[] = {
      {u"קידוד: לפי הקובץ", TextEncoding::kAuto},
      {u"UTF-8", TextEncoding::kUtf8},
      {u"UTF-16", TextEncoding::kUtf16},
      {u"Windows-1255 (עברית)", TextEncoding::kWin1255},
      {u"Windows-1252 (מערב אירופה)", TextEncoding::kWin1252}};
  for (const auto& [caption, encoding] : kEncodings) {
    encoding_->addItem(QString::fromUtf16(caption), static_cast<int>(encoding));
  }
  connect(encoding_, &QComboBox::currentIndexChanged, this, [this] {
    if (!path_.isEmpty()) OpenFile(path_, sheet_shown_);
  });
  file_row->addWidget(new QLabel(QStringLiteral("קידוד"), this));
  file_row->addWidget(encoding_);
  layout->addLayout(file_row);

  auto* preview_box = new QGroupBox(QStringLiteral("תחילת הקובץ"), this);
  auto* preview_layout = new QVBoxLayout(preview_box);
  preview_ = MakeGrid(QStringLiteral("GridPreview"), preview_box);
  preview_layout->addWidget(preview_);
  layout->addWidget(preview_box, 2);

  auto* mapping_box = new QGroupBox(QStringLiteral("העמודות בקובץ"), this);
  auto* mapping_layout = new QGridLayout(mapping_box);
  struct Field {
    const char16_t* name;
    const char16_t* caption;
    int ColumnMapping::*field;
  };
  static constexpr Field kFields[] = {
      {u"CmbDate", u"תאריך", &ColumnMapping::date},
      {u"CmbDescription", u"תאור", &ColumnMapping::description},
      {u"CmbReference", u"אסמכתא", &ColumnMapping::reference},
      {u"CmbAmount", u"סכום (זכות +, חובה -)", &ColumnMapping::amount},
      {u"CmbDebit", u"או חובה", &ColumnMapping::debit},
      {u"CmbCredit", u"וזכות", &ColumnMapping::credit},
      {u"CmbBalance", u"יתרה", &ColumnMapping::balance},
  };
  int place = 0;
  for (const Field& field : kFields) {
    auto* combo = new QComboBox(mapping_box);
    combo->setObjectName(QString::fromUtf16(field.name));
    mapping_layout->addWidget(new QLabel(QString::fromUtf16(field.caption), mapping_box), place / 4,
                              (place % 4) * 2);
    mapping_layout->addWidget(combo, place / 4, (place % 4) * 2 + 1);
    connect(combo, &QComboBox::currentIndexChanged, this, [this] {
      if (!filling_) RebuildPlan();
    });
    choices_.push_back({field.field, combo});
    ++place;
  }
  first_row_ = new QSpinBox(mapping_box);
  first_row_->setObjectName(QStringLiteral("SpnFirstRow"));
  first_row_->setRange(1, kMaxStatementRows);
  mapping_layout->addWidget(new QLabel(QStringLiteral("שורת התנועה הראשונה"), mapping_box), 1, 6);
  mapping_layout->addWidget(first_row_, 1, 7);
  connect(first_row_, &QSpinBox::valueChanged, this, [this] {
    if (filling_) return;
    FillColumnChoices();
    RebuildPlan();
  });
  layout->addWidget(mapping_box);

  auto* plan_box = new QGroupBox(QStringLiteral("מה ייעשה (אפשר לבטל סימון של שורה)"), this);
  auto* plan_layout = new QVBoxLayout(plan_box);
  plan_grid_ = MakeGrid(QStringLiteral("GridPlan"), plan_box);
  plan_grid_->setColumnCount(8);
  plan_grid_->setHorizontalHeaderLabels({QString(), QStringLiteral("פעולה"), QStringLiteral("שורה"),
                                         QStringLiteral("תאריך"), QStringLiteral("סכום"),
                                         QStringLiteral("תאור"), QStringLiteral("ברשומות"),
                                         QStringLiteral("הערה")});
  connect(plan_grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!filling_ && item->column() == 0) ShowSummary();
  });
  plan_grid_->horizontalHeader()->setStretchLastSection(true);
  plan_layout->addWidget(plan_grid_);
  layout->addWidget(plan_box, 3);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("LblStatus"));
  status_->setWordWrap(true);
  layout->addWidget(status_);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  ok_ = new QPushButton(QStringLiteral("אישור"), this);
  ok_->setObjectName(QStringLiteral("BtnOk"));
  ok_->setEnabled(false);
  connect(ok_, &QPushButton::clicked, this, &StatementImportDialog::Apply);
  auto* cancel = new QPushButton(QStringLiteral("ביטול"), this);
  cancel->setObjectName(QStringLiteral("BtnCancel"));
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
}

bool StatementImportDialog::PickFile() {
  const QString path = pick_file_(this);
  return !path.isEmpty() && OpenFile(path);
}

bool StatementImportDialog::OpenFile(const QString& path, int sheet) {
  const auto encoding = static_cast<TextEncoding>(encoding_->currentData().toInt());
  StatementRead read = ReadStatementFile(path, sheet, encoding);
  if (!read.Ok()) {
    services_.prompter->ShowError(read.error, this);
    return false;
  }
  path_ = path;
  table_ = std::move(read.table);
  file_label_->setText(PathText(QFileInfo(path).fileName()));
  sheet_->clear();
  sheet_->addItems(read.sheets);
  sheet_->setCurrentIndex(read.sheet);
  sheet_shown_ = read.sheet;
  sheet_->setVisible(read.sheets.size() > 1);
  sheet_label_->setVisible(read.sheets.size() > 1);
  // Only a CSV leaves its encoding to be told; the other kinds say theirs.
  encoding_->setEnabled(read.sheets.isEmpty());

  const int columns = table_.ColumnCount();
  const int rows = std::min(static_cast<int>(table_.rows.size()), kPreviewRows);
  preview_->clear();
  preview_->setColumnCount(columns);
  preview_->setRowCount(rows);
  QStringList numbers;
  for (int c = 0; c < columns; ++c) numbers << QString::number(c + 1);
  preview_->setHorizontalHeaderLabels(numbers);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) preview_->setItem(r, c, NumberItem(table_.Cell(r, c)));
  }
  preview_->resizeColumnsToContents();

  // A file of the same bank as before asks nothing; otherwise the header's
  // words give a first guess for the user to check.
  auto mapping = MappingMemory::Load(MappingMemory::DefaultPath()).Find(table_);
  if (!mapping) mapping = GuessMapping(table_);
  SetMapping(mapping.value_or(ColumnMapping{}));
  return true;
}

ColumnMapping StatementImportDialog::Mapping() const {
  ColumnMapping mapping;
  for (const Choice& choice : choices_) mapping.*choice.field = choice.combo->currentIndex() - 1;
  mapping.first_row = first_row_->value() - 1;
  return mapping;
}

void StatementImportDialog::SetMapping(const ColumnMapping& mapping) {
  filling_ = true;
  first_row_->setValue(mapping.first_row + 1);
  FillColumnChoices();
  for (const Choice& choice : choices_) {
    const int index = mapping.*choice.field + 1;
    choice.combo->setCurrentIndex(index < choice.combo->count() ? index : 0);
  }
  filling_ = false;
  RebuildPlan();
}

void StatementImportDialog::FillColumnChoices() {
  const bool was_filling = std::exchange(filling_, true);
  // Each column by its number and the text above the first movement.
  const int header = first_row_->value() - 2;
  QStringList items = {QStringLiteral("-")};
  for (int c = 0; c < table_.ColumnCount(); ++c) {
    const QString above = header >= 0 ? table_.Cell(header, c).simplified().left(20) : QString();
    items << QString::number(c + 1) + (above.isEmpty() ? QString() : QStringLiteral(" - ") + above);
  }
  for (const Choice& choice : choices_) {
    const int index = choice.combo->currentIndex();
    choice.combo->clear();
    choice.combo->addItems(items);
    choice.combo->setCurrentIndex(index < choice.combo->count() ? std::max(index, 0) : 0);
  }
  filling_ = was_filling;
}

void StatementImportDialog::RebuildPlan() {
  plan_ = {};
  status_->clear();
  const ColumnMapping mapping = Mapping();
  if (!mapping.IsComplete()) {
    status_->setText(
        QStringLiteral("יש לבחור את עמודת התאריך ואת עמודת הסכום, או את עמודות החובה "
                       "והזכות"));
  } else {
    const MovementsRead read = ReadMovements(table_, mapping, services_.clock->Today());
    if (!read.Ok()) {
      status_->setText(read.error);
    } else {
      plan_ = PlanImport(account_.Rows(), read.movements, services_.clock->Today());
      plan_.passed = read.passed;
    }
  }
  ShowPlan();
  if (mapping.IsComplete() && !plan_.lines.empty()) ShowSummary();
}

// What "אישור" would do: the ticked lines only.
void StatementImportDialog::ShowSummary() {
  int known = 0;
  int marked = 0;
  int added = 0;
  for (int i = 0; i < static_cast<int>(plan_.lines.size()); ++i) {
    const PlanLine& line = plan_.lines[static_cast<size_t>(i)];
    const bool ticked = LineTicked(static_cast<size_t>(i));
    if (line.action == PlanAction::kKnown) ++known;
    if (!ticked) continue;
    if (line.action == PlanAction::kMark) ++marked;
    if (line.action == PlanAction::kAdd || line.action == PlanAction::kBankBalance) ++added;
  }
  QString text = QStringLiteral("תנועות שהותאמו: %1, רשומות שיסומנו: %2, רשומות שיתווספו: %3")
                     .arg(known + marked)
                     .arg(marked)
                     .arg(added);
  if (!plan_.passed.empty()) {
    text += QStringLiteral(", שורות שאינן תנועה: %1").arg(plan_.passed.size());
  }
  status_->setText(text);
}

void StatementImportDialog::ShowPlan() {
  const bool was_filling = std::exchange(filling_, true);
  // In the file's order: a row that is no movement (unticked) stands before
  // the movement that follows it; the bank balance comes last.
  plan_grid_->setRowCount(static_cast<int>(plan_.lines.size() + plan_.passed.size()));
  line_grid_rows_.assign(plan_.lines.size(), -1);
  int grid_row = 0;
  size_t passed = 0;
  const auto show_passed_before = [&](int source_row) {
    for (; passed < plan_.passed.size() && plan_.passed[passed].source_row < source_row;
         ++passed, ++grid_row) {
      const PassedRow& row = plan_.passed[passed];
      auto* tick = Item({});
      tick->setFlags(Qt::NoItemFlags);
      plan_grid_->setItem(grid_row, 0, tick);
      plan_grid_->setItem(grid_row, 1, Item(QStringLiteral("לא תנועה")));
      plan_grid_->setItem(grid_row, 2, Item(QString::number(row.source_row + 1)));
      for (int column = 3; column < 8; ++column) plan_grid_->setItem(grid_row, column, Item({}));
      plan_grid_->setItem(grid_row, 5, Item(row.text));
    }
  };
  const Register& reg = account_.Rows();
  for (size_t i = 0; i < plan_.lines.size(); ++i) {
    const PlanLine& line = plan_.lines[i];
    const BankMovement& m = plan_.movements[static_cast<size_t>(line.movement)];
    const bool balance =
        line.action == PlanAction::kBankBalance || line.action == PlanAction::kBalanceKnown;
    show_passed_before(balance ? kMaxStatementRows : m.source_row);
    auto* tick = Item({});
    tick->setFlags(line.Changes() ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::NoItemFlags);
    if (line.Changes()) tick->setCheckState(line.ticked ? Qt::Checked : Qt::Unchecked);
    QString where;
    if (line.action == PlanAction::kAdd) where = AddedRowType(m);
    if (line.row >= 0) {
      where = QStringLiteral("רשומה %1: %2 %3")
                  .arg(line.row + 1)
                  .arg(reg.Cell(line.row, kDateColumn), reg.Cell(line.row, kDescriptionColumn));
    }
    line_grid_rows_[i] = grid_row;
    plan_grid_->setItem(grid_row, 0, tick);
    plan_grid_->setItem(grid_row, 1, Item(ActionText(line.action)));
    plan_grid_->setItem(grid_row, 2, Item(QString::number(m.source_row + 1)));
    plan_grid_->setItem(grid_row, 3, Item(DateText(m.date)));
    plan_grid_->setItem(grid_row, 4, NumberItem(FormatAmount(balance ? *m.balance : m.amount)));
    plan_grid_->setItem(
        grid_row, 5, Item(balance ? QString::fromUtf16(kBankBalanceDescription) : m.description));
    plan_grid_->setItem(grid_row, 6, Item(where));
    plan_grid_->setItem(grid_row, 7, Item(balance ? QString() : m.note));
    ++grid_row;
  }
  show_passed_before(kMaxStatementRows);
  plan_grid_->resizeColumnsToContents();
  filling_ = was_filling;
  ok_->setEnabled(!plan_.lines.empty());
}

bool StatementImportDialog::LineTicked(size_t line) const {
  const int row = line < line_grid_rows_.size() ? line_grid_rows_[line] : -1;
  const QTableWidgetItem* tick = row >= 0 ? plan_grid_->item(row, 0) : nullptr;
  return tick && tick->checkState() == Qt::Checked;
}

void StatementImportDialog::Apply() {
  if (plan_.lines.empty() || account_.IsBusy()) return;
  for (int i = 0; i < static_cast<int>(plan_.lines.size()); ++i) {
    PlanLine& line = plan_.lines[static_cast<size_t>(i)];
    line.ticked = line.Changes() && LineTicked(static_cast<size_t>(i));
  }
  account_.SetBusy(true);
  ImportResult result;
  {
    // One edit: the import is one undo step, saved at once when undone or done again.
    AccountEdit edit(account_);
    result = ApplyImportPlan(edit.Rows(), plan_, services_.clock->Today());
    if (result.applied) edit.Tag(RegisterHistory::kImported);
  }
  account_.SetBusy(false);
  if (!result.error.isEmpty()) {
    services_.prompter->ShowError(result.error, this);
    RebuildPlan();
    return;
  }
  MappingMemory memory = MappingMemory::Load(MappingMemory::DefaultPath());
  if (memory.Remember(table_, Mapping())) memory.Save(MappingMemory::DefaultPath());
  if (result.applied && !account_.Save()) {
    services_.prompter->ShowError(account_.SaveErrorMessage(), this);
  }
  accept();
}

}  // namespace cheque
