#include "setup/setup_window.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>

#include "setup/select_dir.h"
#include "setup/setup_prompter.h"
#include "setup/splash.h"
#include "widgets/path_text.h"
#include "widgets/program_version.h"

namespace cheque::setup {

namespace {

constexpr int kWidth = 520;
constexpr int kHeight = 340;
const QString kAqua = QStringLiteral("#00ffff");
const QString kYellow = QStringLiteral("#ffff00");

QString LinkStyle(const QString& colour) { return QStringLiteral("color: ") + colour + u';'; }

}  // namespace

QString InstalledMessage(const QString& target) {
  return QStringLiteral("ההתקנה הסתיימה בהצלחה\rהתוכנית הותקנה בתיקייה\r") + PathText(target) +
         QStringLiteral("\rלהפעלתה בחר \"תזרים מזומנים\" בתפריט היישומים");
}

TForm1::TForm1(const install::Places& places, const QString& source, SetupPrompter& prompter,
               QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      places_(places),
      source_(source),
      prompter_(prompter),
      splash_(new TSplash(this)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("התקנת תזרים מזומנים"));
  setWindowIcon(QIcon(QStringLiteral(":/setup/cheque.svg")));
  setLayoutDirection(Qt::RightToLeft);
  setFixedSize(kWidth, kHeight);
  setMouseTracking(true);

  auto* background = new QLabel(this);
  background->setObjectName(QStringLiteral("Image1"));
  background->setGeometry(0, 0, kWidth, kHeight);
  background->setStyleSheet(QStringLiteral(
      "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #0b2a4a, stop:1 #1d5c8a);"));
  background->setMouseTracking(true);

  auto* title = new QLabel(QStringLiteral("תוכנת תזרים מזומנים, התקנה"), this);
  title->setObjectName(QStringLiteral("Label1"));
  title->setFont(QFont(QStringLiteral("Guttman Yad-Light"), 20));
  title->setStyleSheet(LinkStyle(QStringLiteral("white")));
  title->setAlignment(Qt::AlignCenter);
  title->setGeometry(0, 20, kWidth, 50);

  label3_ = AddLink(QStringLiteral("Label3"), QStringLiteral("בצע התקנה"), 100);
  label6_ = AddLink(QStringLiteral("Label6"), QStringLiteral("בצע הסרה"), 170);
  label3_->setCursor(Qt::PointingHandCursor);
  if (!install::IsInstalled(places_)) {
    for (QLabel* label : {label6_, findChild<QLabel*>(QStringLiteral("Label6Shadow"))}) {
      label->hide();
      label->setEnabled(false);
    }
  }

  image2_ = new QLabel(this);
  image2_->setObjectName(QStringLiteral("Image2"));
  image2_->setPixmap(QIcon(QStringLiteral(":/setup/exit.svg")).pixmap(40, 40));
  image2_->setGeometry(30, 250, 40, 40);
  image2_->setCursor(Qt::PointingHandCursor);
  image2_->installEventFilter(this);
  image2_->hide();
  auto* exit = new QLabel(QStringLiteral("יציאה"), this);
  exit->setObjectName(QStringLiteral("Label7"));
  exit->setStyleSheet(LinkStyle(QStringLiteral("white")));
  exit->setGeometry(80, 255, 80, 30);
  exit->setCursor(Qt::PointingHandCursor);
  exit->installEventFilter(this);

  auto* version = new QLabel(VersionCaption(), this);
  version->setObjectName(QStringLiteral("Version"));
  version->setStyleSheet(LinkStyle(QStringLiteral("white")));
  version->setGeometry(kWidth - 130, 255, 110, 30);
  version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  gauge_ = new QProgressBar(this);
  gauge_->setObjectName(QStringLiteral("Gauge1"));
  gauge_->setLayoutDirection(Qt::LeftToRight);
  gauge_->setGeometry(10, kHeight - 30, kWidth - 20, 20);
  gauge_->hide();
}

QLabel* TForm1::AddLink(const QString& name, const QString& text, int top) {
  QFont font(QStringLiteral("Guttman Yad"));
  font.setPixelSize(27);
  auto* bevel = new QFrame(this);
  bevel->setObjectName(name + QStringLiteral("Bevel"));
  bevel->setFrameStyle(QFrame::Box | QFrame::Raised);
  bevel->setStyleSheet(QStringLiteral("border: 2px outset #c0c0c0;"));
  bevel->setGeometry(kWidth / 2 - 110, top - 6, 220, 52);
  bevel->hide();
  auto* shadow = new QLabel(text, this);
  shadow->setObjectName(name + QStringLiteral("Shadow"));
  shadow->setFont(font);
  shadow->setStyleSheet(LinkStyle(QStringLiteral("black")));
  shadow->setAlignment(Qt::AlignCenter);
  shadow->setGeometry(kWidth / 2 - 100 + 2, top + 2, 200, 40);
  auto* link = new QLabel(text, this);
  link->setObjectName(name);
  link->setFont(font);
  link->setStyleSheet(LinkStyle(kAqua));
  link->setAlignment(Qt::AlignCenter);
  link->setGeometry(kWidth / 2 - 100, top, 200, 40);
  link->setCursor(Qt::PointingHandCursor);
  link->setProperty("bevel", QVariant::fromValue(static_cast<QObject*>(bevel)));
  link->installEventFilter(this);
  return link;
}

void TForm1::Highlight(QLabel* link, bool on) {
  link->setStyleSheet(LinkStyle(on ? kYellow : kAqua));
  if (auto* bevel = qobject_cast<QFrame*>(link->property("bevel").value<QObject*>())) {
    bevel->setVisible(on);
  }
}

void TForm1::mouseMoveEvent(QMouseEvent* event) {
  Highlight(label3_, false);
  Highlight(label6_, false);
  image2_->setVisible(image2_->geometry().adjusted(-10, -10, 90, 10).contains(event->pos()));
  QWidget::mouseMoveEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  auto* link = qobject_cast<QLabel*>(watched);
  if (link == label3_ || link == label6_) {
    if (event->type() == QEvent::Enter) Highlight(link, true);
    if (event->type() == QEvent::Leave) Highlight(link, false);
    if (event->type() == QEvent::MouseButtonRelease && link->isEnabled() && !busy_) {
      if (link == label3_) {
        Install();
      } else {
        Remove();
      }
      return true;
    }
  } else if (link && event->type() == QEvent::MouseButtonRelease) {
    close();  // the exit picture or its label
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TForm1::Tell(const QString& text, bool error) {
  prompter_.Ask(error ? QStringLiteral("שגיאה") : QStringLiteral("לידיעתך"), text,
                error ? MessageKind::kError : MessageKind::kInformation, MessageButtons::kOk, this);
}

void TForm1::Install() {
  QString target;
  for (;;) {
    TSlctDir folder(places_, this);
    if (folder.exec() == QDialog::Accepted) {
      target = folder.Target();
      break;
    }
    if (prompter_.Ask(QStringLiteral("לאישורך"), QStringLiteral("האם באמת ברצונך להפסיק את ההתקנה"),
                      MessageKind::kConfirmation, MessageButtons::kYesNo,
                      this) == MessageAnswer::kYes) {
      close();
      return;
    }
  }
  // The copy may run past the old fixed maximum; the bar then grows with it.
  gauge_->setRange(0, std::max(740, install::CountBlocks(source_)));
  gauge_->setValue(0);
  gauge_->show();
  busy_ = true;
  const install::Outcome outcome = install::Install(source_, target, places_, [this] {
    gauge_->setValue(gauge_->value() + 1);
    QCoreApplication::processEvents();
  });
  busy_ = false;
  gauge_->hide();
  if (!outcome.error.isEmpty()) {
    Tell(outcome.error, true);
    return;
  }
  if (!outcome.entries_done) Tell(QStringLiteral("לא ניתן ליצור צלמית, נסה ידנית"), true);
  Tell(InstalledMessage(target), false);
  close();
}

void TForm1::Remove() {
  if (prompter_.Ask(QStringLiteral("לאישורך"),
                    QStringLiteral("האם באמת ברצונך להסיר את התוכנית מהדיסק הקשיח\r\rבהסרה ימחקו "
                                   "גם כל חשבונותיך והדוחות שהכנת"),
                    MessageKind::kConfirmation, MessageButtons::kYesNo,
                    this) != MessageAnswer::kYes) {
    return;
  }
  splash_->SetStatus(QStringLiteral("בביצוע הסרה מלאה של התוכנית"));
  splash_->show();
  busy_ = true;
  const install::Outcome outcome =
      install::Uninstall(places_, [this](const QString& text) { splash_->SetStatus(text); });
  busy_ = false;
  splash_->hide();
  if (!outcome.error.isEmpty()) {
    Tell(outcome.error, true);
    return;
  }
  if (!outcome.entries_done) Tell(QStringLiteral("לא ניתן למחוק צלמית, נסה ידנית"), true);
  const QString left = install::LeftNotice(outcome);
  Tell(QStringLiteral("ההסרה הסתיימה בהצלחה") +
           (left.isEmpty() ? QString() : QStringLiteral("\r\r") + left),
       false);
  close();
}

}  // namespace cheque::setup
