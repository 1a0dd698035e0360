#include "platform/engine/scene_painter.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPolygonF>

namespace sonavera::platform {

namespace {

// The mean of the four corner colours: the painter tints a quad with one colour.
std::uint32_t QuadColor(const hgeQuad& quad) {
  const std::uint32_t c0 = quad.v[0].col;
  if (quad.v[1].col == c0 && quad.v[2].col == c0 && quad.v[3].col == c0) return c0;
  std::uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    std::uint32_t sum = 0;
    for (const hgeVertex& v : quad.v) sum += (v.col >> shift) & 0xFF;
    result |= ((sum + 2) / 4) << shift;
  }
  return result;
}

bool Near(float a, float b) { return std::fabs(a - b) < 1e-4f; }

}  // namespace

ScenePainter::ScenePainter(TextureStore& textures) : textures(textures) { SetSize(800, 600); }

void ScenePainter::SetSize(int width, int height) {
  frame = QImage(std::max(1, width), std::max(1, height), QImage::Format_ARGB32_Premultiplied);
  frame.fill(0xFF000000);
}

void ScenePainter::Begin() {
  inScene = true;
  clearPending = false;
  primitives.clear();
  lines.clear();
  quads.clear();
}

void ScenePainter::Clear(std::uint32_t color) {
  // Clearing colour and depth hides everything queued before it.
  clearPending = true;
  clearColor = color;
  primitives.clear();
  lines.clear();
  quads.clear();
}

void ScenePainter::Line(float x1, float y1, float x2, float y2, std::uint32_t color, float z) {
  if (!inScene) return;
  primitives.push_back({z, static_cast<std::uint32_t>(lines.size()), true});
  lines.push_back({x1, y1, x2, y2, color});
}

void ScenePainter::Quad(const hgeQuad& quad) {
  if (!inScene) return;
  primitives.push_back({quad.v[0].z, static_cast<std::uint32_t>(quads.size()), false});
  quads.push_back(quad);
}

void ScenePainter::End() {
  if (!inScene) return;
  inScene = false;
  if (clearPending) frame.fill(QColor::fromRgba(clearColor));
  if (depthOrdering) {
    std::stable_sort(primitives.begin(), primitives.end(),
                     [](const Primitive& a, const Primitive& b) { return a.z > b.z; });
  }
  QPainter painter(&frame);
  for (const Primitive& p : primitives) {
    if (p.isLine) {
      PaintLine(painter, lines[p.index]);
    } else {
      PaintQuad(painter, quads[p.index]);
    }
  }
}

void ScenePainter::PaintLine(QPainter& painter, const LineCmd& line) {
  if ((line.color >> 24) == 0) return;
  if (!std::isfinite(line.x1) || !std::isfinite(line.y1) || !std::isfinite(line.x2) || !std::isfinite(line.y2)) return;
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setOpacity(1.0);
  const QColor color = QColor::fromRgba(line.color);
  // Lines cover the pixels from the first end up to, not including, the last end.
  if (line.y1 == line.y2) {
    const int left = static_cast<int>(std::lround(std::min(line.x1, line.x2)));
    const int right = static_cast<int>(std::lround(std::max(line.x1, line.x2)));
    if (right > left) painter.fillRect(QRect(left, static_cast<int>(std::floor(line.y1)), right - left, 1), color);
  } else if (line.x1 == line.x2) {
    const int top = static_cast<int>(std::lround(std::min(line.y1, line.y2)));
    const int bottom = static_cast<int>(std::lround(std::max(line.y1, line.y2)));
    if (bottom > top) painter.fillRect(QRect(static_cast<int>(std::floor(line.x1)), top, 1, bottom - top), color);
  } else {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(color, 0));
    painter.drawLine(QPointF(line.x1, line.y1), QPointF(line.x2, line.y2));
  }
}

