#include "app/voice_animation.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

#include "platform/program_folder.h"

namespace sonavera::app {
namespace {

constexpr const char* kObjectName = "voiceAnimation";
constexpr int kStageWidth = 800, kStageHeight = 600;

}  // namespace

std::string VoiceAnimation::StripFile(Voice voice) {
  return voice == Voice::Man ? "Images/medley_man.png" : "Images/medley_woman.png";
}

VoiceAnimation::VoiceAnimation(QWidget* window, QWidget* area) : QWidget(window), area(area) {
  setObjectName(kObjectName);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_ShowWithoutActivating);
  hide();
  timer.setInterval(kFrameMs / 2);  // frames follow the clock; a late tick never stretches the strip
  connect(&timer, &QTimer::timeout, this, [this] { Advance(); });
  // The window hiding (closed) ends the animation with it.
  if (window != nullptr) window->installEventFilter(this);
}

VoiceAnimation& VoiceAnimation::In(QWidget& window, QWidget* area) {
  if (VoiceAnimation* existing = Find(window)) return *existing;
  return *new VoiceAnimation(&window, area);
}

VoiceAnimation* VoiceAnimation::Find(const QWidget& window) {
  return window.findChild<VoiceAnimation*>(kObjectName, Qt::FindDirectChildrenOnly);
}

int VoiceAnimation::FrameCount() const {
  return strip == nullptr ? 0 : strip->width() / kFrameWidth;
}

const QImage* VoiceAnimation::Strip(const std::string& path) {
  if (const auto it = strips.find(path); it != strips.end()) return &it->second;
  // A strip that cannot be read is tried again next time, in case it has been put in place since.
  QImage image(QString::fromStdString(path));
  // Only whole frames count; a picture smaller than one frame is as good as missing.
  if (image.width() < kFrameWidth || image.height() < kFrameHeight) return nullptr;
  image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  return &strips.emplace(path, std::move(image)).first->second;
}

bool VoiceAnimation::Play(const std::string& programFolder, Voice chosen) {
  Stop();
  strip = Strip(programFolder + StripFile(chosen));
  if (strip == nullptr) return false;
  voice = chosen;
  frame = 0;
  clock.start();
  timer.start();
  Place();
  show();
  raise();
  return true;
}

bool VoiceAnimation::Play(Voice chosen) {
  return Play(platform::ProgramFolder(), chosen);
}

void VoiceAnimation::Stop() {
  timer.stop();
  hide();
}

void VoiceAnimation::Advance() {
  const int count = FrameCount();
  const qint64 step = clock.elapsed() / kFrameMs;
  if (count == 0 || step >= static_cast<qint64>(count) * kPasses) {
    Stop();
    return;
  }
  Place();  // follows the container into and out of full screen
  const int next = static_cast<int>(step % count);
  if (next != frame) {
    frame = next;
    update();
  }
}

void VoiceAnimation::Place() {
  const QRect host = area != nullptr ? area->geometry() : QRect(0, 0, kStageWidth, kStageHeight);
  const double scale = std::min(static_cast<double>(host.width()) / kStageWidth,
                                static_cast<double>(host.height()) / kStageHeight);
  const QSize size(static_cast<int>(kFrameWidth * scale), static_cast<int>(kFrameHeight * scale));
  const QRect place(host.left() + (host.width() - size.width()) / 2,
                    host.top() + (host.height() - size.height()) / 2, size.width(), size.height());
  if (geometry() != place) setGeometry(place);
}

void VoiceAnimation::paintEvent(QPaintEvent*) {
  if (strip == nullptr) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, size() != QSize(kFrameWidth, kFrameHeight));
  painter.drawImage(QRectF(rect()), *strip, QRectF(frame * kFrameWidth, 0, kFrameWidth, kFrameHeight));
}

bool VoiceAnimation::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent() && (event->type() == QEvent::Hide || event->type() == QEvent::Close)) Stop();
  return QWidget::eventFilter(watched, event);
}

}  // namespace sonavera::app
