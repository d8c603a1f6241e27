// The program's own message box, as the user sees it.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "app/common/services.h"
#include "tests/app/app_test_support.h"
#include "widgets/visual_caption.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

// The least distance between what is drawn on a button (its caption, and a
// picture if it has one) and the button's side edges, in pixels.
int InkMargin(QPushButton& button) {
  const QImage image = button.grab().toImage();
  const int frame = 3;  // the button's own border and shadow
  int left = image.width();
  int right = -1;
  for (int y = image.height() / 4; y < image.height() * 3 / 4; ++y) {
    for (int x = frame; x < image.width() - frame; ++x) {
      const QColor color = image.pixelColor(x, y);
      if (color.lightness() > 140 && color.saturation() < 60) continue;  // the face
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  return right < 0 ? image.width() : std::min(left, image.width() - 1 - right);
}

}  // namespace

class MessageBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setLayoutDirection(Qt::RightToLeft); }  // as the program

  // Every caption has room at both sides of its button.
  void CaptionsHaveRoom() {
    for (const MessageButtons buttons :
         {MessageButtons::kOk, MessageButtons::kYesNo, MessageButtons::kOkCancel,
          MessageButtons::kYesNoDefaultNo}) {
      QStringList cramped;
      ModalScript script;
      script.Expect(u"HebrewMessageBox"_s, [&](QWidget* box) {
        for (QPushButton* button : box->findChildren<QPushButton*>()) {
          const int room = 2 * QFontMetrics(button->font()).averageCharWidth();
          if (InkMargin(*button) < room) cramped.append(button->text());
        }
        QTest::keyClick(box, Qt::Key_Escape);
      });
      SystemServices().prompter->HebrewMessageBox(u"לאישורך"_s, u"? האם ברצונך לסיים"_s,
                                                  MessageKind::kConfirmation, buttons);
      QVERIFY(script.Done());
      QCOMPARE(cramped, QStringList());
    }
  }

  // Captions laid out by eye keep their marks where they were put; the
  // calendar and the wizard once told them apart differently.
  void VisualCaptions_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("left_to_right");
    QTest::newRow("mark first") << u"! סיום"_s << true;
    QTest::newRow("arrow last") << u"המשך ->>"_s << true;
    QTest::newRow("label colon") << u"  :מתאריך"_s << true;
    QTest::newRow("date range") << u"1/1/2020..31/12/2020"_s << true;
    QTest::newRow("plain words") << u"שם חדש"_s << false;
    QTest::newRow("empty") << QString() << false;
  }
  void VisualCaptions() {
    QFETCH(QString, caption);
    QFETCH(bool, left_to_right);
    const QString shown = VisualCaption(caption);
    QCOMPARE(shown, left_to_right ? QChar(0x202A) + caption + QChar(0x202C) : caption);
  }

  // When the box closes, the keyboard is back in the window that asked, so
  // that its keys (Escape, F3) work at once.
  void KeyboardReturnsToTheWindowBelow() {
    QDialog window;
    window.setObjectName(u"Asking"_s);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    ModalScript script;
    script.Expect(u"HebrewMessageBox"_s,
                  [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
    SystemServices().prompter->HebrewMessageBox(
        u"אזהרה"_s, u"לא נמצאו יותר רשומות"_s, MessageKind::kWarning, MessageButtons::kOk, &window);
    QVERIFY(script.Done());
    QTRY_COMPARE(QApplication::activeWindow(), &window);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window,
                    Qt::Key_Escape);
    QVERIFY(!window.isVisible());
  }
};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::MessageBoxTest)
#include "message_box_test.moc"