void ScenePainter::PaintUntextured(QPainter& painter, const hgeQuad& quad, std::uint32_t color) {
  const QColor rgb = QColor::fromRgb(color | 0xFF000000);
  const hgeVertex* v = quad.v;
  if (v[0].y == v[1].y && v[2].y == v[3].y && v[0].x == v[3].x && v[1].x == v[2].x) {
    painter.fillRect(QRectF(QPointF(v[0].x, v[0].y), QPointF(v[2].x, v[2].y)).normalized(), rgb);
    return;
  }
  QPolygonF polygon;
  for (const hgeVertex& corner : quad.v) polygon << QPointF(corner.x, corner.y);
  painter.setPen(Qt::NoPen);
  painter.setBrush(rgb);
  painter.drawPolygon(polygon);
  painter.setBrush(Qt::NoBrush);
}

void ScenePainter::PaintQuad(QPainter& painter, const hgeQuad& quad) {
  for (const hgeVertex& corner : quad.v) {
    if (!std::isfinite(corner.x) || !std::isfinite(corner.y) || !std::isfinite(corner.tx) ||
        !std::isfinite(corner.ty)) {
      return;  // a broken particle or sprite setting draws nothing rather than garbage
    }
  }
  const std::uint32_t color = QuadColor(quad);
  const int alpha = static_cast<int>(color >> 24);
  if (alpha == 0) return;  // nothing of it passes the alpha test
  const bool colorAdd = (quad.blend & BLEND_COLORADD) != 0;
  const bool alphaBlend = (quad.blend & BLEND_ALPHABLEND) != 0;
  painter.setCompositionMode(alphaBlend ? QPainter::CompositionMode_SourceOver : QPainter::CompositionMode_Plus);
  painter.setOpacity(alpha / 255.0);

  const QImage* drawable = quad.tex ? textures.Drawable(quad.tex) : nullptr;
  if (drawable == nullptr) {
    PaintUntextured(painter, quad, color);
    return;
  }
  const float texW = static_cast<float>(drawable->width()), texH = static_cast<float>(drawable->height());
  const hgeVertex* v = quad.v;
  float u[4], t[4];
  for (int i = 0; i < 4; ++i) u[i] = v[i].tx * texW, t[i] = v[i].ty * texH;

  // The affine map from texels to the stage, fixed by corners 0, 1 and 3.
  const double a = u[1] - u[0], b = t[1] - t[0], c = u[3] - u[0], d = t[3] - t[0];
  const double det = a * d - b * c;
  if (std::fabs(det) < 1e-9) return;
  const double X1 = v[1].x - v[0].x, Y1 = v[1].y - v[0].y, X3 = v[3].x - v[0].x, Y3 = v[3].y - v[0].y;
  const double xu = (X1 * d - X3 * b) / det, xt = (X3 * a - X1 * c) / det;
  const double yu = (Y1 * d - Y3 * b) / det, yt = (Y3 * a - Y1 * c) / det;
  const double ox = v[0].x - xu * u[0] - xt * t[0], oy = v[0].y - yu * u[0] - yt * t[0];

  QRectF source(QPointF(*std::min_element(u, u + 4), *std::min_element(t, t + 4)),
                QPointF(*std::max_element(u, u + 4), *std::max_element(t, t + 4)));
  source = source.intersected(QRectF(0, 0, texW, texH));
  if (source.isEmpty()) return;

  const QImage* image = drawable;
  QRectF cut = source;
  if ((color & 0xFFFFFF) != 0xFFFFFF || colorAdd) {
    const QRect cell = source.toAlignedRect().intersected(drawable->rect());
    image = textures.Tinted(quad.tex, cell, color, colorAdd);
    if (image == nullptr) return;
    cut = source.translated(-cell.topLeft());
  }

  if (Near(static_cast<float>(xt), 0) && Near(static_cast<float>(yu), 0) && xu > 0 && yt > 0) {
    // Axis-aligned: no transform, scaled only when the sizes differ.
    const QRectF target(xu * source.x() + ox, yt * source.y() + oy, xu * source.width(), yt * source.height());
    const bool scaled = !Near(static_cast<float>(xu), 1) || !Near(static_cast<float>(yt), 1);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, scaled);
    painter.drawImage(target, *image, cut);
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.setTransform(QTransform(xu, yu, xt, yt, ox, oy));
  painter.drawImage(source, *image, cut);
  painter.resetTransform();
}

}  // namespace sonavera::platform
