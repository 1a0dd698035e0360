#pragma once

#include "app/dance_stick.h"
#include "stage/stage_links.h"

namespace sonavera::app {

/// The dance lane's view of the stick: a direction is held while its mapped button is pressed.
class DanceStickInput : public stage::StickInput {
 public:
  explicit DanceStickInput(const DanceStick& stick) : stick(stick) {}
  bool DirectionHeld(stage::DanceDirection direction) override {
    static constexpr int kArrowCodes[] = {1000, 100, 10, 1};  // left, down, up, right
    return stick.DirectionPressed(kArrowCodes[direction]) != 0;
  }

 private:
  const DanceStick& stick;
};

}  // namespace sonavera::app
