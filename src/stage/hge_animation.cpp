#include "stage/hge_animation.h"

namespace sonavera::stage {

hgeAnimation::hgeAnimation(HTEXTURE tex, int frames, float fps, float x, float y, float w, float h)
    : hgeSprite(tex, x, y, w, h),
      originX(static_cast<int>(x)),
      originY(static_cast<int>(y)),
      textureWidth(tex ? hge->Texture_GetWidth(tex, true) : 0),
      frames(frames > 0 ? frames : 1),
      period(fps != 0 ? 1.0f / fps : 0.0f) {
  SetFrame(0);
}

void hgeAnimation::SetMode(int newMode) {
  mode = newMode;
  if (mode & HGEANIM_REV) {
    delta = -1;
    SetFrame(frames - 1);
  } else {
    delta = 1;
    SetFrame(0);
  }
}

void hgeAnimation::Play() {
  playing = true;
  elapsed = -1.0f;
  SetMode(mode);
}

void hgeAnimation::Update(float dt) {
  if (!playing) return;
  if (elapsed == -1.0f) {
    elapsed = 0;  // the first update after Play only starts the clock
    return;
  }
  elapsed += dt;
  if (period <= 0) return;
  while (elapsed >= period) {
    elapsed -= period;
    const int next = currentFrame + delta;
    if (next >= 0 && next < frames) {
      SetFrame(next);
    } else if (mode & HGEANIM_PINGPONG) {
      // Reaching the end the trip started from finishes a non-looping ping-pong.
      const bool tripDone = (mode & HGEANIM_REV) ? next >= frames : next < 0;
      if (tripDone && !(mode & HGEANIM_LOOP)) {
        playing = false;
        return;
      }
      delta = -delta;  // bounce without repeating the turn-around frame
      const int back = currentFrame + delta;
      SetFrame(back >= 0 && back < frames ? back : currentFrame);
    } else if (mode & HGEANIM_LOOP) {
      SetFrame(next);  // wraps
    } else {
      playing = false;
      return;
    }
  }
}

void hgeAnimation::SetFrame(int n) {
  n %= frames;
  if (n < 0) n += frames;
  currentFrame = n;

  const int w = static_cast<int>(cutWidth), h = static_cast<int>(cutHeight);
  int u = originX, v = originY;
  if (w > 0) {
    u = originX + n * w;
    if (textureWidth > 0 && u > textureWidth - w) {
      // Past the end of the first row: later rows run from the left edge of the texture.
      const int m = (textureWidth - originX) / w;
      const int cols = textureWidth / w;
      const int j = n - m;
      if (cols > 0) {
        u = w * (j % cols);
        v = originY + h * (1 + j / cols);
      }
    }
  }
  tx = static_cast<float>(u), ty = static_cast<float>(v);
  UpdateTexCoords();
}

void hgeAnimation::SetTexture(HTEXTURE tex) {
  hgeSprite::SetTexture(tex);
  textureWidth = tex ? hge->Texture_GetWidth(tex, true) : 0;
  SetFrame(currentFrame);
}

void hgeAnimation::SetTextureRect(float x, float y, float w, float h) {
  hgeSprite::SetTextureRect(x, y, w, h, true);
  originX = static_cast<int>(x), originY = static_cast<int>(y);
  SetFrame(currentFrame);
}

}  // namespace sonavera::stage
