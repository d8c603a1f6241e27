// A negative amount reads "-5" in every grid that draws it: the register,
// the cash-flow report grid and the printed page. Read from the pixels: the
// short mark of the minus must stand left of the digit.
#include <QDir>
#include <QImage>
#include <QTableView>
#include <QTest>

#include "app/common/busy_notice.h"
#include "app/register/register_grid.h"
#include "app/reports/print_preview.h"
#include "app/reports/report_page.h"
#include "core/files/account_list.h"
#include "core/register/register.h"
#include "core/reports/merged_category_tree.h"
#include "core/reports/saved_report.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

const QString kCredit = u"זיכוי עמלה"_s;  // its expense is -5

QString PrintHome() { return QStringLiteral(CHEQUE_ASSETS "/../tests/data/print_home"); }

// The glyphs of the text in `area`, left to right, as the height in pixels
// of each run of inked columns ("-5" gives a short run, then a tall one).
std::vector<int> InkRunHeights(const QImage& image, const QRect& area) {
  const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
  std::vector<int> heights;
  int top = -1;
  int bottom = -1;
  for (int x = area.left(); x <= area.right() + 1; ++x) {
    int column_top = -1;
    int column_bottom = -1;
    for (int y = area.top(); x <= area.right() && y <= area.bottom(); ++y) {
      if (qGray(gray.pixel(x, y)) < 160) {
        if (column_top < 0) column_top = y;
        column_bottom = y;
      }
    }
    if (column_top >= 0) {
      top = top < 0 ? column_top : std::min(top, column_top);
      bottom = std::max(bottom, column_bottom);
    } else if (top >= 0) {
      heights.push_back(bottom - top + 1);
      top = bottom = -1;
    }
  }
  return heights;
}

bool MinusFirst(const QImage& image, const QRect& area) {
  const std::vector<int> runs = InkRunHeights(image, area);
  return runs.size() == 2 && runs.front() < runs.back() / 2;
}

// The cell's inside, clear of its frame and of any line below it.
QImage CellImage(QTableView& grid, const QModelIndex& index, QRect* inside) {
  grid.scrollTo(index);
  const QRect cell = grid.visualRect(index);
  *inside = cell.adjusted(2, 1, -2, -3);
  return grid.viewport()->grab().toImage();
}

int RowWithText(const QAbstractItemModel& model, int column, const QString& text) {
  for (int row = 0; row < model.rowCount(); ++row) {
    if (model.index(row, column).data().toString() == text) return row;
  }
  return -1;
}

}  // namespace

class NegativeAmountsTest : public QObject {
  Q_OBJECT

 private slots:
  void RegisterGridDrawsTheMinusFirst() {
    TestHome home;
    Register reg;
    QVERIFY(reg.LoadFile(QDir(PrintHome()).filePath(u"Xct1.dat"_s), u"1000"));
    RegisterGridModel model(reg);
    RegisterGrid grid(model, home.prompter);
    grid.resize(900, 400);
    grid.show();
    const int row = RowWithText(model, kDescriptionColumn, kCredit);
    QVERIFY(row >= 0);
    QCOMPARE(reg.Cell(row, kExpenseColumn), u"-5"_s);
    QRect inside;
    const QImage image = CellImage(grid, model.index(row, kExpenseColumn), &inside);
    QVERIFY2(MinusFirst(image, inside), "register");
  }

  void CashFlowGridDrawsTheMinusFirst() {
    TestHome home;
    home.clock.Set(QDateTime(QDate(1999, 6, 1), QTime(10, 0)));
    const QDir source(PrintHome());
    for (const QString& name : source.entryList(QDir::Files)) {
      QFile::remove(home.Path(name));
      QVERIFY(QFile::copy(source.filePath(name), home.Path(name)));
    }
    CategoryTree trees[2];
    trees[0].ReadFile(home.Path(u"Categ.dat"_s));
    trees[1].ReadFile(home.Path(u"BCateg.dat"_s));
    const auto accounts = AccountList::Read(home.Path(u"Accts.dat"_s));
    const auto saved = ReadSavedReport(home.Path(u"1.Rpt"_s));
    QVERIFY(accounts && saved);
    TSplash splash;
    ReportPage page(home.services, splash, home.Path(QString()));
    page.resize(1000, 600);
    page.show();
    page.Build(SettingsFromSaved(*saved, *accounts, MergeCategoryTrees(trees[0], trees[1]),
                                 QDate(1999, 6, 1)));
    QTableView& grid = *page.ReportGrid();
    const int row = RowWithText(*grid.model(), kDescriptionColumn, kCredit);
    QVERIFY(row >= 0);
    QRect inside;
    const QImage image = CellImage(grid, grid.model()->index(row, kExpenseColumn), &inside);
    QVERIFY2(MinusFirst(image, inside), "cash-flow grid");
  }

  // The printed page: a grid of one cash-flow row holding only "-5".
  void PrintedPageDrawsTheMinusFirst() {
    TestHome home;
    ReportTable table;
    table.layout = ReportLayout::kCashFlow;
    table.columns = 9;
    const int row = table.AppendTextRow();
    table.SetCell(row, kExpenseColumn, u"-5"_s);
    ReportSettings settings;
    settings.kind = ReportKind::kCashFlow;
    const std::vector<int> widths = {-1, 65, 65, 65, 50, 60, 200, 60, -1};
    TPrtPreView preview(MakeReportPrint(table, settings, widths, QStringList(9, QString())),
                        home.services);
    const QImage page = preview.PageImage().convertToFormat(QImage::Format_Grayscale8);
    // The row starts below the header's black frame, the lowest line across.
    int header_bottom = -1;
    for (int y = 0; y < 300; ++y) {
      int ink = 0;
      for (int x = kPageLeftMargin; x < kPageLeftMargin + 300; ++x)
        ink += qGray(page.pixel(x, y)) < 160;
      if (ink > 40) header_bottom = y;
    }
    QVERIFY(header_bottom > 0);
    QVERIFY2(MinusFirst(page, QRect(kPageLeftMargin + 2, header_bottom + 3, 500, 14)),
             "printed page");
  }
};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::NegativeAmountsTest)
#include "negative_amounts_test.moc"
