#pragma once

#include "judge/judge_ports.h"
#include "stage/stage.h"

namespace sonavera::stage {

/// The stage as the judge reaches it: the singer's marker and the accompaniment's channel.
class StageJudgeLink : public judge::StageLink {
 public:
  explicit StageJudgeLink(Stage& stage) : stage(stage) {}
  void SetSingerMarker(int y, int nearFlag, int hitFlag, int missFlag) override {
    stage.SetSingerMarker(y, nearFlag, hitFlag, missFlag);
  }
  void StopMusic() override { stage.stopMusic(); }

 private:
  Stage& stage;
};

}  // namespace sonavera::stage
