#include "draw_helpers.h"

#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace sonavera::artwork {

bool Output::Save(const QImage& image, const std::string& name) const {
  return SaveAt(image, "Images/" + name);
}

bool Output::SaveAt(const QImage& image, const std::string& relativePath) const {
  const QString path = QString::fromStdString(programFolder + relativePath);
  QDir().mkpath(QFileInfo(path).absolutePath());
  return image.save(path, "PNG");
}

QImage NewPicture(int width, int height, QColor fill) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  return image;
}

void Antialias(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QFont LatinFont(int pixelSize, bool bold) {
  QFont font("DejaVu Sans");
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

QFont CjkFont(int pixelSize, bool bold) {
  QFont font("WenQuanYi Micro Hei");
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

void GlowText(QPainter& p, const QRectF& box, const QString& text, const QFont& font, QColor top,
              QColor bottom, QColor glow) {
  QPainterPath path;
  const QFontMetricsF metrics(font);
  const QRectF bounds = metrics.tightBoundingRect(text);
  const qreal x = box.center().x() - bounds.width() / 2 - bounds.left();
  const qreal y = box.center().y() - bounds.height() / 2 - bounds.top();
  path.addText(QPointF(x, y), font, text);

  p.save();
  // Glow: a few widening, fading strokes behind the letters.
  for (int i = 4; i >= 1; --i) {
    QColor c = glow;
    c.setAlphaF(glow.alphaF() * 0.18);
    p.strokePath(path, QPen(c, i * 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  }
  p.strokePath(path, QPen(QColor(20, 20, 40, 230), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  QLinearGradient fill(0, path.boundingRect().top(), 0, path.boundingRect().bottom());
  fill.setColorAt(0, top);
  fill.setColorAt(1, bottom);
  p.fillPath(path, fill);
  p.restore();
}

void RoundedPanel(QPainter& p, const QRectF& box, qreal radius, QColor top, QColor bottom,
                  QColor rim) {
  p.save();
  QLinearGradient g(box.topLeft(), box.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.setBrush(g);
  p.setPen(QPen(rim, 1.5));
  p.drawRoundedRect(box.adjusted(0.75, 0.75, -0.75, -0.75), radius, radius);
  p.restore();
}

void GlowDot(QPainter& p, QPointF centre, qreal radius, QColor core) {
  p.save();
  QRadialGradient g(centre, radius);
  QColor mid = core;
  mid.setAlphaF(core.alphaF() * 0.45);
  QColor rim = core;
  rim.setAlpha(0);
  g.setColorAt(0, core);
  g.setColorAt(0.35, mid);
  g.setColorAt(1, rim);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(centre, radius, radius);
  p.restore();
}

QPainterPath DownArrowPath(const QRectF& cell) {
  const qreal w = cell.width();
  const qreal h = cell.height();
  const qreal l = cell.left();
  const qreal t = cell.top();
  QPainterPath path;
  path.moveTo(l + 0.36 * w, t + 0.10 * h);
  path.lineTo(l + 0.64 * w, t + 0.10 * h);
  path.lineTo(l + 0.64 * w, t + 0.48 * h);
  path.lineTo(l + 0.88 * w, t + 0.48 * h);
  path.lineTo(l + 0.50 * w, t + 0.90 * h);
  path.lineTo(l + 0.12 * w, t + 0.48 * h);
  path.lineTo(l + 0.36 * w, t + 0.48 * h);
  path.closeSubpath();
  return path;
}

void DownArrow(QPainter& p, const QRectF& cell, QColor fillTop, QColor fillBottom, QColor rim,
               bool outlineOnly) {
  const QPainterPath path = DownArrowPath(cell);
  p.save();
  if (outlineOnly) {
    QColor inner = fillTop;
    inner.setAlpha(60);
    p.fillPath(path, inner);
    p.strokePath(path, QPen(rim, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(path, QPen(fillBottom, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  } else {
    QLinearGradient g(cell.topLeft(), cell.bottomLeft());
    g.setColorAt(0, fillTop);
    g.setColorAt(1, fillBottom);
    p.fillPath(path, g);
    p.strokePath(path, QPen(rim, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  }
  p.restore();
}

void Star(QPainter& p, QPointF centre, qreal outer, qreal inner, QColor fill, QColor rim) {
  QPainterPath path;
  for (int i = 0; i < 10; ++i) {
    const qreal r = (i % 2 == 0) ? outer : inner;
    const qreal a = -M_PI / 2 + i * M_PI / 5;
    const QPointF pt(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
    if (i == 0)
      path.moveTo(pt);
    else
      path.lineTo(pt);
  }
  path.closeSubpath();
  p.save();
  QRadialGradient g(centre, outer);
  g.setColorAt(0, Qt::white);
  g.setColorAt(1, fill);
  p.fillPath(path, g);
  p.strokePath(path, QPen(rim, 1.0));
  p.restore();
}

}  // namespace sonavera::artwork
