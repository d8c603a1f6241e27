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

  // Each set of buttons with its captions, the answer of each button, and
  // room on both sides of every caption.
  void ButtonsAndAnswers_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("pressed");
    QTest::addColumn<int>("answer");
    const auto row = [](const char* name, MessageButtons buttons, QStringList captions,
                        QString pressed, MessageAnswer answer) {
      QTest::newRow(name) << static_cast<int>(buttons) << captions << pressed
                          << static_cast<int>(answer);
    };
    row("ok", MessageButtons::kOk, {u"אישור"_s}, u"אישור"_s, MessageAnswer::kOk);
    row("yes", MessageButtons::kYesNo, {u"כן"_s, u"לא"_s}, u"כן"_s, MessageAnswer::kYes);
    row("no", MessageButtons::kYesNo, {u"כן"_s, u"לא"_s}, u"לא"_s, MessageAnswer::kNo);
    row("cancel", MessageButtons::kOkCancel, {u"אישור"_s, u"ביטול"_s}, u"ביטול"_s,
        MessageAnswer::kCancel);
    // Enter takes the default button, "לא".
    row("default no", MessageButtons::kYesNoDefaultNo, {u"כן"_s, u"לא"_s}, QString(),
        MessageAnswer::kNo);
  }

  void ButtonsAndAnswers() {
    QFETCH(int, buttons);
    QFETCH(QStringList, captions);
    QFETCH(QString, pressed);
    QFETCH(int, answer);
    QStringList shown;
    QStringList cramped;
    ModalScript script;
    script.Expect(u"HebrewMessageBox"_s, [&](QWidget* box) {
      for (QPushButton* button : box->findChildren<QPushButton*>()) {
        shown.append(button->text());
        if (InkMargin(*button) < 2 * QFontMetrics(button->font()).averageCharWidth())
          cramped.append(button->text());
      }
      if (pressed.isEmpty()) {
        QTest::keyClick(box, Qt::Key_Return);
      } else {
        ClickButton(box, pressed);
      }
    });
    const MessageAnswer given = SystemServices().prompter->HebrewMessageBox(
        u"לאישורך"_s, u"? האם ברצונך לסיים"_s, MessageKind::kConfirmation,
        static_cast<MessageButtons>(buttons));
    QVERIFY(script.Done());
    QCOMPARE(static_cast<int>(given), answer);
    shown.sort();
    captions.sort();
    QCOMPARE(shown, captions);
    QCOMPARE(cramped, QStringList());
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
