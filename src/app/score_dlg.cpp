#include "app/score_dlg.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QResizeEvent>
#include <cmath>

namespace sonavera::app {
namespace {

// The score sits in the upper part of the picture, the two buttons along its bottom edge; both are
// placed in fractions of the panel so they follow it while it grows.
constexpr double kScoreTop = 0.22, kScoreHeight = 0.46;
constexpr double kButtonTop = 0.76, kButtonHeight = 0.15, kButtonWidth = 0.34;

}  // namespace

CScoreDlg::CScoreDlg(std::string programFolder, const std::string& picturePath, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      player(*this, std::move(programFolder)) {
  setObjectName("251");
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  picture.load(QString::fromStdString(picturePath));
  playButton = new QPushButton(QString::fromUtf8(audio::ScoreDlgPlayer::kPlayCaption), this);
  playButton->setObjectName("1111");
  playButton->setAutoDefault(false);
  playButton->setFocusPolicy(Qt::NoFocus);
  okButton = new QPushButton(QStringLiteral("OK"), this);
  okButton->setObjectName("1");
  okButton->setAutoDefault(false);
  okButton->setFocusPolicy(Qt::NoFocus);
  connect(playButton, &QPushButton::clicked, this, [this] {
    player.OnButton();
    ShowCaption();
  });
  connect(okButton, &QPushButton::clicked, this, [this] { player.OnOk(); });
  connect(&timer, &QTimer::timeout, this, [this] {
    player.OnTimer();
    ShowCaption();
  });
  resize(400, 300);
}

CScoreDlg::~CScoreDlg() {
  if (animation != nullptr) animation->stop();
  timer.stop();
}

void CScoreDlg::SetResult(float score, const std::string& filePath, int endSeconds) {
  player.SetResult(score, filePath, endSeconds);
  ShowCaption();
  update();
}

void CScoreDlg::ShowOver(const QRect& globalRect, bool animate) {
  if (animation != nullptr) animation->stop();
  // Without control over window placement (Wayland) a growing window cannot be shown.
  const bool canAnimate = animate && QGuiApplication::platformName() != QStringLiteral("wayland");
  if (!canAnimate) {
    setGeometry(globalRect);
    show();
    raise();
    return;
  }
  if (animation == nullptr) {
    animation = new QPropertyAnimation(this, "geometry", this);
    animation->setDuration(kShowAnimationMs);
    animation->setEasingCurve(QEasingCurve::OutCubic);
  }
  const QRect seed(globalRect.center(), QSize(2, 2));
  setGeometry(seed);
  show();
  raise();
  animation->setStartValue(seed);
  animation->setEndValue(globalRect);
  animation->start();
}

bool CScoreDlg::Animating() const {
  return animation != nullptr && animation->state() == QAbstractAnimation::Running;
}

void CScoreDlg::HidePanel() {
  if (animation != nullptr) animation->stop();
  if (player.playing()) player.OnButton();  // stops both players and the timer
  ShowCaption();
  hide();
}

QString CScoreDlg::ScoreText(float score) {
  if (!(score > 0.0f)) return QStringLiteral("0.0");  // NaN too
  if (score >= 100.0f) return QStringLiteral("100");
  // Truncated like the rest of the scores, so 99.96 never reads as 100.0.
  const double tenths = std::floor(static_cast<double>(score) * 10.0 + 1e-4);
  return QString::number(tenths / 10.0, 'f', 1);
}

void CScoreDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!picture.isNull()) {
    painter.drawImage(rect(), picture);
  } else {
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, QColor(0x3A, 0x2A, 0x6A));
    fill.setColorAt(1, QColor(0x10, 0x0C, 0x24));
    painter.fillRect(rect(), fill);
  }
  const QRectF box(0, height() * kScoreTop, width(), height() * kScoreHeight);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setBold(true);
  font.setPixelSize(std::max(1, static_cast<int>(box.height() * 0.8)));
  // Large digits with a dark outline, so they read on any part of the picture.
  QPainterPath digits;
  const QString text = ScoreText(player.score());
  const QFontMetricsF metrics(font);
  const QRectF bounds = metrics.tightBoundingRect(text);
  const QPointF origin(box.center().x() - bounds.center().x(), box.center().y() - bounds.center().y());
  digits.addText(origin, font, text);
  painter.setPen(QPen(QColor(0x30, 0x10, 0x00), std::max(1.0, box.height() * 0.04)));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(digits);
  QLinearGradient gold(0, box.top(), 0, box.bottom());
  gold.setColorAt(0, QColor(0xFF, 0xF4, 0xB0));
  gold.setColorAt(1, QColor(0xFF, 0xA8, 0x20));
  painter.fillPath(digits, gold);
}

void CScoreDlg::resizeEvent(QResizeEvent* event) {
  const int w = event->size().width(), h = event->size().height();
  const int bw = static_cast<int>(w * kButtonWidth), bh = static_cast<int>(h * kButtonHeight);
  const int top = static_cast<int>(h * kButtonTop);
  playButton->setGeometry(w / 4 - bw / 2, top, bw, bh);
  okButton->setGeometry(3 * w / 4 - bw / 2, top, bw, bh);
  QDialog::resizeEvent(event);
}

void CScoreDlg::reject() {
  // Esc counts as OK: the players stop before the panel goes.
  player.OnOk();
}

void CScoreDlg::StartTimer(int periodMs) {
  timer.start(periodMs);
}

void CScoreDlg::StopTimer() {
  timer.stop();
}

void CScoreDlg::Repaint() {
  ShowCaption();
  update();
}

void CScoreDlg::ClosePanel() {
  if (animation != nullptr) animation->stop();
  hide();
}

void CScoreDlg::ShowCaption() {
  playButton->setText(QString::fromUtf8(player.caption().c_str()));
}

}  // namespace sonavera::app
