#pragma once

#include <QWidget>
#include <atomic>
#include <memory>

#include "stage/stage_ticker.h"

namespace sonavera::stage {

class Stage;

/// Window message number of the stage tick.
inline constexpr int WM_STAGE_TICK = 2029;

/// The stage's host window inside the main window: a plain child widget that the engine draws
/// into, and the receiver of the 16 ms tick, which it turns into one stage frame.
class CHistogramCtrl : public QWidget {
 public:
  /// `stageTimerOff` is the main window's switch that stops the tick; it must outlive the widget.
  CHistogramCtrl(Stage& stage, const std::atomic<int>& stageTimerOff, QWidget* parent = nullptr);
  ~CHistogramCtrl() override;

  /// Starts the 16 ms tick (the stage's reset does this before each performance).
  void StartTick() { ticker.Start(); }
  StageTicker& Ticker() { return ticker; }
  /// Timer resolution in milliseconds.
  unsigned tickPeriod = 1;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Stage& stage;
  StageTicker ticker;
};

}  // namespace sonavera::stage
