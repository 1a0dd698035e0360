#pragma once

#include <memory>
#include <string>

#include "stage/hge.h"

namespace sonavera::platform {
class VideoReader;
}

namespace sonavera::stage {

class hgeSprite;

/// A background video: the first video stream of a file, copied frame by frame into an engine
/// texture of the video's size and drawn as a sprite into a display rectangle. Timing follows the
/// engine timer (Timer_GetTime), not the song clock; late frames are skipped, never queued.
class AVI {
 public:
  enum State { Stopped = 0, Playing = 1, Paused = 2 };

  /// Opens `path` (loop mode 0: stop at the end, 1: start again) and starts playing. A file that
  /// cannot be opened, or has no video stream, leaves a white texture that never changes.
  /// `engine` must outlive the video.
  AVI(const std::string& path, int loopMode, HGE* engine);
  virtual ~AVI();
  AVI(const AVI&) = delete;
  AVI& operator=(const AVI&) = delete;

  /// Advances to the frame of the current engine time and copies it into the texture.
  virtual void Update();
  /// Draws into the display rectangle (stretched unless it has the video's size).
  virtual void Draw();
  virtual void Play();
  virtual void Pause();
  /// Rewinds to the first frame and stops.
  virtual void Stop();
  virtual int GetState();

  void SetDisplayRect(float x, float y, float width, float height);
  bool IsOpen() const;
  int Width() const { return videoWidth; }
  int Height() const { return videoHeight; }
  int CurrentFrame() const { return currentFrame; }
  int FrameCount() const { return frameCount; }
  double SecondsPerFrame() const { return secondsPerFrame; }
  double Duration() const { return duration; }
  HTEXTURE Texture() const { return texture; }

 private:
  void CopyFrame();

  int state = Stopped;
  int loopMode = 0;
  HTEXTURE texture = 0;
  std::unique_ptr<hgeSprite> sprite;
  HGE* hge = nullptr;
  std::unique_ptr<platform::VideoReader> reader;
  int firstFrame = 0;
  int currentFrame = 0;
  int frameCount = 0;
  double secondsPerFrame = 0;
  double duration = 0;
  double frameTime = -1;  // engine time of the current frame; -1 before the first update
  int videoWidth = 0, videoHeight = 0;
  float displayX = 0, displayY = 0, displayWidth = 0, displayHeight = 0;
};

}  // namespace sonavera::stage
