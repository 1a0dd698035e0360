// Pictures of the dance lane: targets, moving arrows, glow, ratings and the combo counter.
// Every arrow points down; the stage rotates it to the direction it shows.
#include "pictures.h"

#include <QLinearGradient>

#include <cmath>

namespace sonavera::artwork {
namespace {

QRectF Cell(int frame, int columns = 4) {
  return QRectF((frame % columns) * 64, (frame / columns) * 64, 64, 64);
}

// Target outline, four frames of a slow pulse.
QImage TargetStrip() {
  QImage img = NewPicture(256, 64);
  QPainter p(&img);
  Antialias(p);
  for (int f = 0; f < 4; ++f) {
    const int glow = 60 + 40 * (f < 2 ? f : 4 - f);
    GlowDot(p, Cell(f).center(), 30, QColor(140, 200, 255, glow));
    DownArrow(p, Cell(f).adjusted(4, 4, -4, -4), QColor(200, 230, 255),
              QColor(255, 255, 255), QColor(60, 120, 220), true);
  }
  return img;
}

// A coloured arrow strip of `frames` cells with a highlight band that runs down the arrow.
QImage ArrowFrames(int frames, int columns, QColor hueBase, bool cycleHue) {
  QImage img = NewPicture(columns * 64, ((frames + columns - 1) / columns) * 64);
  QPainter p(&img);
  Antialias(p);
  for (int f = 0; f < frames; ++f) {
    const QRectF cell = Cell(f, columns);
    QColor base = hueBase;
    if (cycleHue) base = QColor::fromHsv((hueBase.hue() + f * 360 / frames) % 360, 200, 255);
    QColor dark = base.darker(180);
    DownArrow(p, cell.adjusted(3, 3, -3, -3), base.lighter(130), dark, QColor(255, 255, 255, 230),
              false);
    // Shine band moving from top to bottom through the frames.
    const qreal bandY = cell.top() + 10 + (44.0 * f / std::max(1, frames - 1));
    p.save();
    p.setClipPath(DownArrowPath(cell.adjusted(3, 3, -3, -3)));
    QLinearGradient band(0, bandY - 6, 0, bandY + 6);
    band.setColorAt(0, QColor(255, 255, 255, 0));
    band.setColorAt(0.5, QColor(255, 255, 255, 150));
    band.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(cell.left(), bandY - 6, 64, 12), band);
    p.restore();
  }
  return img;
}

QImage ArrowGlow() {
  QImage img = NewPicture(64, 64);
  QPainter p(&img);
  Antialias(p);
  GlowDot(p, QPointF(32, 32), 32, QColor(255, 255, 200, 200));
  const QPainterPath path = DownArrowPath(QRectF(2, 2, 60, 60));
  p.strokePath(path, QPen(QColor(255, 240, 150, 160), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.strokePath(path, QPen(QColor(255, 255, 255, 230), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  return img;
}

// Five 145 x 37 rows: ratings 1 (perfect) to 5 (miss).
QImage DanceRatings() {
  QImage img = NewPicture(145, 185);
  QPainter p(&img);
  Antialias(p);
  const char* words[] = {"PERFECT", "GREAT", "GOOD", "BAD", "MISS"};
  const QColor tops[] = {QColor(255, 250, 160), QColor(170, 240, 255), QColor(180, 255, 170),
                         QColor(255, 200, 160), QColor(230, 230, 240)};
  const QColor bottoms[] = {QColor(255, 150, 20), QColor(40, 150, 255), QColor(40, 190, 70),
                            QColor(220, 90, 40), QColor(130, 130, 150)};
  for (int i = 0; i < 5; ++i)
    GlowText(p, QRectF(0, 37 * i, 145, 37), words[i], LatinFont(24), tops[i], bottoms[i], bottoms[i]);
  return img;
}

QImage ComboLabel() {
  QImage img = NewPicture(96, 32);
  QPainter p(&img);
  Antialias(p);
  GlowText(p, QRectF(0, 0, 96, 32), "COMBO", LatinFont(19), QColor(255, 255, 210),
           QColor(255, 120, 200), QColor(255, 80, 180));
  return img;
}

// Digits in 44 x 66 cells: 0..4 on the top row, 5..9 on the second.
QImage ComboDigits() {
  QImage img = NewPicture(220, 132);
  QPainter p(&img);
  Antialias(p);
  for (int d = 0; d < 10; ++d) {
    const QRectF cell((d % 5) * 44, (d / 5) * 66, 44, 66);
    GlowText(p, cell, QString::number(d), LatinFont(50), QColor(255, 255, 230),
             QColor(255, 110, 190), QColor(255, 60, 170));
  }
  return img;
}

}  // namespace

bool WriteDancePictures(const Output& out) {
  bool ok = out.Save(TargetStrip(), "hudarrow.png");
  ok &= out.Save(DanceRatings(), "judgement.png");
  ok &= out.Save(ArrowGlow(), "arrowglow.png");
  ok &= out.Save(ArrowFrames(16, 4, QColor(255, 80, 80), true), "arrowY.png");
  ok &= out.Save(ArrowFrames(4, 4, QColor(230, 80, 230), false), "leftnote.png");
  ok &= out.Save(ArrowFrames(4, 4, QColor(60, 200, 255), false), "downnote.png");
  ok &= out.Save(ArrowFrames(4, 4, QColor(80, 230, 110), false), "upnote.png");
  ok &= out.Save(ArrowFrames(4, 4, QColor(255, 160, 50), false), "rightnote.png");
  ok &= out.Save(ComboLabel(), "continue.png");
  ok &= out.Save(ComboDigits(), "continum.png");
  return ok;
}

}  // namespace sonavera::artwork
