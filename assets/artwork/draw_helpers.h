#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <string>

namespace sonavera::artwork {

/// Where the generator writes; every picture goes to <programFolder>/Images/.
struct Output {
  std::string programFolder;  // with trailing '/'
  bool Save(const QImage& image, const std::string& name) const;  // "Images/<name>"
  bool SaveAt(const QImage& image, const std::string& relativePath) const;
};

/// A transparent ARGB picture, ready for a painter with antialiasing.
QImage NewPicture(int width, int height, QColor fill = Qt::transparent);
void Antialias(QPainter& p);

/// Bold sans font of the given pixel size (DejaVu Sans for Latin, the CJK font for Chinese).
QFont LatinFont(int pixelSize, bool bold = true);
QFont CjkFont(int pixelSize, bool bold = false);

/// Text filled with a vertical gradient, with a dark outline and a soft glow, centred in `box`.
void GlowText(QPainter& p, const QRectF& box, const QString& text, const QFont& font, QColor top,
              QColor bottom, QColor glow);

/// A rounded panel with a vertical gradient and a light rim.
void RoundedPanel(QPainter& p, const QRectF& box, qreal radius, QColor top, QColor bottom,
                  QColor rim);

/// A soft round glow (radial gradient, transparent at the rim).
void GlowDot(QPainter& p, QPointF centre, qreal radius, QColor core);

/// A thick arrow pointing down inside a square cell; `outlineOnly` draws the target version.
void DownArrow(QPainter& p, const QRectF& cell, QColor fillTop, QColor fillBottom, QColor rim,
               bool outlineOnly);

/// A five-pointed star.
void Star(QPainter& p, QPointF centre, qreal outer, qreal inner, QColor fill, QColor rim);

/// The path of a down-pointing arrow in a cell, shared by the filled and outlined forms.
QPainterPath DownArrowPath(const QRectF& cell);

}  // namespace sonavera::artwork
