// Pictures of the main window: the start page and the song-list page (800 x 600 each, drawn around
// the places of the window's controls) and the lit and dim faces of the six mode toggles.
#include <QLinearGradient>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>

#include "pictures.h"

namespace sonavera::artwork {
namespace {

constexpr int kPageWidth = 800, kPageHeight = 600;

// A night sky over the hall: deep indigo at the top, nearly black at the floor.
void HallBackground(QPainter& p, QColor top) {
  QLinearGradient sky(0, 0, 0, kPageHeight);
  sky.setColorAt(0, top);
  sky.setColorAt(0.65, QColor(12, 8, 28));
  sky.setColorAt(1, QColor(4, 3, 10));
  p.fillRect(QRectF(0, 0, kPageWidth, kPageHeight), sky);
  // Curtain folds along the back wall.
  for (int x = 0; x < kPageWidth; x += 40) {
    QLinearGradient fold(x, 0, x + 40, 0);
    fold.setColorAt(0, QColor(90, 10, 50, 70));
    fold.setColorAt(0.5, QColor(160, 30, 80, 40));
    fold.setColorAt(1, QColor(40, 0, 30, 80));
    p.fillRect(QRectF(x, 24, 40, 330), fold);
  }
  QLinearGradient fade(0, 250, 0, 360);
  fade.setColorAt(0, QColor(0, 0, 0, 0));
  fade.setColorAt(1, QColor(8, 5, 20, 255));
  p.fillRect(QRectF(0, 250, kPageWidth, 110), fade);
}

// Sparkles scattered by a fixed sequence, so every build draws the same picture.
void Sparkles(QPainter& p, int count, QRectF area) {
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) & 0xFFFF;
  };
  for (int i = 0; i < count; ++i) {
    const QPointF at(area.left() + next() % static_cast<int>(area.width()),
                     area.top() + next() % static_cast<int>(area.height()));
    const int alpha = 90 + static_cast<int>(next() % 140);
    GlowDot(p, at, 2 + next() % 4, QColor(255, 245, 220, alpha));
  }
}

// The lighting truss along the top with a cone of light from each lamp towards `aims`.
void StageLights(QPainter& p, const std::vector<std::pair<qreal, qreal>>& lampsAndAims, int coneAlpha) {
  const QColor colours[] = {QColor(255, 80, 200), QColor(80, 200, 255), QColor(255, 210, 90),
                            QColor(140, 110, 255), QColor(90, 255, 190)};
  int i = 0;
  for (const auto& [lamp, aim] : lampsAndAims) {
    QColor c = colours[i++ % 5];
    QPolygonF cone;
    cone << QPointF(lamp - 8, 20) << QPointF(lamp + 8, 20) << QPointF(aim + 90, 560)
         << QPointF(aim - 90, 560);
    QLinearGradient g(0, 20, 0, 560);
    c.setAlpha(coneAlpha);
    g.setColorAt(0, c);
    c.setAlpha(0);
    g.setColorAt(1, c);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPolygon(cone);
    c.setAlpha(90);
    GlowDot(p, QPointF(aim, 545), 70, c);  // the pool of light on the floor
  }
  // Truss and lamp housings over the cones.
  RoundedPanel(p, QRectF(0, 4, kPageWidth, 16), 3, QColor(70, 70, 90), QColor(25, 25, 35),
               QColor(120, 120, 150));
  for (const auto& [lamp, aim] : lampsAndAims) {
    (void)aim;
    RoundedPanel(p, QRectF(lamp - 11, 12, 22, 14), 4, QColor(60, 60, 70), QColor(15, 15, 20),
                 QColor(150, 150, 170));
    GlowDot(p, QPointF(lamp, 24), 10, QColor(255, 255, 240, 230));
  }
}

