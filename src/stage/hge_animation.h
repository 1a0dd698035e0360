#pragma once

#include "stage/hge_sprite.h"

namespace sonavera::stage {

// Animation modes (combine one of each pair).
inline constexpr int HGEANIM_FWD = 0;
inline constexpr int HGEANIM_REV = 1;
inline constexpr int HGEANIM_PINGPONG = 2;
inline constexpr int HGEANIM_NOPINGPONG = 0;
inline constexpr int HGEANIM_LOOP = 4;
inline constexpr int HGEANIM_NOLOOP = 0;

/// A sprite whose frames lie in the texture left to right from (x, y), continuing at the left edge
/// of the texture one row lower when a row is full. Starts stopped on frame 0, mode forward + loop.
class hgeAnimation : public hgeSprite {
 public:
  hgeAnimation(HTEXTURE tex, int frames, float fps, float x, float y, float w, float h);

  /// Starts from the first frame of the mode (the last one for reverse).
  void Play();
  /// Pauses on the current frame.
  void Stop() { playing = false; }
  void Resume() { playing = true; }
  /// Advances by dt seconds of frame time.
  void Update(float dt);
  bool IsPlaying() const { return playing; }

  void SetTexture(HTEXTURE tex);
  void SetTextureRect(float x, float y, float w, float h);
  /// Resets the direction and frame for the mode, without starting playback.
  void SetMode(int mode);
  void SetSpeed(float fps) { period = fps != 0 ? 1.0f / fps : 0.0f; }
  void SetFrame(int n);
  void SetFrames(int n) { frames = n > 0 ? n : 1; }

  int GetMode() const { return mode; }
  float GetSpeed() const { return period != 0 ? 1.0f / period : 0.0f; }
  int GetFrame() const { return currentFrame; }
  int GetFrames() const { return frames; }

 private:
  int originX, originY;  // texture position of frame 0
  int textureWidth;      // original width of the texture
  int frames;
  int mode = HGEANIM_FWD | HGEANIM_LOOP;
  int delta = 1;
  float period;
  float elapsed = -1.0f;  // -1: the next Update only starts the clock
  bool playing = false;
  int currentFrame = 0;
};

}  // namespace sonavera::stage
