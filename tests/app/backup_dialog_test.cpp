#include "app/backup/backup_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "core/files/line_file.h"
#include "core/register/open_account.h"
#include "tests/app/register_home.h"
#include "widgets/path_text.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

template <typename T>
T* Child(QWidget& window, const QString& name) {
  T* child = window.findChild<T*>(name);
  if (child == nullptr) qFatal("no control %s", qPrintable(name));
  return child;
}

AccountDefinition Account(const QString& name, const QString& base) {
  AccountDefinition a;
  a.name = name;
  a.file_base = base;
  a.account_number = u"100"_s;
  return a;
}

void WriteAccounts(const QString& folder, const std::vector<AccountDefinition>& accounts) {
  AccountList list;
  for (const auto& a : accounts) list.Append(a);
  QVERIFY(list.Write(QDir(folder).filePath(u"Accts.dat"_s)));
}

QByteArray Bytes(const QString& path) { return ReadFileBytes(path).value_or("<none>"); }

// One whole record of an account file.
QByteArray Rows(const QByteArray& text) {
  return "100\r\n\r\n\r\n1/12/2026\r\n\r\n\r\n" + text + "\r\n\r\n";
}

// Selects the list's entries of these names, as clicks would.
void Select(QWidget& dialog, const QStringList& names) {
  auto* list = Child<QListWidget>(dialog, u"ListBox1"_s);
  for (const QString& name : names) {
    const auto found = list->findItems(name, Qt::MatchExactly);
    QVERIFY(found.size() == 1);
    found.front()->setSelected(true);
  }
}

QStringList Listed(QWidget& dialog) {
  auto* list = Child<QListWidget>(dialog, u"ListBox1"_s);
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
  return names;
}

}  // namespace

class BackupDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void SpaceLineAndOkButton() {
    struct Case {
      const char* why;
      qint64 free;
      QStringList selected;
      QString caption;
      bool enabled;
    };
    const Case cases[] = {
        {"nothing selected on a roomy volume", 1 << 20, {}, u"פנוי: 1,024Kb, דרוש: 0Kb"_s, true},
        {"3000 bytes wanted, 2 KB free", 2048, {u"בית"_s}, u"פנוי: 2Kb, דרוש: 3Kb"_s, false},
        {"a drive not ready", 0, {}, u"פנוי: 0Kb, דרוש: 0Kb"_s, false},
    };
    for (const Case& c : cases) {
      TestHome home;
      QTemporaryDir volume;
      WriteAccounts(QDir(home.Path({})).path(), {Account(u"בית"_s, u"Xct1"_s)});
      QVERIFY(WriteFileAtomic(home.Path(u"Xct1.dat"_s), QByteArray(3000, 'x')));
      TBackItUp dialog(home.services, [&] {
        return std::vector<BackupVolume>{{u"דיסק"_s, volume.path(), true, c.free}};
      });
      dialog.show();
      Select(dialog, c.selected);
      auto* panel = Child<QLabel>(dialog, u"Panel1"_s);
      QVERIFY2(panel->text() == c.caption, c.why);
      QVERIFY2(Child<QPushButton>(dialog, u"BtnDoIt"_s)->isEnabled() == c.enabled, c.why);
      QCOMPARE(panel->palette().color(QPalette::Window),
               c.enabled ? QColor(192, 192, 192) : QColor(255, 0, 0));
    }
  }

  void BackupThenRestoreThroughTheDialog() {
    TestHome home;
    QTemporaryDir volume;
    const QString live = QDir(home.Path({})).path();
    WriteAccounts(live, {Account(u"בית"_s, u"Xct1"_s), Account(u"עסק"_s, u"Xct2"_s)});
    QVERIFY(WriteFileAtomic(home.Path(u"Xct1.dat"_s), Rows("home rows")));
    QVERIFY(WriteFileAtomic(home.Path(u"Xct2.dat"_s), Rows("business rows")));
    const QByteArray list_before = Bytes(home.Path(u"Accts.dat"_s));
    TBackItUp dialog(home.services, [&] {
      return std::vector<BackupVolume>{{u"דיסק"_s, volume.path(), true, 1 << 20}};
    });
    const QString folder = volume.path() + u"/Cheque/BackUp"_s;

    dialog.show();
    QCOMPARE(Listed(dialog), (QStringList{u"בית"_s, u"עסק"_s}));
    Select(dialog, {u"בית"_s, u"עסק"_s});
    home.prompter.Answer(MessageAnswer::kYes);
    QTest::mouseClick(Child<QPushButton>(dialog, u"BtnDoIt"_s), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const auto& asked = home.prompter.Asked();
    QCOMPARE(asked.size(), size_t{2});
    QCOMPARE(asked[0].caption, u"לאישורך"_s);
    QCOMPARE(asked[0].text, u" ? "_s + PathText(folder) + u" גיבוי לכונן "_s);
    QCOMPARE(asked[0].kind, MessageKind::kConfirmation);
    QCOMPARE(asked[1].caption, u"לידיעתך"_s);
    QCOMPARE(asked[1].text, u"הגיבוי הסתיים בהצלחה"_s);
    QVERIFY(!Child<QWidget>(dialog, u"Gauge1"_s)->isVisible());

    // The business account is deleted, then restored from the backup.
    WriteAccounts(live, {Account(u"בית"_s, u"Xct1"_s)});
    QVERIFY(QFile::remove(home.Path(u"Xct2.dat"_s)));
    home.prompter.Forget();
    dialog.show();
    QTest::mouseClick(Child<QPushButton>(dialog, u"SBRestore"_s), Qt::LeftButton);
    QVERIFY(!Child<QWidget>(dialog, u"Panel1"_s)->isVisible());
    QCOMPARE(Listed(dialog), (QStringList{u"בית"_s, u"עסק"_s}));
    auto* ok = Child<QPushButton>(dialog, u"BtnDoIt"_s);
    QVERIFY(!ok->isEnabled());
    Select(dialog, {u"עסק"_s});
    QVERIFY(ok->isEnabled());
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(home.prompter.AskedTexts(), QStringList{u"השחזור הסתיים בהצלחה"_s});
    QCOMPARE(dialog.RestoredAccounts(), QStringList{u"עסק"_s});
    QCOMPARE(Bytes(home.Path(u"Accts.dat"_s)), list_before);
    QCOMPARE(Bytes(home.Path(u"Xct2.dat"_s)), Rows("business rows"));
  }

  // Restoring over an account asks first; "לא" leaves everything as it was.
  void RestoreAsksAndNoChangesNothing() {
    TestHome home;
    QTemporaryDir volume;
    const QString live = QDir(home.Path({})).path();
    const QString folder = volume.path() + u"/Cheque/BackUp"_s;
    QVERIFY(QDir().mkpath(folder));
    WriteAccounts(folder, {Account(u"בית"_s, u"Xct1"_s)});
    QVERIFY(WriteFileAtomic(folder + u"/Xct1.dat"_s, Rows("backed up")));
    {
      QFile dated(folder + u"/Xct1.dat"_s);
      QVERIFY(dated.open(QIODevice::Append));
      dated.setFileTime(QDateTime(QDate(2026, 12, 3), QTime(14, 20)),
                        QFileDevice::FileModificationTime);
    }
    WriteAccounts(live, {Account(u"בית"_s, u"Xct1"_s)});
    QVERIFY(WriteFileAtomic(home.Path(u"Xct1.dat"_s), Rows("typed a minute ago")));
    const QStringList files_before = QDir(live).entryList(QDir::Files);
    TBackItUp dialog(home.services, [&] {
      return std::vector<BackupVolume>{{u"דיסק"_s, volume.path(), true, 1 << 20}};
    });
    dialog.show();
    QTest::mouseClick(Child<QPushButton>(dialog, u"SBRestore"_s), Qt::LeftButton);
    QCOMPARE(Child<QLabel>(dialog, u"Label2"_s)->text(), u":לשחזר מכונן"_s);
    Select(dialog, {u"בית"_s});
    home.prompter.Answer(MessageAnswer::kNo);
    QTest::mouseClick(Child<QPushButton>(dialog, u"BtnDoIt"_s), Qt::LeftButton);
    QCOMPARE(home.prompter.Asked().size(), size_t{1});
    QCOMPARE(home.prompter.Asked()[0].caption, u"לאישורך"_s);
    QCOMPARE(home.prompter.Asked()[0].text,
             u"לשחזר את: בית (גיבוי מ-3/12/2026 14:20)? הנתונים הנוכחיים של חשבונות אלה יוחלפו"_s);
    QVERIFY(dialog.RestoredAccounts().isEmpty());
    QCOMPARE(Bytes(home.Path(u"Xct1.dat"_s)), Rows("typed a minute ago"));
    QCOMPARE(QDir(live).entryList(QDir::Files), files_before);
    QTest::mouseClick(Child<QPushButton>(dialog, u"SBBackup"_s), Qt::LeftButton);
    QCOMPARE(Child<QLabel>(dialog, u"Label2"_s)->text(), u":לגבות לכונן"_s);
  }

  // After the active account is restored, the register shows the restored
  // rows, and the next save keeps them.
  void RestoredActiveAccountIsReadAgain() {
    Started s;
    QVERIFY(Start(s, {{u""_s, u"5"_s, u""_s, u""_s, u""_s, u"חדש"_s, u"1/12/2026"_s, u""_s}}));
    QTemporaryDir volume;
    const QString folder = volume.path() + u"/Cheque/BackUp"_s;
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::copy(s.home.Path(u"Accts.dat"_s), folder + u"/Accts.dat"_s));
    Register old;
    old.SetCell(0, kIncomeColumn, u"7"_s);
    old.SetCell(0, kDescriptionColumn, u"מגובה"_s);
    old.SetCell(0, kDateColumn, u"2/12/2026"_s);
    old.AddEmptyRow();
    QVERIFY(SaveAccountFile(folder + u"/Xct1.dat"_s, old));
    s.window.Backup().SetVolumeSource([&] {
      return std::vector<BackupVolume>{{u"דיסק"_s, volume.path(), true, 1 << 20}};
    });

    s.home.prompter.Answer(MessageAnswer::kYes);  // to the question naming בית
    ModalScript script;
    script.Expect(u"TBackItUp"_s, [](QWidget* dialog) {
      QTest::mouseClick(Child<QPushButton>(*dialog, u"SBRestore"_s), Qt::LeftButton);
      Select(*dialog, {u"בית"_s});
      QTest::mouseClick(Child<QPushButton>(*dialog, u"BtnDoIt"_s), Qt::LeftButton);
    });
    QTest::mouseClick(s.Tool(u"ImgBak"), Qt::LeftButton);
    QVERIFY(script.Done());
    QCOMPARE(Column(s.reg(), kDescriptionColumn), QStringList{u"מגובה"_s});
    QVERIFY(s.window.SaveAccount());
    Register saved;
    QVERIFY(OpenAccountFile(s.home.Path(u"Xct1.dat"_s), u"0", QDate(2026, 12, 7), saved).Loaded());
    QCOMPARE(Column(saved, kDescriptionColumn), QStringList{u"מגובה"_s});
  }
};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::BackupDialogTest)
#include "backup_dialog_test.moc"
