#include "stage/stage_ticker.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <thread>

#include "stage/histogram_ctrl.h"
#include "stage_rig.h"

namespace sonavera::testing {
namespace {

// Polls until `done` holds; false after a generous limit (a stuck clock, not a slow one).
template <typename Done>
bool WaitFor(Done done) {
  for (int i = 0; i < 5000 && !done(); ++i) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return done();
}

TEST(StageTicker, PostsTicksAndStopsItselfWhenSwitchedOff) {
  std::atomic<int> off{0};
  std::atomic<int> ticks{0};
  stage::StageTicker ticker([&] { ++ticks; }, off);
  ticker.Start();
  ticker.Start();  // a second start while running keeps one timer
  ASSERT_TRUE(WaitFor([&] { return ticks.load() >= 3; }));
  EXPECT_TRUE(ticker.Running());
  off = 1;
  ASSERT_TRUE(WaitFor([&] { return !ticker.Running(); }));
  const int stopped = ticks.load();
  EXPECT_EQ(ticker.Posted(), stopped);
  // The next performance starts it again.
  off = 0;
  ticker.Start();
  ASSERT_TRUE(WaitFor([&] { return ticks.load() > stopped; }));
}

TEST(HistogramCtrl, TicksRunStageFramesOnTheUserInterfaceThread) {
  StageRig rig;
  std::atomic<int> stageTimerOff{0};
  stage::CHistogramCtrl host(rig.stage, stageTimerOff);
  ASSERT_TRUE(rig.stage.initStage(&host));
  rig.stage.resetStage();  // starts the tick
  rig.stage.startSong(rig.song, "", false);
  ASSERT_TRUE(WaitFor([&] { return rig.stage.wipePos >= 50.0f; }));  // the opening wipe runs
  EXPECT_EQ(rig.stage.stageMode, stage::kOpening);
  stageTimerOff = 1;
  ASSERT_TRUE(WaitFor([&] { return !host.Ticker().Running(); }));
}

}  // namespace
}  // namespace sonavera::testing
