#include "bench/window/window_home.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QWidget>

#include "bench/account_generator.h"
#include "core/categories/category_tree.h"
#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/files/program_folder.h"

namespace cheque::bench {
namespace {

constexpr int kRows = 1000000;

class StillClock final : public Clock {
 public:
  QDateTime Now() const override { return QDateTime(kWindowToday, QTime(10, 0)); }
};

class CautiousPrompter final : public Prompter {
 public:
  MessageAnswer HebrewMessageBox(const QString&, const QString&, MessageKind,
                                 MessageButtons buttons, QWidget*) override {
    switch (buttons) {
      case MessageButtons::kOk:
        return MessageAnswer::kOk;
      case MessageButtons::kYesNo:
      case MessageButtons::kYesNoDefaultNo:
        return MessageAnswer::kNo;
      case MessageButtons::kOkCancel:
        return MessageAnswer::kCancel;
    }
    return MessageAnswer::kCancel;
  }
};

class SilentSounds final : public Sounds {
 public:
  void Play(const QString&, bool) override {}
};

class NoShell final : public Shell {
 public:
  bool Open(const QUrl&) override { return true; }
};

class NoPrinter final : public PrintTarget {
 public:
  bool Print(const QString&, const QString&, int, const Pages&, QWidget*,
             QPageLayout::Orientation) override {
    return false;
  }
};

}  // namespace

WindowHome& WindowHome::Get() {
  static WindowHome home;
  return home;
}

WindowHome::WindowHome() {
  static StillClock clock;
  static CautiousPrompter prompter;
  static SilentSounds sounds;
  static NoShell shell;
  static NoPrinter printer;
  services_ = Services{&clock, &prompter, &sounds, &shell, &printer};
  QLocale::setDefault(QLocale(QLocale::Hebrew, QLocale::Israel));
  qputenv("CHEQUE_HOME", dir_.path().toUtf8());
  for (const char16_t* name : {u"DCateg.dat", u"DCategB.dat"}) {
    QFile::copy(QStringLiteral(CHEQUE_ASSETS "/") + QString::fromUtf16(name),
                dir_.filePath(QString::fromUtf16(name)));
  }
  AccountDefinition account;
  account.name = QStringLiteral("עסק");
  account.file_base = QStringLiteral("Xct1");
  WriteFileAtomic(AccountFilePath(dir_.path(), account.file_base),
                  GenerateAccountFile(kRows, QStringLiteral(CHEQUE_ASSETS)));
  AccountList list;
  list.Append(account);
  list.Write(dir_.filePath(file_names::kAccountList));
  account_name_ = account.name;
  // To try the program itself on the same account.
  if (qEnvironmentVariableIsSet("CHEQUE_BENCH_KEEP_HOME")) {
    dir_.setAutoRemove(false);
    qInfo("program folder kept: %s", qPrintable(dir_.path()));
  }
}

ReportSettings EverythingForTenYears() {
  using namespace Qt::StringLiterals;
  WindowHome& home = WindowHome::Get();
  ReportSettings settings;
  settings.accounts = {home.AccountName()};
  settings.types = {u"אחר"_s,   u"שק"_s,       u"מזומן"_s,  u"אשראי"_s, u"הלוואה"_s,
                    u"הו\"ק"_s, u"חיוב בנק"_s, u"משכנתא"_s, u"העברה"_s};
  const QDir folder(home.Folder());
  for (const QString& tree_file :
       {file_names::kDefaultPrivateTree, file_names::kDefaultBusinessTree}) {
    CategoryTree tree;
    tree.ReadFile(folder.filePath(tree_file));
    for (int i = 0; i < tree.Size(); ++i) settings.categories << tree.FullPath(i);
  }
  settings.categories.sort();
  settings.categories.removeDuplicates();
  settings.from = kWindowToday.addYears(-10);
  settings.to = kWindowToday;
  return settings;
}

void PaintNow(QWidget& widget) {
  if (!widget.isVisible()) widget.show();
  widget.repaint();
  QApplication::processEvents();
}

}  // namespace cheque::bench
