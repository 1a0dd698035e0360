#include "stage/avi.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/video/video_reader.h"
#include "stage/hge_sprite.h"

namespace sonavera::stage {
namespace {

// Size of the white stand-in texture when the file cannot be read.
constexpr int kBlankSize = 64;

}  // namespace

AVI::AVI(const std::string& path, int loop, HGE* engine)
    : loopMode(loop), hge(engine), reader(std::make_unique<platform::VideoReader>()) {
  if (hge && reader->Open(hge->Resource_MakePath(path.c_str()))) {
    videoWidth = reader->Width();
    videoHeight = reader->Height();
    frameCount = reader->FrameCount();
    secondsPerFrame = static_cast<double>(reader->Scale()) / reader->Rate();
    duration = frameCount * secondsPerFrame;
  } else {
    reader.reset();
  }
  const int texWidth = videoWidth > 0 ? videoWidth : kBlankSize;
  const int texHeight = videoHeight > 0 ? videoHeight : kBlankSize;
  if (hge) texture = hge->Texture_Create(texWidth, texHeight);
  if (texture) {
    if (std::uint32_t* pixels = hge->Texture_Lock(texture, false)) {
      const int pitch = hge->Texture_GetWidth(texture);
      std::fill(pixels, pixels + static_cast<size_t>(pitch) * hge->Texture_GetHeight(texture),
                0xFFFFFFFFu);
      hge->Texture_Unlock(texture);
    }
  }
  sprite = std::make_unique<hgeSprite>(texture, 0.0f, 0.0f, static_cast<float>(texWidth),
                                       static_cast<float>(texHeight));
  sprite->SetColor(0xFFFFFFFF);
  sprite->SetZ(0.9f);
  displayWidth = static_cast<float>(texWidth);
  displayHeight = static_cast<float>(texHeight);
  state = Playing;
  currentFrame = firstFrame;
}

AVI::~AVI() {
  reader.reset();
  sprite.reset();
  if (hge && texture) hge->Texture_Free(texture);
}

bool AVI::IsOpen() const { return reader != nullptr; }

void AVI::SetDisplayRect(float x, float y, float width, float height) {
  displayX = x;
  displayY = y;
  displayWidth = width;
  displayHeight = height;
}

void AVI::Update() {
  if (state != Playing || !reader || secondsPerFrame <= 0) return;
  const double now = hge->Timer_GetTime();
  if (frameTime == -1) frameTime = now;
  const auto steps = static_cast<int>(std::floor((now - frameTime) / secondsPerFrame));
  if (steps <= 0) return;
  currentFrame += steps;
  frameTime += steps * secondsPerFrame;
  if (currentFrame >= firstFrame + frameCount) {
    if (loopMode == 0) {
      Stop();
      return;
    }
    currentFrame = firstFrame;
  }
  CopyFrame();
}

void AVI::CopyFrame() {
  const platform::VideoFrame* frame = reader->Frame(currentFrame - firstFrame);
  if (!frame || !texture) return;
  std::uint32_t* pixels = hge->Texture_Lock(texture, false);
  if (!pixels) return;
  const int pitch = hge->Texture_GetWidth(texture);
  const int width = std::min(frame->width, pitch);
  const int height = std::min(frame->height, hge->Texture_GetHeight(texture));
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* src = frame->rows + static_cast<size_t>(y) * frame->stride;
    std::uint32_t* dst = pixels + static_cast<size_t>(y) * pitch;
    switch (frame->bitsPerPixel) {
      case 24:
        for (int x = 0; x < width; ++x, src += 3)
          dst[x] = 0xFF000000u | (std::uint32_t(src[2]) << 16) | (std::uint32_t(src[1]) << 8) | src[0];
        break;
      case 16:
        for (int x = 0; x < width; ++x, src += 2) {
          const std::uint32_t v = src[0] | (std::uint32_t(src[1]) << 8);
          dst[x] = 0xFF000000u | (((v >> 10) & 0x1F) << 19) | (((v >> 5) & 0x1F) << 11) |
                   ((v & 0x1F) << 3);
        }
        break;
      case 32:
        // The highest alpha bit is forced on: a frame is never less than half opaque.
        for (int x = 0; x < width; ++x, src += 4) {
          std::uint32_t v;
          std::memcpy(&v, src, 4);
          dst[x] = v | 0x80000000u;
        }
        break;
      default:
        break;
    }
  }
  hge->Texture_Unlock(texture);
}

void AVI::Draw() {
  if (!sprite) return;
  if (displayWidth == sprite->GetWidth() && displayHeight == sprite->GetHeight())
    sprite->Render(displayX, displayY);
  else
    sprite->RenderStretch(displayX, displayY, displayX + displayWidth, displayY + displayHeight);
}

void AVI::Play() {
  if (state == Playing) return;
  state = Playing;
  if (hge) frameTime = hge->Timer_GetTime();
}

void AVI::Pause() {
  if (state == Playing) state = Paused;
}

void AVI::Stop() {
  currentFrame = firstFrame;
  state = Stopped;
}

int AVI::GetState() { return state; }

}  // namespace sonavera::stage
