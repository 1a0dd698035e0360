#include "app/full_screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace sonavera::app {
namespace {

constexpr int kPageWidth = 800, kPageHeight = 600;
constexpr int kBoxId = 1079, kContainerId = 1014;

}  // namespace

FullScreenSinging::FullScreenSinging(QWidget& window, std::map<int, QWidget*>& controls)
    : QObject(&window), window(window), controls(controls) {
  if (const auto it = controls.find(kContainerId); it != controls.end()) container = it->second;
  box = new QCheckBox(QString::fromUtf8("全屏演唱"), &window);
  box->setObjectName(QString::number(kBoxId));
  box->setGeometry(560, 510, 120, 24);
  box->hide();  // never shown: F11 is its switch
  controls[kBoxId] = box;
  connect(box, &QCheckBox::toggled, this, [this](bool checked) { Apply(checked); });
  // Watches the window and the container, and F11 anywhere inside the window: the stage's view,
  // which has the keyboard during a song, takes every key it knows.
  qApp->installEventFilter(this);
}

bool FullScreenSinging::Checked() const {
  return box->isChecked();
}

void FullScreenSinging::Enter() {
  if (!box->isChecked())
    box->setChecked(true);  // applies through the box's signal
  else if (!active)
    Apply(true);
}

void FullScreenSinging::Leave() {
  if (box->isChecked())
    box->setChecked(false);
  else if (active)
    Apply(false);
}

void FullScreenSinging::Toggle() {
  box->setChecked(!box->isChecked());
}

QRectF FullScreenSinging::PageRect(QSize size) {
  const double scale =
      std::max(1.0, std::min(size.width() / double(kPageWidth), size.height() / double(kPageHeight)));
  const double w = kPageWidth * scale, h = kPageHeight * scale;
  return QRectF(std::max(0.0, (size.width() - w) / 2), std::max(0.0, (size.height() - h) / 2), w, h);
}

QRect FullScreenSinging::MapFromPage(const QRect& pageRect, QSize size) {
  const QRectF page = PageRect(size);
  const double scale = page.width() / kPageWidth;
  const double left = page.x() + pageRect.x() * scale, top = page.y() + pageRect.y() * scale;
  const double right = page.x() + (pageRect.x() + pageRect.width()) * scale;
  const double bottom = page.y() + (pageRect.y() + pageRect.height()) * scale;
  return QRect(QPoint(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top))),
               QPoint(static_cast<int>(std::lround(right)) - 1, static_cast<int>(std::lround(bottom)) - 1));
}

void FullScreenSinging::Apply(bool fullScreen) {
  if (fullScreen == active) return;
  if (fullScreen) {
    for (const auto& [id, control] : controls)
      if (id != kBoxId) pageGeometry.emplace(control, control->geometry());
    active = true;
    window.setMinimumSize(kPageWidth, kPageHeight);
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window.showFullScreen();
    Layout();  // the screen may be the page's own size, with no resize to follow
    return;
  }
  active = false;
  for (const auto& [control, geometry] : pageGeometry) control->setGeometry(geometry);
  pageGeometry.clear();
  if (window.isFullScreen()) window.showNormal();
  window.setFixedSize(kPageWidth, kPageHeight);
  FitStageHost();
  window.update();
}

void FullScreenSinging::Layout() {
  if (!active) return;
  const QSize size = window.size();
  for (const auto& [id, control] : controls) {
    if (id == kBoxId) continue;
    // A control made while full-screen was on is placed as the page has it now.
    const QRect page = pageGeometry.emplace(control, control->geometry()).first->second;
    control->setGeometry(id == kContainerId ? QRect(QPoint(0, 0), size) : MapFromPage(page, size));
  }
  FitStageHost();
  window.update();
}

void FullScreenSinging::FitStageHost() {
  if (container == nullptr) return;
  // The stage's host keeps itself at the stage size; it is given the container's size instead,
  // and the engine's view inside it follows.
  for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow()) continue;
    child->setFixedSize(container->size());
    child->move(0, 0);
  }
}

bool FullScreenSinging::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      auto* target = qobject_cast<QWidget*>(watched);
      if (key->key() != Qt::Key_F11 || target == nullptr) break;
      if (target != &window && !window.isAncestorOf(target)) break;
      if (!key->isAutoRepeat()) Toggle();
      return true;
    }
    case QEvent::Resize:
      if (watched == &window) Layout();
      if (watched != &window && watched == container) FitStageHost();
      break;
    case QEvent::ChildPolished:
      // The stage's host is made inside the container when the first song starts.
      if (watched == container) FitStageHost();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace sonavera::app
