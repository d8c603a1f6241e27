// Setup's windows as the user meets them, with scripted answers.
#include "setup/setup_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/files/instance_lock.h"
#include "core/install/install.h"
#include "setup/select_dir.h"
#include "setup/setup_prompter.h"
#include "widgets/path_text.h"

namespace cheque::setup {
namespace {

class ScriptedPrompter final : public SetupPrompter {
 public:
  QList<MessageAnswer> answers;
  QStringList asked;
  MessageAnswer Ask(const QString&, const QString& text, MessageKind, MessageButtons buttons,
                    QWidget*) override {
    asked << text;
    if (buttons == MessageButtons::kOk) return MessageAnswer::kOk;
    return answers.isEmpty() ? MessageAnswer::kNo : answers.takeFirst();
  }
};

}  // namespace

class SetupWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    home_ = std::make_unique<QTemporaryDir>();
    places_.home = home_->filePath(QStringLiteral("home"));
    places_.applications = home_->filePath(QStringLiteral("apps"));
    QDir().mkpath(places_.home);
  }

  void RemoveLinkOnlyWithMarker_data() {
    QTest::addColumn<bool>("marked");
    QTest::newRow("not installed: only install is offered") << false;
    QTest::newRow("installed: remove is offered too") << true;
  }
  void RemoveLinkOnlyWithMarker() {
    QFETCH(bool, marked);
    if (marked) QVERIFY(install::WriteMarker(places_, install::DefaultTarget(places_)));
    ScriptedPrompter prompter;
    TForm1 window(places_, home_->path(), prompter);
    window.show();
    auto* remove = window.findChild<QLabel*>(QStringLiteral("Label6"));
    QVERIFY(remove);
    QCOMPARE(remove->isVisible(), marked);
    QCOMPARE(remove->isEnabled(), marked);
    QVERIFY(window.findChild<QLabel*>(QStringLiteral("Label3"))->isVisible());
  }

  // Cancel asks first; No shows the folder window again, Yes ends.
  void CancelInFolderWindowAsksAndNoReturns() {
    ScriptedPrompter prompter;
    prompter.answers = {MessageAnswer::kNo, MessageAnswer::kYes};
    TForm1 window(places_, home_->path(), prompter);
    window.show();
    int shown = 0;
    QTimer cancel;
    connect(&cancel, &QTimer::timeout, this, [&] {
      auto* folder = qobject_cast<TSlctDir*>(QApplication::activeModalWidget());
      if (!folder) return;
      ++shown;
      QCOMPARE(folder->Target(), install::DefaultTarget(places_));
      folder->findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
    });
    cancel.start(10);
    window.Install();
    cancel.stop();
    QCOMPARE(shown, 2);
    QCOMPARE(prompter.asked, QStringList(2, QStringLiteral("האם באמת ברצונך להפסיק את ההתקנה")));
    QVERIFY(!install::IsInstalled(places_));
  }

  // The volume box and the target read left to right; the chosen volume is
  // the path itself, never the text shown.
  void VolumeBoxShowsPathsLeftToRight() {
    TSlctDir folder(places_);
    auto* drives = folder.findChild<QComboBox*>(QStringLiteral("DriveComboBox1"));
    QCOMPARE(drives->layoutDirection(), Qt::LeftToRight);
    QCOMPARE(drives->itemText(0), PathText(places_.home));
    QCOMPARE(folder.Target(), install::DefaultTarget(places_));
    QCOMPARE(folder.findChild<QLabel*>(QStringLiteral("Panel1"))->text(),
             PathText(install::DefaultTarget(places_)));
  }

  // The last message names the folder and how to start the program.
  void InstalledMessageNamesFolderAndMenu() {
    QTemporaryDir source;
    QFile program(source.filePath(QStringLiteral("Cheque")));
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.close();
    ScriptedPrompter prompter;
    TForm1 window(places_, source.path(), prompter);
    window.show();
    QTimer accept;
    connect(&accept, &QTimer::timeout, this, [] {
      if (auto* folder = qobject_cast<TSlctDir*>(QApplication::activeModalWidget())) {
        folder->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
      }
    });
    accept.start(10);
    window.Install();
    accept.stop();
    QVERIFY(install::IsInstalled(places_));
    QVERIFY(!prompter.asked.isEmpty());
    const QStringList lines = prompter.asked.last().split(u'\r');
    QCOMPARE(lines.first(), QStringLiteral("ההתקנה הסתיימה בהצלחה"));
    QVERIFY(lines.contains(PathText(install::DefaultTarget(places_))));
    QVERIFY(lines.last().contains(QStringLiteral("\"תזרים מזומנים\"")));
  }

  // With the program open, removal says why it stops and deletes nothing.
  void RemoveRefusedWhileTheProgramIsOpen() {
    const QString target = install::DefaultTarget(places_);
    QVERIFY(QDir().mkpath(target));
    for (const QString& name : {install::kProgramName, install::kSetupName}) {
      QFile file(QDir(target).filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    }
    QVERIFY(install::WriteMarker(places_, target));
    InstanceLock program(InstanceLockPath(target));
    QVERIFY(program.Acquire());
    ScriptedPrompter prompter;
    prompter.answers = {MessageAnswer::kYes};
    TForm1 window(places_, home_->path(), prompter);
    window.show();
    window.Remove();
    QCOMPARE(prompter.asked.size(), 2);
    QCOMPARE(prompter.asked.last(), QStringLiteral("התוכנה פתוחה; יש לסגור אותה לפני ההסרה"));
    QVERIFY(QFile::exists(QDir(target).filePath(install::kProgramName)));
    QVERIFY(install::IsInstalled(places_));
  }

 private:
  std::unique_ptr<QTemporaryDir> home_;
  install::Places places_;
};

}  // namespace cheque::setup

QTEST_MAIN(cheque::setup::SetupWindowTest)
#include "setup_window_test.moc"
