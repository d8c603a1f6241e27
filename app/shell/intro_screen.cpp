#include "app/shell/intro_screen.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "app/common/form_font.h"

namespace cheque {
namespace {

constexpr int kExitArea = 3;

}  // namespace

TIntroScr::TIntroScr(Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), services_(services) {
  setObjectName(QStringLiteral("TIntroScr"));
  setWindowTitle(QStringLiteral("תזרימית"));
  SetFormFont(this);
  setFixedSize(603, 444);
  setMouseTracking(true);

  const std::pair<QRect, QString> layout[] = {
      {QRect(331, 150, 230, 70), QStringLiteral("תנועות כספיות")},
      {QRect(331, 240, 230, 70), QStringLiteral("הפקת המחאות")},
      {QRect(42, 150, 230, 70), QStringLiteral("הפקת דוחות")},
      {QRect(42, 240, 230, 70), QStringLiteral("יציאה מהתוכנית")},
  };
  const char16_t* names[] = {u"ImgIntroReg", u"ImgIntroChk", u"ImgIntroRpt", u"ImgIntroExt"};
  for (int i = 0; i < 4; ++i) {
    auto* highlight = new QLabel(layout[i].second, this);
    highlight->setObjectName(QString::fromUtf16(names[i]));
    highlight->setGeometry(layout[i].first);
    highlight->setAlignment(Qt::AlignCenter);
    highlight->setCursor(Qt::PointingHandCursor);
    highlight->setToolTip(layout[i].second);
    highlight->setStyleSheet(QStringLiteral(
        "background: #fff7b0; color: #003c78; border: 2px solid #003c78; border-radius: 8px;"
        "font-size: 16pt; font-weight: bold;"));
    highlight->setAttribute(Qt::WA_TransparentForMouseEvents);
    highlight->hide();
    areas_.push_back({layout[i].first, layout[i].second, highlight});
  }
}

void TIntroScr::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  for (auto& area : areas_) area.highlight->hide();
  services_.sounds->Play(QStringLiteral("Start.Wav"));
}

// The picture: a title, and the four areas drawn plain; the hidden highlight
// of an area shows while the mouse is over it.
void TIntroScr::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QLinearGradient sky(0, 0, 0, height());
  sky.setColorAt(0, QColor(0, 70, 130));
  sky.setColorAt(1, QColor(0, 128, 128));
  p.fillRect(rect(), sky);
  p.setPen(QColor(255, 255, 180));
  QFont title = font();
  title.setPointSize(36);
  title.setBold(true);
  p.setFont(title);
  p.drawText(QRect(0, 20, width(), 90), Qt::AlignCenter, QStringLiteral("תזרימית"));
  QFont sub = font();
  sub.setPointSize(12);
  p.setFont(sub);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 100, width(), 30), Qt::AlignCenter, QStringLiteral("תוכנת תזרים מזומנים"));
  QFont area_font = font();
  area_font.setPointSize(16);
  p.setFont(area_font);
  for (const auto& area : areas_) {
    p.setPen(QPen(QColor(255, 255, 180), 2));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(area.rect, 8, 8);
    p.setPen(Qt::white);
    p.drawText(area.rect, Qt::AlignCenter, area.hint);
  }
}

void TIntroScr::mouseMoveEvent(QMouseEvent* event) {
  for (auto& area : areas_) {
    const bool inside = area.rect.contains(event->position().toPoint());
    if (inside && !area.highlight->isVisible()) services_.sounds->Play(QStringLiteral("Menu.wav"));
    area.highlight->setVisible(inside);
  }
  setCursor(std::any_of(areas_.begin(), areas_.end(),
                        [](const HotArea& a) { return a.highlight->isVisible(); })
                ? Qt::PointingHandCursor
                : Qt::ArrowCursor);
}

void TIntroScr::mousePressEvent(QMouseEvent* event) {
  for (int i = 0; i < static_cast<int>(areas_.size()); ++i) {
    if (areas_[static_cast<size_t>(i)].rect.contains(event->position().toPoint())) {
      ChooseArea(i);
      return;
    }
  }
  ChooseArea(0);  // the background picture opens the register too
}

void TIntroScr::ChooseArea(int area) {
  if (area == kExitArea) {
    services_.sounds->Play(QStringLiteral("Close.wav"));
    reject();
    return;
  }
  services_.sounds->Play(QStringLiteral("aClick.wav"));
  chosen_page_ = area;
  accept();
}

}  // namespace cheque
