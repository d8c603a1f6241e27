#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include "app/shell/help_context.h"
#include "app/shell/help_mode.h"
#include "app/shell/main_window.h"
#include "app/shell/vendor_menu.h"
#include "tests/app/app_test_support.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

namespace {

QString HelpFile(const TestHome& home, const QString& page) {
  return QUrl::fromLocalFile(home.Path(u"Mavrel Heb Help/directcall/"_s + page)).toString();
}

}  // namespace

class HelpTest : public QObject {
  Q_OBJECT

 private slots:
  // F1 opens the page of the pressed control's context, or its window's,
  // from the program folder whatever the current folder is.
  void F1OpensTheContextPage_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("expected");
    QTest::newRow("cheque field") << 1 << u"EdtAmount"_s << u"producecheque.htm"_s;
    QTest::newRow("register grid") << 0 << u"RegisterPage/StringGrid1"_s << u"transscreen.htm"_s;
    QTest::newRow("status line") << 0 << u"SBToday"_s << u"toolbar.htm"_s;
    QTest::newRow("account panel") << 0 << u"RegisterPage/ComboBox1"_s << u"acounttools.htm"_s;
    QTest::newRow("main toolbar") << 0 << u"ImgCldr"_s << u"maintoolbar.htm"_s;
    QTest::newRow("calculator") << 1 << u"ChequePage/GroupBox1/BitBtn3"_s << u"index.html"_s;
  }
  void F1OpensTheContextPage() {
    QFETCH(int, page);
    QFETCH(QString, control);
    QFETCH(QString, expected);
    TestHome home;
    TForm1 window(home.services);
    window.ShowPage(page);
    const QDir elsewhere = QDir::temp();
    QDir::setCurrent(elsewhere.path());
    QWidget* widget = &window;
    for (const QString& name : control.split(u'/')) {
      widget = widget->findChild<QWidget*>(name);
      QVERIFY2(widget != nullptr, qPrintable(name));
    }
    QTest::keyClick(widget, Qt::Key_F1);
    QCOMPARE(home.shell.opened, QStringList{HelpFile(home, expected)});
  }

  // The help window explains the control under the mouse and closes on a
  // second click of the help button, giving back the cursors it changed.
  void HelpModeFollowsTheMouse() {
    TestHome home;
    TForm1 window(home.services);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* help = window.findChild<QToolButton*>(u"SBHelp"_s);
    auto* title = window.findChild<QWidget*>(u"PanelAcctTitle"_s);
    QTest::mouseClick(help, Qt::LeftButton);
    auto* helper = window.findChild<THlppp*>(u"THlppp"_s);
    QVERIFY(helper != nullptr && helper->isVisible());
    QVERIFY(help->isChecked());
    QVERIFY(helper->Text().startsWith(u"קוד צבעים לרשימת התנועות\n"_s));
    QCOMPARE(title->cursor().shape(), Qt::WhatsThisCursor);

    const struct {
      const char16_t* control;
      QString text;
    } moves[] = {
        {u"SBClone",
         u"לחיצה על מקש זה תשכפל את הרשומה הפעילה כרגע לסוף הטבלא.\nמייד יופיע מסך העריכה שבו "
         u"יש לשנות לפחות נתון אחד\n\nאי שינוי ערך כלשהו, יגרום לביטול ההוספה"_s},
        {u"SBUndo", QString()},
        {u"ImgDtl", u"כדי לשנות את פרטיך האישיים כפי שהם מופיעים בתוכנית, הקש על כפתור זה"_s},
    };
    for (const auto& move : moves) {
      auto* control = window.findChild<QWidget*>(QString::fromUtf16(move.control));
      QTest::mouseMove(control, control->rect().center());
      QCOMPARE(helper->Text(), move.text);
    }

    QTest::mouseClick(help, Qt::LeftButton);
    QVERIFY(!helper->isVisible());
    QVERIFY(!help->isChecked());
    QCOMPARE(title->cursor().shape(), Qt::PointingHandCursor);
    // A click on the window's texts closes it as well.
    QTest::mouseClick(help, Qt::LeftButton);
    QVERIFY(helper->isVisible());
    QTest::mouseClick(helper->findChild<QLabel*>(u"HelpText"_s), Qt::LeftButton);
    QVERIFY(!helper->isVisible());
    QVERIFY(!help->isChecked());
  }

  // The web item opens the help index (there is no web site); the mail
  // item a new mail with the subject percent-encoded as UTF-8.
  void VendorMenuItems_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QByteArray>("opened");
    QTest::newRow("web site") << u"MnuVendorSite"_s << QByteArray("index.html");
    QTest::newRow("mail") << u"MnuSendEmail"_s
                          << QByteArray(
                                 "mailto:?subject=%D7%AA%D7%96%D7%A8%D7%99%D7%9D%20%D7%9E%D7%96"
                                 "%D7%95%D7%9E%D7%A0%D7%99%D7%9D");
    QTest::newRow("cancel") << u"MnuNothing"_s << QByteArray();
  }
  void VendorMenuItems() {
    QFETCH(QString, item);
    QFETCH(QByteArray, opened);
    TestHome home;
    TForm1 window(home.services);
    auto* menu = window.findChild<QMenu*>(u"PopupMenu2"_s);
    QVERIFY(menu != nullptr);
    menu->findChild<QAction*>(item)->trigger();
    QStringList expected;
    if (opened == "index.html") {
      expected.append(HelpFile(home, u"index.html"_s));
    } else if (!opened.isEmpty()) {
      expected.append(QUrl::fromEncoded(opened).toString());
      QCOMPARE(VendorMailUrl().toEncoded(), opened);
    }
    QCOMPARE(home.shell.opened, expected);
  }

  // Every page of the table exists, is Hebrew right to left in UTF-8, and
  // every link between the pages (pages, pictures, the style sheet) resolves.
  void PagesAndLinksResolve() {
    const QDir folder(QStringLiteral(CHEQUE_ASSETS "/Mavrel Heb Help/directcall"));
    const QStringList pages = HelpPageNames();
    QFile index_file(folder.filePath(kHelpIndexPage));
    QVERIFY(index_file.open(QIODevice::ReadOnly));
    const QString index = QString::fromUtf8(index_file.readAll());
    const QRegularExpression link(u"(?:href|src)=\"([^\"]*)\""_s);
    for (const QString& page : pages) {
      QFile file(folder.filePath(page));
      QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(page));
      const QString text = QString::fromUtf8(file.readAll());
      QVERIFY2(text.contains(u"dir=\"rtl\""_s) && text.contains(u"lang=\"he\""_s) &&
                   text.contains(u"charset=\"utf-8\""_s),
               qPrintable(page));
      if (page != kHelpIndexPage) {
        QVERIFY2(index.contains(u"href=\""_s + page + u'"'), qPrintable(page));
      }
      for (const auto& match : link.globalMatch(text)) {
        const QUrl target(match.captured(1));
        if (!target.isRelative()) continue;
        const QString path = target.path();
        if (path.isEmpty()) continue;  // a place on the same page
        QVERIFY2(QFileInfo::exists(folder.filePath(path)),
                 qPrintable(page + u" -> "_s + match.captured(1)));
      }
    }
  }
};

QTEST_MAIN(HelpTest)
#include "help_test.moc"
