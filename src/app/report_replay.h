#pragma once

#include <string>
#include <vector>

#include "platform/engine/hge.h"

namespace sonavera::app {

/// The sound the line replay drives: the stage's music effect and channel.
class ReplayChannels {
 public:
  virtual ~ReplayChannels() = default;
  /// Stops the playing channel (the loaded sound stays).
  virtual void StopChannel() = 0;
  /// Stops and frees what plays, loads `file` (an empty sound when it cannot be loaded), plays it
  /// once at full volume and moves it to `seconds`.
  virtual void PlayFrom(const std::string& file, float seconds) = 0;
  /// Position of the playing channel in seconds.
  virtual float Position() = 0;
};

/// ReplayChannels over the engine and the stage's `musicEffect` / `musicChannel` handles.
class HgeReplayChannels : public ReplayChannels {
 public:
  HgeReplayChannels(platform::HGE& hge, platform::HEFFECT& musicEffect, platform::HCHANNEL& musicChannel)
      : hge(hge), musicEffect(musicEffect), musicChannel(musicChannel) {}
  void StopChannel() override;
  void PlayFrom(const std::string& file, float seconds) override;
  float Position() override;

 private:
  platform::HGE& hge;
  platform::HEFFECT& musicEffect;
  platform::HCHANNEL& musicChannel;
};

/// What the replay needs of the finished performance.
struct ReplaySource {
  int bestLine = -1;
  int worstLine = -1;
  std::vector<float> lineStart;  ///< seconds from the start of the song audio
  std::vector<float> lineEnd;
  std::string programFolder;  ///< ends in '/'; holds "temp.wav", the singer's recording
  std::string songFolder;     ///< no trailing '/'; holds "music1.mp3", the original vocals
};

/// Plays a line with the original vocals and then with the singer's recording. Phases: 0 idle,
/// 1 best line original, 2 best line recording, 3 worst line original, 4 worst line recording.
class ReportReplay {
 public:
  ReportReplay(ReplayChannels& channels, ReplaySource source)
      : channels(channels), source(std::move(source)) {}

  /// Starts the best (or worst) line from its original vocals; false (nothing done) when there is
  /// no such line.
  bool Start(bool best);
  /// One watch tick (every 200 ms); false when the replay has ended and the watch can stop.
  bool Tick();
  int Phase() const { return replayPhase; }

 private:
  bool HasLine(int line) const;

  ReplayChannels& channels;
  ReplaySource source;
  int replayPhase = 0;
};

}  // namespace sonavera::app
