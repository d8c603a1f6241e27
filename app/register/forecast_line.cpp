#include "app/register/forecast_line.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include "app/common/active_account.h"
#include "app/common/picture_tool.h"

namespace cheque {
namespace {

// While a change is under way (a sort, a dialog's OK) the rows are not read.
constexpr int kBusyRetryMilliseconds = 100;
constexpr int kFlashMilliseconds = 1500;

const QString kHelpText = QStringLiteral(
    "שורת הצפי: היום שבו היתרה הצפויה תרד מתחת למסגרת החשבון, לפי התנועות העתידיות שברשימה "
    "- תנועות צפויות, סדרות קבועות והמחאות שטרם נפרעו\n"
    "לחיצה על השורה מעמידה את הסמן על התנועה שמורידה את היתרה מתחת למסגרת\n"
    "הכפתור \"גרף צפי\" מציג את היתרה הצפויה מהיום ועד שנה קדימה, ואפשר להדפיס אותו");

}  // namespace

ForecastLine::ForecastLine(Services& services, const ActiveAccount& account, QWidget* parent)
    : QWidget(parent), services_(services), account_(account) {
  setObjectName(QStringLiteral("PanelForecast"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 0, 4, 0);
  label_ = new QLabel(this);
  label_->setObjectName(QStringLiteral("LblForecast"));
  label_->setCursor(Qt::PointingHandCursor);
  label_->installEventFilter(this);
  layout->addWidget(label_);
  layout->addStretch();
  chart_tool_ = AddPictureTool(this, QStringLiteral("SBForecast"), QStringLiteral("גרף צפי"),
                               u"forecast", *services_.sounds);
  connect(chart_tool_, &QToolButton::clicked, this, &ForecastLine::ChartRequested);
  setProperty("helpText", kHelpText);

  pending_ = new QTimer(this);
  pending_->setSingleShot(true);
  pending_->setInterval(0);
  connect(pending_, &QTimer::timeout, this, &ForecastLine::Recompute);
  connect(&account_, &ActiveAccount::AccountChanged, this, [this] {
    opened_ = true;
    Refresh();
  });
  connect(&account_, &ActiveAccount::RowsChanged, this, &ForecastLine::Refresh);
  connect(&account_, &ActiveAccount::DefinitionChanged, this, &ForecastLine::Refresh);
  Show();
}

void ForecastLine::Refresh() {
  pending_->setInterval(0);
  pending_->start();
}

QString ForecastLine::Text() const { return label_->text(); }

void ForecastLine::Recompute() {
  if (account_.IsBusy()) {
    pending_->setInterval(kBusyRetryMilliseconds);
    pending_->start();
    return;
  }
  forecast_ = account_.IsLoaded()
                  ? ComputeForecast(account_.Rows(), account_.Definition().credit_limit,
                                    services_.clock->Today())
                  : Forecast{};
  Show();
  if (!opened_ || !account_.IsLoaded()) return;
  opened_ = false;
  const Forecast& f = forecast_;
  if (ForecastWarns(f) && f.crossing && f.today.daysTo(f.crossing->day) <= kForecastWarningDays) {
    Flash();
  }
}

void ForecastLine::Show() {
  const bool loaded = account_.IsLoaded() && forecast_.today.isValid();
  label_->setText(loaded ? ForecastLineText(forecast_) : QString());
  const bool warns = loaded && ForecastWarns(forecast_);
  label_->setStyleSheet((warns ? QStringLiteral("color: #ff0000;") : QString()) +
                        (flashing_ ? QStringLiteral("background: #ffff00;") : QString()));
  chart_tool_->setEnabled(loaded);
  QString help = kHelpText;
  if (warns && forecast_.crossing) {
    const qint64 days = forecast_.today.daysTo(forecast_.crossing->day);
    help.prepend(QStringLiteral("שים לב: לפי התנועות שברשימה היתרה תרד מתחת למסגרת בעוד %1 ימים\n")
                     .arg(days));
  }
  setProperty("helpText", help);
}

void ForecastLine::Flash() {
  flashing_ = true;
  Show();
  // With the help mode on, its window tells what the line means.
  if (auto* help = window()->findChild<QLabel*>(QStringLiteral("HelpText"))) {
    if (help->isVisible()) help->setText(property("helpText").toString());
  }
  QTimer::singleShot(kFlashMilliseconds, this, [this] {
    flashing_ = false;
    Show();
  });
}

bool ForecastLine::eventFilter(QObject* watched, QEvent* event) {
  if (watched == label_ && event->type() == QEvent::MouseButtonRelease) {
    // A change still waiting to be read may have moved the row.
    if (pending_->isActive() && !account_.IsBusy()) Recompute();
    if (ForecastWarns(forecast_) && forecast_.crossing && forecast_.crossing->row >= 0) {
      emit RowRequested(forecast_.crossing->row);
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace cheque
