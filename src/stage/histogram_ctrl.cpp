#include "stage/histogram_ctrl.h"

#include <QCoreApplication>
#include <QEvent>

#include "stage/stage.h"

namespace sonavera::stage {
namespace {

const QEvent::Type kTickEvent = static_cast<QEvent::Type>(QEvent::User + WM_STAGE_TICK);

}  // namespace

CHistogramCtrl::CHistogramCtrl(Stage& owner, const std::atomic<int>& stageTimerOff, QWidget* parent)
    : QWidget(parent),
      stage(owner),
      // Runs on the timer thread: posting an event is all it may do.
      ticker([this] { QCoreApplication::postEvent(this, new QEvent(kTickEvent)); }, stageTimerOff) {
  setAttribute(Qt::WA_NoSystemBackground);
  setFixedSize(800, 600);
  stage.SetTickStarter([this] { StartTick(); });
}

CHistogramCtrl::~CHistogramCtrl() {
  ticker.Stop();
  stage.SetTickStarter(nullptr);
  QCoreApplication::removePostedEvents(this, kTickEvent);
}

bool CHistogramCtrl::event(QEvent* event) {
  if (event->type() == kTickEvent) {
    stage.onStageTick();
    return true;
  }
  return QWidget::event(event);
}

void CHistogramCtrl::paintEvent(QPaintEvent*) {
  // The engine's own child widget draws the stage.
}

}  // namespace sonavera::stage