// The stage floor: a wide ellipse with a rim light, its front cut by the picture's edge.
void StageFloor(QPainter& p, qreal top) {
  const QRectF floor(-120, top, kPageWidth + 240, 2 * (kPageHeight - top) + 40);
  QRadialGradient wood(floor.center().x(), top + 30, floor.width() / 2);
  wood.setColorAt(0, QColor(70, 35, 90));
  wood.setColorAt(1, QColor(20, 8, 30));
  p.setBrush(wood);
  p.setPen(QPen(QColor(255, 180, 255, 150), 2.5));
  p.drawEllipse(floor);
  p.setPen(QPen(QColor(255, 255, 255, 40), 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(floor.adjusted(40, 14, -40, -14));
}

// A stage microphone on its stand: head centred at (x, headY), the stand down to `footY`.
void Microphone(QPainter& p, qreal x, qreal headY, qreal footY, qreal scale) {
  p.save();
  // Stand and foot.
  p.setPen(QPen(QColor(150, 150, 165), 5 * scale, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(x, headY + 60 * scale), QPointF(x, footY));
  p.setPen(QPen(QColor(110, 110, 125), 5 * scale, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(x - 36 * scale, footY + 6 * scale), QPointF(x, footY));
  p.drawLine(QPointF(x + 36 * scale, footY + 6 * scale), QPointF(x, footY));
  // Handle, tapering down.
  QPolygonF handle;
  handle << QPointF(x - 13 * scale, headY + 18 * scale) << QPointF(x + 13 * scale, headY + 18 * scale)
         << QPointF(x + 7 * scale, headY + 78 * scale) << QPointF(x - 7 * scale, headY + 78 * scale);
  QLinearGradient metal(x - 13 * scale, 0, x + 13 * scale, 0);
  metal.setColorAt(0, QColor(40, 40, 48));
  metal.setColorAt(0.4, QColor(120, 120, 135));
  metal.setColorAt(1, QColor(25, 25, 30));
  p.setPen(QPen(QColor(10, 10, 14), 1.5));
  p.setBrush(metal);
  p.drawPolygon(handle);
  // The grille: a ball with a mesh and a highlight.
  const qreal r = 26 * scale;
  const QPointF head(x, headY);
  QRadialGradient ball(head - QPointF(r / 3, r / 3), r * 1.3);
  ball.setColorAt(0, QColor(245, 245, 255));
  ball.setColorAt(0.5, QColor(150, 150, 165));
  ball.setColorAt(1, QColor(45, 45, 55));
  p.setBrush(ball);
  p.drawEllipse(head, r, r);
  p.setClipRegion(QRegion(QRect(static_cast<int>(x - r), static_cast<int>(headY - r), static_cast<int>(2 * r),
                                static_cast<int>(2 * r)),
                          QRegion::Ellipse));
  p.setPen(QPen(QColor(30, 30, 40, 120), 1));
  for (qreal d = -r; d <= r; d += 5 * scale) {
    p.drawLine(QPointF(x + d, headY - r), QPointF(x + d, headY + r));
    p.drawLine(QPointF(x - r, headY + d), QPointF(x + r, headY + d));
  }
  p.setClipping(false);
  p.setPen(QPen(QColor(210, 180, 90), 3 * scale));
  p.setBrush(Qt::NoBrush);
  p.drawLine(QPointF(x - 14 * scale, headY + 20 * scale), QPointF(x + 14 * scale, headY + 20 * scale));
  p.restore();
}

// An eighth note, for the air around the microphone.
void Note(QPainter& p, QPointF at, qreal size, QColor colour) {
  p.save();
  p.setPen(QPen(colour, size * 0.12, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(colour);
  p.drawEllipse(QRectF(at.x() - size * 0.5, at.y() - size * 0.25, size * 0.55, size * 0.4));
  p.drawLine(at + QPointF(0, 0), at + QPointF(0, -size));
  p.drawLine(at + QPointF(0, -size), at + QPointF(size * 0.4, -size * 0.7));
  p.restore();
}

QImage StartPage() {
  QImage img = NewPicture(kPageWidth, kPageHeight, Qt::black);
  QPainter p(&img);
  Antialias(p);
  HallBackground(p, QColor(34, 22, 70));
  Sparkles(p, 70, QRectF(0, 30, kPageWidth, 220));
  StageLights(p, {{90, 230}, {250, 300}, {420, 260}, {600, 650}, {740, 520}}, 70);
  StageFloor(p, 470);
  Microphone(p, 300, 300, 540, 1.6);
  Note(p, QPointF(380, 290), 34, QColor(255, 200, 240, 200));
  Note(p, QPointF(420, 250), 24, QColor(160, 230, 255, 180));
  Note(p, QPointF(200, 270), 28, QColor(255, 230, 140, 190));
  // The name over the hall; the start buttons stand on the panel at the right.
  GlowText(p, QRectF(40, 110, 500, 100), "Sonavera", LatinFont(78), QColor(255, 250, 200),
           QColor(255, 150, 30), QColor(255, 120, 220));
  GlowText(p, QRectF(40, 200, 500, 36), QString::fromUtf8("K歌 · 评分 · 热舞"), CjkFont(24, true),
           QColor(230, 240, 255), QColor(150, 190, 255), QColor(80, 140, 255));
  RoundedPanel(p, QRectF(545, 285, 210, 228), 14, QColor(30, 20, 60, 190), QColor(10, 6, 24, 220),
               QColor(255, 160, 240, 200));
  return img;
}

QImage ListPage() {
  QImage img = NewPicture(kPageWidth, kPageHeight, Qt::black);
  QPainter p(&img);
  Antialias(p);
  HallBackground(p, QColor(44, 18, 60));
  Sparkles(p, 40, QRectF(0, 30, kPageWidth, 60));
  StageLights(p, {{120, 250}, {400, 560}, {680, 720}}, 45);
  StageFloor(p, 505);
  GlowText(p, QRectF(200, 48, 400, 44), "Sonavera", LatinFont(34), QColor(255, 250, 200),
           QColor(255, 150, 30), QColor(255, 120, 220));
  // The song list, the medley slots and buttons, and the rail of mode toggles.
  RoundedPanel(p, QRectF(30, 92, 440, 416), 12, QColor(14, 18, 40, 220), QColor(6, 6, 18, 235),
               QColor(90, 210, 255, 220));
  RoundedPanel(p, QRectF(480, 128, 290, 366), 12, QColor(30, 14, 44, 200), QColor(10, 4, 20, 225),
               QColor(255, 130, 220, 200));
  RoundedPanel(p, QRectF(30, 532, 626, 52), 10, QColor(20, 20, 40, 220), QColor(6, 6, 14, 235),
               QColor(255, 210, 110, 200));
  const char* groups[] = {"声音", "伴奏", "模式"};
  for (int i = 0; i < 3; ++i)
    GlowText(p, QRectF(40 + 210 * i, 512, 185, 20), QString::fromUtf8(groups[i]), CjkFont(14, true),
             QColor(255, 255, 255), QColor(200, 200, 220), QColor(120, 120, 200));
  Microphone(p, 730, 532, 585, 0.8);
  return img;
}

enum class Icon { male, female, note, voice, mic, arrow };

void DrawIcon(QPainter& p, Icon icon, QRectF box, QColor colour) {
  p.save();
  p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  const QPointF c = box.center();
  switch (icon) {
    case Icon::male:
      p.drawEllipse(c + QPointF(-3, 3), 6.5, 6.5);
      p.drawLine(c + QPointF(2, -2), c + QPointF(8, -8));
      p.drawLine(c + QPointF(3, -8), c + QPointF(8, -8));
      p.drawLine(c + QPointF(8, -8), c + QPointF(8, -3));
      break;
    case Icon::female:
      p.drawEllipse(c + QPointF(0, -4), 6.5, 6.5);
      p.drawLine(c + QPointF(0, 2.5), c + QPointF(0, 11));
      p.drawLine(c + QPointF(-4, 7), c + QPointF(4, 7));
      break;
    case Icon::note:
      Note(p, c + QPointF(1, 8), 18, colour);
      break;
    case Icon::voice:
      Note(p, c + QPointF(-3, 8), 16, colour);
      p.drawArc(QRectF(c.x() + 1, c.y() - 8, 10, 16), -60 * 16, 120 * 16);
      p.drawArc(QRectF(c.x() - 1, c.y() - 11, 16, 22), -60 * 16, 120 * 16);
      break;
    case Icon::mic:
      p.setBrush(colour);
      p.drawRoundedRect(QRectF(c.x() - 3.5, c.y() - 11, 7, 13), 3.5, 3.5);
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(c.x() - 7, c.y() - 6, 14, 12), 180 * 16, 180 * 16);
      p.drawLine(c + QPointF(0, 6), c + QPointF(0, 11));
      break;
    case Icon::arrow: {
      p.translate(c);
      p.rotate(180);  // an arrow pointing up, as on a dance mat
      DownArrow(p, QRectF(-10, -11, 20, 22), colour, colour.darker(150), colour.lighter(120), false);
      break;
    }
  }
  p.restore();
}

// One face of a mode toggle: lit when on, dim when off.
QImage ToggleFace(const QString& caption, Icon icon, QColor hue, bool on) {
  QImage img = NewPicture(90, 36);
  QPainter p(&img);
  Antialias(p);
  const QRectF box(0, 0, 90, 36);
  if (on) {
    RoundedPanel(p, box, 9, hue.lighter(150), hue.darker(170), QColor(255, 255, 255, 230));
    GlowDot(p, QPointF(45, 8), 40, QColor(255, 255, 255, 70));
    DrawIcon(p, icon, QRectF(4, 4, 26, 28), QColor(255, 255, 255));
    GlowText(p, QRectF(28, 0, 60, 36), caption, CjkFont(17, true), QColor(255, 255, 255),
             QColor(255, 240, 200), QColor(255, 255, 255));
  } else {
    RoundedPanel(p, box, 9, QColor(48, 46, 62), QColor(20, 19, 28), QColor(90, 88, 110));
    DrawIcon(p, icon, QRectF(4, 4, 26, 28), QColor(120, 118, 135));
    GlowText(p, QRectF(28, 0, 60, 36), caption, CjkFont(17, true), QColor(140, 138, 155),
             QColor(100, 98, 115), QColor(0, 0, 0, 0));
  }
  return img;
}

}  // namespace

bool WriteWindowPictures(const Output& out) {
  bool ok = out.Save(StartPage(), "page_start.png");
  ok &= out.Save(ListPage(), "page_list.png");
  const struct {
    const char* name;
    const char* caption;
    Icon icon;
    QColor hue;
  } toggles[] = {
      {"man", "男声", Icon::male, QColor(40, 120, 230)},
      {"woman", "女声", Icon::female, QColor(230, 60, 150)},
      {"bangchang", "伴唱", Icon::note, QColor(230, 140, 20)},
      {"yuanchang", "原唱", Icon::voice, QColor(200, 90, 30)},
      {"sing", "唱歌", Icon::mic, QColor(40, 170, 90)},
      {"dance", "跳舞", Icon::arrow, QColor(140, 60, 220)},
  };
  for (const auto& t : toggles) {
    for (bool on : {true, false}) {
      const std::string file = std::string("toggle_") + t.name + (on ? "_on.png" : "_off.png");
      ok &= out.Save(ToggleFace(QString::fromUtf8(t.caption), t.icon, t.hue, on), file);
    }
  }
  return ok;
}

}  // namespace sonavera::artwork
