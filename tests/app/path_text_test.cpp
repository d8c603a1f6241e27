// Paths inside right-to-left windows read left to right: the helper as the
// text engine lays it out, and a window of each kind that shows paths.
#include "widgets/path_text.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "app/backup/backup_dialog.h"
#include "core/backup/backup_files.h"
#include "tests/app/app_test_support.h"
#include "widgets/hebrew_qt.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

// Whether `part` inside `line`, laid out as a right-to-left paragraph, shows
// its folder names and slashes from left to right in their order.
bool ReadsLeftToRight(const QString& line, const QString& part) {
  QTextLayout layout(line, QApplication::font());
  QTextOption option;
  option.setTextDirection(Qt::RightToLeft);
  layout.setTextOption(option);
  layout.beginLayout();
  const QTextLine text_line = layout.createLine();
  layout.endLayout();
  const qsizetype from = line.indexOf(part);
  // Each name and each slash: the span of its characters' positions.
  std::vector<std::pair<qreal, qreal>> spans;
  bool open = false;
  for (qsizetype i = from; i < from + part.size(); ++i) {
    const QChar c = line[i];
    if (c.category() == QChar::Other_Format) continue;  // the marks
    // The middle of the character's own box, whatever the run around it.
    int at = static_cast<int>(i);
    const qreal leading = text_line.cursorToX(&at, QTextLine::Leading);
    at = static_cast<int>(i);
    const qreal x = (leading + text_line.cursorToX(&at, QTextLine::Trailing)) / 2;
    if (c == u'/' || !open) {
      spans.emplace_back(x, x);
      open = c != u'/';
    } else {
      spans.back() = {std::min(spans.back().first, x), std::max(spans.back().second, x)};
    }
  }
  for (size_t k = 1; k < spans.size(); ++k) {
    if (spans[k - 1].second > spans[k].first + 0.5) return false;
  }
  return true;
}

}  // namespace

class PathTextTest : public QObject {
  Q_OBJECT

 private slots:
  void PathsReadLeftToRightInHebrewLines() {
    for (const QString& path : {u"/home/dana"_s, u"/"_s, u"/media/usb"_s,
                                u"/home/דנה/תיקייה חדשה/Cheque"_s, u"דף בנק.csv"_s}) {
      const QString shown = PathText(path);
      QCOMPARE(PlainPath(shown), path);
      const QString line = u"התקנה לכונן "_s + shown + u" בלבד"_s;
      QVERIFY2(ReadsLeftToRight(line, shown), qPrintable(path));
    }
    // Without the helper the same line shows the path mirrored.
    QVERIFY(!ReadsLeftToRight(u"התקנה לכונן /home/dana"_s, u"/home/dana"_s));
    // Nor do Hebrew folder names keep their order inside an isolate alone.
    const QString bare = QChar(0x2066) + u"/home/דנה/תיקייה חדשה/Cheque"_s + QChar(0x2069);
    QVERIFY(!ReadsLeftToRight(u"התקנה לכונן "_s + bare, bare));
  }

  // The root's name is its path: shown once, as "/".
  void BackupVolumesShowTheirPaths() {
    TestHome home;
    TBackItUp dialog(home.services, [] {
      return std::vector<BackupVolume>{{u"/"_s, u"/"_s, false, 1 << 20},
                                       {u"USB"_s, u"/media/usb"_s, true, 1 << 20}};
    });
    dialog.show();
    auto* drives = dialog.findChild<QComboBox*>(u"DriveComboBox1"_s);
    QVERIFY(drives != nullptr);
    QCOMPARE(drives->itemText(0), PathText(u"/"_s));
    QCOMPARE(drives->itemText(1), u"USB  "_s + PathText(u"/media/usb"_s));
  }

  // Qt's own picker: Hebrew words, right to left, its path fields left to right.
  void FilePickerSpeaksHebrewWithPathsLeftToRight() {
    QString seen_title;
    QString open_button;
    QList<Qt::LayoutDirection> path_fields;
    QTimer::singleShot(0, this, [&] {
      auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (picker == nullptr) return;
      seen_title = picker->windowTitle();
      open_button = picker->labelText(QFileDialog::Accept);
      for (const char* name : {"lookInCombo", "fileNameEdit", "fileTypeCombo"}) {
        if (auto* field = picker->findChild<QWidget*>(QString::fromLatin1(name))) {
          path_fields << field->layoutDirection();
        }
      }
      picker->reject();
    });
    QCOMPARE(PickFileToOpen(nullptr, u"בחירת דף בנק"_s, QDir::tempPath(), u"דפי בנק (*.csv)"_s),
             QString());
    QCOMPARE(seen_title, u"בחירת דף בנק"_s);
    QCOMPARE(path_fields, QList<Qt::LayoutDirection>(3, Qt::LeftToRight));
    QCOMPARE(QApplication::layoutDirection(), Qt::RightToLeft);
    QVERIFY2(!open_button.contains(u"Open"_s), qPrintable(open_button));
  }
};

}  // namespace cheque::testing

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  cheque::InstallQtHebrew(app);
  cheque::testing::PathTextTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "path_text_test.moc"
