// Pictures of the performance screen: particle sheet, pitch marker, score bar, top panels,
// backdrop, wipe strips, banners and line ratings.
#include "pictures.h"

#include "draw_helpers.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

namespace sonavera::artwork {
namespace {

// 4 x 4 sheet of 32 x 32 particles. Cell (1,1) is the sparkle of the particle systems, (2,2) the
// note star, (2,3) the countdown dot; the others are spare shapes in the same style.
QImage ParticleSheet() {
  QImage img = NewPicture(128, 128);
  QPainter p(&img);
  Antialias(p);
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      const QPointF c(col * 32 + 16, row * 32 + 16);
      if (col == 2 && row == 2) {
        Star(p, c, 15, 6.5, QColor(255, 214, 70), QColor(255, 250, 210));
      } else if (col == 2 && row == 3) {
        // White ball with a shade; the vertex colour tints it dark or blue.
        QRadialGradient g(c + QPointF(-4, -4), 15);
        g.setColorAt(0, Qt::white);
        g.setColorAt(0.7, QColor(215, 215, 215));
        g.setColorAt(1, QColor(150, 150, 150));
        p.setPen(QPen(QColor(255, 255, 255, 200), 1));
        p.setBrush(g);
        p.drawEllipse(c, 12, 12);
      } else if ((row + col) % 2 == 0) {
        GlowDot(p, c, 15, QColor(255, 255, 255, 255 - 30 * col));
      } else {
        // Four-ray sparkle over a soft core.
        GlowDot(p, c, 11, QColor(255, 255, 255, 220));
        QLinearGradient h(c.x() - 15, 0, c.x() + 15, 0);
        h.setColorAt(0, QColor(255, 255, 255, 0));
        h.setColorAt(0.5, Qt::white);
        h.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(QRectF(c.x() - 15, c.y() - 1.2, 30, 2.4), h);
        QLinearGradient v(0, c.y() - 15, 0, c.y() + 15);
        v.setColorAt(0, QColor(255, 255, 255, 0));
        v.setColorAt(0.5, Qt::white);
        v.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(QRectF(c.x() - 1.2, c.y() - 15, 2.4, 30), v);
      }
    }
  }
  return img;
}

// Right-pointing marker, light grey so the vertex colour (red, yellow, green) shows through.
QImage PitchMarker() {
  QImage img = NewPicture(32, 32);
  QPainter p(&img);
  Antialias(p);
  GlowDot(p, QPointF(14, 16), 15, QColor(255, 255, 255, 110));
  QPainterPath tri;
  tri.moveTo(5, 6);
  tri.lineTo(28, 16);
  tri.lineTo(5, 26);
  tri.lineTo(10, 16);
  tri.closeSubpath();
  QLinearGradient g(0, 6, 0, 26);
  g.setColorAt(0, Qt::white);
  g.setColorAt(1, QColor(190, 190, 190));
  p.fillPath(tri, g);
  p.strokePath(tri, QPen(QColor(255, 255, 255), 1.2));
  return img;
}

QImage ScoreBar() {
  QImage img = NewPicture(264, 17);
  QPainter p(&img);
  Antialias(p);
  QLinearGradient g(0, 0, 264, 0);
  g.setColorAt(0, QColor(40, 200, 90));
  g.setColorAt(0.5, QColor(250, 220, 40));
  g.setColorAt(1, QColor(255, 90, 40));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(QRectF(0, 1, 264, 15), 5, 5);
  QLinearGradient shine(0, 1, 0, 9);
  shine.setColorAt(0, QColor(255, 255, 255, 150));
  shine.setColorAt(1, QColor(255, 255, 255, 0));
  p.setBrush(shine);
  p.drawRoundedRect(QRectF(2, 2, 260, 7), 3, 3);
  return img;
}

void VolumeButtons(QPainter& p) {
  // Volume up in 775..800 x 0..25, volume down in 775..800 x 25..50.
  RoundedPanel(p, QRectF(776, 1, 23, 23), 5, QColor(80, 110, 170), QColor(40, 60, 110),
               QColor(170, 200, 255));
  RoundedPanel(p, QRectF(776, 26, 23, 23), 5, QColor(80, 110, 170), QColor(40, 60, 110),
               QColor(170, 200, 255));
  p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(781, 12.5), QPointF(794, 12.5));
  p.drawLine(QPointF(787.5, 6), QPointF(787.5, 19));
  p.drawLine(QPointF(781, 37.5), QPointF(794, 37.5));
  // Loudspeaker left of the buttons.
  QPainterPath speaker;
  speaker.moveTo(749, 20);
  speaker.lineTo(755, 20);
  speaker.lineTo(762, 13);
  speaker.lineTo(762, 37);
  speaker.lineTo(755, 30);
  speaker.lineTo(749, 30);
  speaker.closeSubpath();
  p.fillPath(speaker, QColor(210, 225, 255));
  p.setPen(QPen(QColor(210, 225, 255), 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(759, 17, 10, 16), -60 * 16, 120 * 16);
  p.drawArc(QRectF(758, 12, 16, 26), -60 * 16, 120 * 16);
}

