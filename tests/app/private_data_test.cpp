#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/shell/private_data_dialog.h"
#include "core/files/line_file.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

const QString kFile = u"AcMyData.Dat"_s;
const QString kRequired = u"יש למלא את השם, המשפחה, ושם העסק"_s;
const QStringList kFields = {u"EdtFirstName"_s,  u"EdtFamilyName"_s, u"EdtBusinessName"_s,
                             u"EdtAddress"_s,    u"MaskEdtPhone"_s,  u"MaskEdtFax"_s,
                             u"MaskEdtMobile"_s, u"OKBtn"_s};

QLineEdit* Field(QWidget& dialog, const QString& name) {
  auto* edit = dialog.findChild<QLineEdit*>(name);
  if (edit == nullptr) qFatal("no field %s", qPrintable(name));
  return edit;
}

QString FocusName(QWidget& dialog) {
  return dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
}

// Replaces the text as a user would: Hebrew is committed as an input method does.
void Put(QWidget& dialog, const QString& name, const QString& text) {
  QLineEdit* edit = Field(dialog, name);
  edit->setFocus();
  edit->selectAll();
  if (edit->inputMask().isEmpty()) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(edit, &event);
  } else {
    edit->home(false);
    QTest::keyClicks(edit, text);
  }
}

void Click(QWidget& dialog, const QString& button) {
  QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

bool Open(QDialog& dialog) {
  dialog.show();
  return QTest::qWaitForWindowActive(&dialog);
}

}  // namespace

class PrivateDataTest : public QObject {
  Q_OBJECT

 private slots:
  void okWritesNineLines_data() {
    QTest::addColumn<QStringList>("typed");  // into the fields in order
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("all fields") << QStringList{u"דנה"_s,          u"לוי"_s,      u"לוי בע\"מ"_s,
                                               u"הרצל 5, חיפה"_s, u"48123456"_s, u"48123457"_s,
                                               u"21234567"_s}
                                << QStringList{
                                       u"דנה"_s,          u"לוי"_s,         u"לוי בע\"מ"_s,
                                       u"הרצל 5, חיפה"_s, u"04-812-3456"_s, u"04-812-3457"_s,
                                       u"052 123-4567"_s, QString(),        u"052 123-4567"_s};
    QTest::newRow("required only")
        << QStringList{u"דנה"_s, u"לוי"_s, u"לוי בע\"מ"_s}
        << QStringList{u"דנה"_s,          u"לוי"_s,         u"לוי בע\"מ"_s,
                       QString(),         u"0 -   -    "_s, u"0 -   -    "_s,
                       u"05     -    "_s, QString(),        u"05     -    "_s};
  }

  void okWritesNineLines() {
    QFETCH(QStringList, typed);
    QFETCH(QStringList, lines);
    TestHome home;
    TPrivateDta dialog(home.services);
    QCOMPARE(dialog.windowTitle(), u"פרטים אישיים"_s);
    QVERIFY(Open(dialog));
    for (qsizetype i = 0; i < typed.size(); ++i) Put(dialog, kFields[i], typed[i]);
    Click(dialog, u"OKBtn"_s);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(home.prompter.Asked().empty());
    QCOMPARE(ReadFileBytes(home.Path(kFile)).value_or(QByteArray()), JoinLines(lines));
  }

  void okRefusesMissingRequired_data() {
    QTest::addColumn<QString>("missing");
    for (const QString& field : kFields.mid(0, 3)) QTest::newRow(qPrintable(field)) << field;
  }

  void okRefusesMissingRequired() {
    QFETCH(QString, missing);
    TestHome home;
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    for (const QString& name : kFields.mid(0, 4)) {
      if (name != missing) Put(dialog, name, u"א"_s);
    }
    dialog.findChild<QPushButton*>(u"OKBtn"_s)->click();  // without the focus: nothing
    QVERIFY(home.prompter.Asked().empty());
    Click(dialog, u"OKBtn"_s);

    QCOMPARE(home.prompter.AskedTexts(), QStringList{kRequired});
    QCOMPARE(home.prompter.Asked()[0].caption, u"שגיאה"_s);
    QVERIFY(dialog.isVisible());
    QCOMPARE(FocusName(dialog), missing);
    QVERIFY(!QFile::exists(home.Path(kFile)));
  }

