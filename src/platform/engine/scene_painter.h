#pragma once

#include <cstdint>
#include <vector>

#include <QImage>

#include "platform/engine/hge.h"
#include "platform/engine/texture_store.h"

class QPainter;

namespace sonavera::platform {

/// Collects the lines and quads of one scene and paints them into the frame when the scene ends,
/// farthest first as a depth buffer would show them (smaller z in front; equal z in call order).
/// User-interface thread only.
class ScenePainter {
 public:
  explicit ScenePainter(TextureStore& textures);

  void SetSize(int width, int height);
  /// With depth ordering off the primitives are painted in call order.
  void SetDepthOrdering(bool on) { depthOrdering = on; }

  void Begin();
  void Clear(std::uint32_t color);
  void Line(float x1, float y1, float x2, float y2, std::uint32_t color, float z);
  void Quad(const hgeQuad& quad);
  void End();
  bool InScene() const { return inScene; }

  /// The last finished frame.
  const QImage& Frame() const { return frame; }

 private:
  struct LineCmd {
    float x1, y1, x2, y2;
    std::uint32_t color;
  };
  struct Primitive {
    float z;
    std::uint32_t index;  // into lines or quads
    bool isLine;
  };

  void PaintLine(QPainter& painter, const LineCmd& line);
  void PaintQuad(QPainter& painter, const hgeQuad& quad);
  void PaintUntextured(QPainter& painter, const hgeQuad& quad, std::uint32_t color);

  TextureStore& textures;
  QImage frame;
  bool depthOrdering = true;
  bool inScene = false;
  bool clearPending = false;
  std::uint32_t clearColor = 0;
  std::vector<Primitive> primitives;
  std::vector<LineCmd> lines;
  std::vector<hgeQuad> quads;
};

}  // namespace sonavera::platform