// The 800 x 162 top panel: header with stop button, score slot and volume buttons; the progress
// track at y 47..54; the pitch lane below (y 56..162).
QImage TopPanel(bool ktv) {
  QImage img = NewPicture(800, 162);
  QPainter p(&img);
  Antialias(p);
  QLinearGradient head(0, 0, 0, 56);
  head.setColorAt(0, QColor(34, 44, 86));
  head.setColorAt(1, QColor(14, 18, 40));
  p.fillRect(QRect(0, 0, 800, 56), head);

  // Stop button in 3..48.
  GlowDot(p, QPointF(25.5, 25.5), 24, QColor(255, 90, 90, 120));
  QRadialGradient knob(QPointF(20, 18), 24);
  knob.setColorAt(0, QColor(255, 120, 110));
  knob.setColorAt(1, QColor(170, 20, 30));
  p.setBrush(knob);
  p.setPen(QPen(QColor(255, 210, 200), 2));
  p.drawEllipse(QPointF(25.5, 25.5), 19, 19);
  p.fillRect(QRectF(18.5, 18.5, 14, 14), QColor(255, 245, 240));

  if (!ktv) {
    // Recessed slot behind the score bar at (56, 10).
    RoundedPanel(p, QRectF(53, 7, 270, 23), 7, QColor(6, 8, 20), QColor(30, 36, 64),
                 QColor(110, 130, 190));
    p.setFont(CjkFont(12));
    p.setPen(QColor(190, 205, 240));
    p.drawText(QRectF(56, 31, 200, 14), Qt::AlignLeft | Qt::AlignVCenter, "本句得分");
  } else {
    RoundedPanel(p, QRectF(56, 9, 92, 28), 8, QColor(250, 120, 190), QColor(170, 40, 120),
                 QColor(255, 210, 240));
    GlowText(p, QRectF(56, 9, 92, 28), "KTV", LatinFont(20), Qt::white, QColor(255, 220, 240),
             QColor(255, 100, 200));
  }
  VolumeButtons(p);

  // Progress track under the header.
  p.fillRect(QRect(0, 47, 800, 8), QColor(8, 10, 22));
  p.fillRect(QRect(0, 47, 800, 1), QColor(90, 110, 160));

  // Pitch lane: dark glass with faint semitone guides every octave-ish.
  QLinearGradient lane(0, 56, 0, 162);
  lane.setColorAt(0, QColor(10, 16, 40, 235));
  lane.setColorAt(1, QColor(20, 30, 64, 235));
  p.fillRect(QRect(0, 55, 800, 107), lane);
  p.setPen(QPen(QColor(120, 150, 220, 45), 1));
  for (int y = 66; y < 160; y += 12) p.drawLine(0, y, 800, y);
  return img;
}

// 800 x 438 stage backdrop: night stage with light beams, bokeh and a floor grid.
QImage Backdrop() {
  QImage img = NewPicture(800, 438, Qt::black);
  QPainter p(&img);
  Antialias(p);
  QLinearGradient sky(0, 0, 0, 438);
  sky.setColorAt(0, QColor(40, 16, 80));
  sky.setColorAt(0.6, QColor(18, 24, 70));
  sky.setColorAt(1, QColor(6, 8, 24));
  p.fillRect(img.rect(), sky);
  // Beams from the top.
  const QColor beamColours[] = {QColor(120, 160, 255, 60), QColor(255, 120, 220, 55),
                                QColor(120, 255, 220, 50), QColor(255, 210, 120, 55)};
  for (int i = 0; i < 4; ++i) {
    const qreal x = 110 + i * 190;
    QPainterPath beam;
    beam.moveTo(x - 8, 0);
    beam.lineTo(x + 8, 0);
    beam.lineTo(x + 120 - i * 60, 438);
    beam.lineTo(x - 20 - i * 60, 438);
    beam.closeSubpath();
    QLinearGradient g(0, 0, 0, 438);
    g.setColorAt(0, beamColours[i]);
    g.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillPath(beam, g);
  }
  // Bokeh: fixed seed keeps the picture the same on every build.
  QRandomGenerator rng(20261207);
  for (int i = 0; i < 46; ++i) {
    const QPointF c(rng.bounded(800), rng.bounded(300));
    const qreal r = 6 + rng.bounded(22);
    const QColor colour = QColor::fromHsv(rng.bounded(360), 120, 255, 40 + rng.bounded(50));
    GlowDot(p, c, r, colour);
  }
  // Floor grid in perspective.
  p.setPen(QPen(QColor(120, 90, 255, 70), 1));
  for (int i = 0; i <= 16; ++i) p.drawLine(QPointF(400 + (i - 8) * 18, 330), QPointF(400 + (i - 8) * 110, 438));
  for (int j = 0; j < 6; ++j) {
    const qreal y = 330 + j * j * 3.6 + j * 2;
    p.drawLine(QPointF(0, y), QPointF(800, y));
  }
  return img;
}

