#include "app/report_replay.h"

#include "platform/engine/hge.h"

namespace sonavera::app {

void HgeReplayChannels::StopChannel() {
  hge.Channel_Stop(musicChannel);
}

void HgeReplayChannels::PlayFrom(const std::string& file, float seconds) {
  hge.Channel_Stop(musicChannel);
  if (musicEffect) hge.Effect_Free(musicEffect);
  musicEffect = hge.Effect_Load(file.c_str(), 0);
  musicChannel = hge.Effect_PlayEx(musicEffect, 100, 0, 1.0f, false);
  hge.Channel_SetPos(musicChannel, seconds);
}

float HgeReplayChannels::Position() {
  return hge.Channel_GetPos(musicChannel);
}

bool ReportReplay::HasLine(int line) const {
  // A line index past the song's lines would read beyond the time tables.
  return line >= 0 && static_cast<std::size_t>(line) < source.lineStart.size() &&
         static_cast<std::size_t>(line) < source.lineEnd.size();
}

bool ReportReplay::Start(bool best) {
  const int line = best ? source.bestLine : source.worstLine;
  if (!HasLine(line)) return false;
  channels.PlayFrom(source.songFolder + "/music1.mp3", source.lineStart[line]);
  replayPhase = best ? 1 : 3;
  return true;
}

bool ReportReplay::Tick() {
  const std::string recording = source.programFolder + "temp.wav";
  const int best = source.bestLine;
  const int worst = source.worstLine;
  switch (replayPhase) {
    case 1:
      if (channels.Position() >= source.lineEnd[best]) {
        channels.PlayFrom(recording, source.lineStart[best]);
        replayPhase = 2;
      }
      return true;
    case 2:
      if (channels.Position() >= source.lineEnd[best] + 0.2f) {
        channels.StopChannel();
        return false;
      }
      return true;
    case 3:
      if (channels.Position() >= source.lineEnd[worst] + 0.2f) {
        channels.PlayFrom(recording, source.lineStart[worst]);
        replayPhase = 4;
      }
      return true;
    case 4:
      if (channels.Position() >= source.lineEnd[worst]) {
        channels.StopChannel();
        return false;
      }
      return true;
    default:
      return false;
  }
}

}  // namespace sonavera::app