  void cancel_data() {
    QTest::addColumn<bool>("filled");
    QTest::addColumn<bool>("file");
    QTest::addColumn<bool>("answer_yes");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    QTest::newRow("family missing, yes") << false << false << true << true << true;
    QTest::newRow("family missing, no") << false << false << false << true << false;
    QTest::newRow("filled") << true << false << false << false << true;
    QTest::newRow("file exists") << false << true << false << false << true;
  }

  void cancel() {
    QFETCH(bool, filled);
    QFETCH(bool, file);
    QFETCH(bool, answer_yes);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    TestHome home;
    if (file) QVERIFY(WriteTextLines(home.Path(kFile), {}));
    home.prompter.Answer(answer_yes ? MessageAnswer::kYes : MessageAnswer::kNo);
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    for (const QString& name : kFields.mid(0, filled ? 3 : 1)) Put(dialog, name, u"דנה"_s);
    Click(dialog, u"CancelBtn"_s);

    QCOMPARE(home.prompter.AskedTexts(),
             asked ? QStringList{kRequired + u"\r? האם ברצונך לסיים"_s} : QStringList());
    QCOMPARE(dialog.isVisible(), !closed);
    if (closed) QCOMPARE(dialog.result(), int(QDialog::Rejected));
    if (!closed) QCOMPARE(FocusName(dialog), u"EdtFamilyName"_s);
    QCOMPARE(QFile::exists(home.Path(kFile)), file);
  }

  void showingReadsTheFile() {
    TestHome home;
    // Seven lines: the ninth, which gives the mobile phone, reads as empty.
    QVERIFY(WriteTextLines(home.Path(kFile), {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"03-123-4567"_s,
                                              u"03-123-4568"_s, u"052 123-4567"_s}));
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    QStringList shown;
    for (const QString& name : kFields.mid(0, 7)) shown.append(Field(dialog, name)->displayText());
    QCOMPARE(shown, (QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"03-123-4567"_s, u"03-123-4568"_s,
                                 u"05     -    "_s}));
    // Edits not saved are dropped: showing again reads the file as it is then.
    Put(dialog, u"EdtFamilyName"_s, u"changed"_s);
    Click(dialog, u"CancelBtn"_s);
    QVERIFY(!dialog.isVisible());
    QVERIFY(WriteTextLines(home.Path(kFile), {u"x"_s, u"y"_s, u"z"_s}));
    QVERIFY(Open(dialog));
    QCOMPARE(Field(dialog, u"EdtFirstName"_s)->text(), u"x"_s);
    QCOMPARE(Field(dialog, u"EdtFamilyName"_s)->text(), u"y"_s);
    QCOMPARE(FocusName(dialog), u"EdtFirstName"_s);
  }

  void keys() {
    TestHome home;
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    QStringList order{FocusName(dialog)};
    for (int i = 0; i < 7; ++i) {
      QTest::keyClick(dialog.focusWidget(), i % 2 ? Qt::Key_Down : Qt::Key_Return);
      order.append(FocusName(dialog));
    }
    QCOMPARE(order, kFields);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Up);
    QCOMPARE(FocusName(dialog), u"MaskEdtMobile"_s);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Up);
    QCOMPARE(FocusName(dialog), u"MaskEdtFax"_s);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Home);
    QCOMPARE(FocusName(dialog), u"EdtFirstName"_s);
    QVERIFY(dialog.isVisible());
    QVERIFY(home.prompter.Asked().empty());
  }

  void unsupportedCharacterRefused() {
    TestHome home;
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    Put(dialog, u"EdtFamilyName"_s, u"לוי"_s);
    QLineEdit* family = Field(dialog, u"EdtFamilyName"_s);
    family->end(false);
    QTest::sendKeyEvent(QTest::Click, family, Qt::Key_unknown, u"\U0001F600"_s, Qt::NoModifier);
    QCOMPARE(family->text(), u"לוי"_s);
    QCOMPARE(home.prompter.Asked().size(), size_t{1});
    QVERIFY(home.prompter.Asked()[0].text.contains(u"\U0001F600"_s));
  }

  void writeFailureKeepsDialogOpen() {
    TestHome home;
    QDir(home.Path(QString())).mkdir(kFile);
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    for (const QString& name : kFields.mid(0, 3)) Put(dialog, name, u"א"_s);
    Click(dialog, u"OKBtn"_s);
    QVERIFY(dialog.isVisible());
    QCOMPARE(home.prompter.AskedTexts(), QStringList{u"לא ניתן לשמור את הפרטים האישיים"_s});
  }
};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::PrivateDataTest)
#include "private_data_test.moc"