// Wipe strips: a bright edge between the clear side and the dark cover (colour of the wipe lines).
QImage WipeStrip(bool coverOnRight) {
  QImage img = NewPicture(128, 32);
  QPainter p(&img);
  for (int x = 0; x < 128; ++x) {
    const int d = coverOnRight ? x : 127 - x;  // distance from the clear side
    QColor c;
    if (d < 24) {
      c = QColor(255, 220, 120, d * 8);
    } else if (d < 36) {
      c = QColor(255, 245, 200);
    } else {
      const qreal t = std::min(1.0, (d - 36) / 40.0);
      c = QColor(int(255 * (1 - t) + 0x18 * t), int(200 * (1 - t) + 0x17 * t), int(80 * (1 - t)));
    }
    p.fillRect(QRect(x, 0, 1, 32), c);
  }
  return img;
}

QImage Banner(int w, int h, const QString& text, QColor top, QColor bottom, QColor glow) {
  QImage img = NewPicture(w, h);
  QPainter p(&img);
  Antialias(p);
  GlowText(p, QRectF(0, 0, w, h), text, LatinFont(h - 18), top, bottom, glow);
  return img;
}

// Five 170 x 46 rows for the line ratings 1 (best) to 5.
QImage LineRatings() {
  QImage img = NewPicture(170, 230);
  QPainter p(&img);
  Antialias(p);
  const char* words[] = {"完美!", "优秀!", "良好", "一般", "加油"};
  const QColor tops[] = {QColor(255, 240, 120), QColor(160, 240, 255), QColor(170, 255, 160),
                         QColor(255, 200, 140), QColor(220, 220, 230)};
  const QColor bottoms[] = {QColor(255, 150, 20), QColor(40, 150, 255), QColor(40, 180, 60),
                            QColor(230, 110, 40), QColor(140, 140, 160)};
  for (int i = 0; i < 5; ++i) {
    GlowText(p, QRectF(0, 46 * i, 170, 46), QString::fromUtf8(words[i]), CjkFont(34, true),
             tops[i], bottoms[i], bottoms[i]);
  }
  return img;
}

QImage Caption(int w, int h, const QString& text, QColor top, QColor bottom) {
  QImage img = NewPicture(w, h);
  QPainter p(&img);
  Antialias(p);
  GlowText(p, QRectF(0, 0, w, h), text, LatinFont(h * 3 / 5), top, bottom, bottom);
  return img;
}

QImage Note() {
  QImage img = NewPicture(64, 64);
  QPainter p(&img);
  Antialias(p);
  GlowDot(p, QPointF(32, 32), 31, QColor(120, 180, 255, 120));
  p.setBrush(QColor(255, 255, 255));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(24, 44), 9, 7);
  p.drawEllipse(QPointF(44, 38), 9, 7);
  p.drawRect(QRectF(31, 14, 3, 30));
  p.drawRect(QRectF(51, 8, 3, 30));
  p.drawPolygon(QPolygonF({QPointF(31, 14), QPointF(54, 8), QPointF(54, 14), QPointF(31, 20)}));
  return img;
}

QImage Bang() {
  QImage img = NewPicture(64, 64);
  QPainter p(&img);
  Antialias(p);
  GlowDot(p, QPointF(32, 32), 31, QColor(255, 200, 80, 200));
  Star(p, QPointF(32, 32), 26, 11, QColor(255, 140, 30), QColor(255, 240, 200));
  return img;
}

}  // namespace

bool WriteStagePictures(const Output& out) {
  bool ok = out.Save(ParticleSheet(), "particles.png");
  ok &= out.Save(PitchMarker(), "arrow.png");
  ok &= out.Save(ScoreBar(), "process.png");
  ok &= out.Save(TopPanel(false), "stop.png");
  ok &= out.Save(TopPanel(true), "stop1.png");
  ok &= out.Save(Caption(140, 32, "FINAL SCORE", QColor(255, 240, 170), QColor(255, 160, 40)),
                 "finalscore.png");
  ok &= out.Save(Note(), "note.png");
  ok &= out.Save(Backdrop(), "bgpic.png");
  ok &= out.Save(WipeStrip(true), "LeftToRight.png");
  ok &= out.Save(WipeStrip(false), "RightToLeft.png");
  ok &= out.Save(Banner(391, 71, "READY?", QColor(255, 250, 200), QColor(255, 170, 30),
                        QColor(255, 200, 60)),
                 "ready.png");
  ok &= out.Save(Banner(461, 70, "GO!", QColor(220, 255, 220), QColor(40, 220, 90),
                        QColor(80, 255, 140)),
                 "go.png");
  ok &= out.Save(LineRatings(), "singjudge.png");
  ok &= out.Save(Bang(), "bang.png");
  return ok;
}

}  // namespace sonavera::artwork
