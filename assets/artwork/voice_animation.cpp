// The two frame strips played when a medley starts: a man and a woman singing into a microphone,
// ten frames of 200 x 240 side by side on a transparent ground. Across the frames the singer sways,
// the mouth opens and closes and music notes rise beside the head; the last frame leads back into the
// first, so the strip loops without a jump.
#include <QLinearGradient>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>

#include "pictures.h"

namespace sonavera::artwork {
namespace {

constexpr int kFrameWidth = 200, kFrameHeight = 240, kFrames = 10;
constexpr double kPi = 3.14159265358979323846;

struct Singer {
  bool woman;
  QColor shirt, shirtDark, hair, accent;
};

// An eighth note: a tilted head, its stem and a flag.
void MusicNote(QPainter& p, QPointF at, qreal size, QColor colour) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.translate(at);
  p.save();
  p.rotate(-20);
  p.drawEllipse(QRectF(-size * 0.55, -size * 0.38, size * 1.1, size * 0.76));
  p.restore();
  const qreal stemX = size * 0.45;
  p.drawRect(QRectF(stemX, -size * 2.2, size * 0.16, size * 2.2));
  QPainterPath flag;
  flag.moveTo(stemX + size * 0.16, -size * 2.2);
  flag.cubicTo(stemX + size * 0.9, -size * 1.8, stemX + size * 1.0, -size * 1.2, stemX + size * 0.6,
               -size * 0.8);
  flag.cubicTo(stemX + size * 0.75, -size * 1.3, stemX + size * 0.5, -size * 1.6, stemX + size * 0.16,
               -size * 1.75);
  flag.closeSubpath();
  p.drawPath(flag);
  p.restore();
}

// The hand-held microphone: a dark handle and a silver mesh head pointing at the mouth.
void Microphone(QPainter& p, QPointF head, qreal angleDegrees) {
  p.save();
  p.translate(head);
  p.rotate(angleDegrees);
  QLinearGradient handle(-5, 0, 5, 0);
  handle.setColorAt(0, QColor(30, 30, 36));
  handle.setColorAt(0.5, QColor(90, 90, 104));
  handle.setColorAt(1, QColor(20, 20, 26));
  p.setPen(Qt::NoPen);
  p.setBrush(handle);
  QPolygonF body;
  body << QPointF(-6, 6) << QPointF(6, 6) << QPointF(4, 30) << QPointF(-4, 30);
  p.drawPolygon(body);
  QRadialGradient mesh(QPointF(-3, -3), 11);
  mesh.setColorAt(0, QColor(250, 250, 255));
  mesh.setColorAt(1, QColor(120, 124, 140));
  p.setBrush(mesh);
  p.setPen(QPen(QColor(60, 60, 70), 1));
  p.drawEllipse(QPointF(0, 0), 10, 10);
  p.restore();
}

// One frame: the singer rocks about the feet by `sway` degrees, opens the mouth by `mouth` (0..1).
void DrawSinger(QPainter& p, const Singer& s, qreal sway, qreal mouth) {
  p.save();
  p.translate(100, 236);
  p.rotate(sway);
  p.translate(-100, -236);
  p.setPen(QPen(QColor(20, 14, 30, 200), 2));

  // Legs and shoes.
  p.setBrush(s.woman ? QColor(245, 210, 180) : QColor(40, 44, 70));
  p.drawRoundedRect(QRectF(82, 176, 14, 56), 5, 5);
  p.drawRoundedRect(QRectF(104, 176, 14, 56), 5, 5);
  p.setBrush(QColor(25, 20, 30));
  p.drawRoundedRect(QRectF(76, 226, 22, 10), 4, 4);
  p.drawRoundedRect(QRectF(102, 226, 22, 10), 4, 4);

  // Body: a jacket for him, a flared dress for her.
  QLinearGradient cloth(60, 0, 140, 0);
  cloth.setColorAt(0, s.shirt);
  cloth.setColorAt(1, s.shirtDark);
  p.setBrush(cloth);
  QPolygonF body;
  if (s.woman) {
    body << QPointF(84, 104) << QPointF(116, 104) << QPointF(122, 140) << QPointF(146, 196)
         << QPointF(54, 196) << QPointF(78, 140);
  } else {
    body << QPointF(76, 104) << QPointF(124, 104) << QPointF(128, 182) << QPointF(72, 182);
  }
  p.drawPolygon(body);
  p.setBrush(s.accent);
  if (s.woman) {
    p.drawRect(QRectF(80, 136, 40, 7));  // the sash
  } else {
    QPolygonF tie;
    tie << QPointF(97, 106) << QPointF(103, 106) << QPointF(106, 140) << QPointF(100, 148)
        << QPointF(94, 140);
    p.drawPolygon(tie);
  }

  // The free arm hangs and swings a little.
  p.setBrush(s.shirtDark);
  p.save();
  p.translate(78, 110);
  p.rotate(18 - sway * 2);
  p.drawRoundedRect(QRectF(-7, 0, 13, 58), 6, 6);
  p.setBrush(QColor(245, 210, 180));
  p.drawEllipse(QPointF(0, 62), 7, 7);
  p.restore();

  // Long hair falls behind her head.
  if (s.woman) {
    p.setBrush(s.hair);
    QPainterPath back;
    back.moveTo(74, 50);
    back.cubicTo(64, 80, 66, 110, 74, 122);
    back.lineTo(126, 122);
    back.cubicTo(134, 110, 136, 80, 126, 50);
    back.closeSubpath();
    p.drawPath(back);
  }
  // Neck and head.
  p.setBrush(QColor(245, 210, 180));
  p.drawRect(QRectF(93, 88, 14, 18));
  QRadialGradient skin(QPointF(94, 56), 34);
  skin.setColorAt(0, QColor(255, 228, 200));
  skin.setColorAt(1, QColor(232, 190, 156));
  p.setBrush(skin);
  p.drawEllipse(QPointF(100, 62), 25, 29);
  // Hair on top: a short crop for him, a fringe for her.
  p.setBrush(s.hair);
  QPainterPath top;
  if (s.woman) {
    top.moveTo(74, 66);
    top.cubicTo(70, 30, 130, 26, 126, 66);
    top.cubicTo(118, 46, 96, 44, 84, 50);
    top.cubicTo(80, 56, 77, 62, 74, 66);
  } else {
    top.moveTo(75, 58);
    top.cubicTo(74, 30, 126, 28, 125, 58);
    top.cubicTo(116, 44, 86, 42, 75, 58);
  }
  p.drawPath(top);
  if (s.woman) {
    p.setBrush(s.accent);
    p.drawEllipse(QPointF(122, 46), 6, 6);  // a flower in her hair
  }
  // Eyes closed in song, cheeks, and the mouth opening with the note.
  p.setPen(QPen(QColor(50, 30, 30), 2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(86, 56, 10, 8), 0, 180 * 16);
  p.drawArc(QRectF(104, 56, 10, 8), 0, 180 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 120, 120, 90));
  p.drawEllipse(QPointF(84, 72), 5, 3);
  p.drawEllipse(QPointF(116, 72), 5, 3);
  p.setBrush(QColor(120, 20, 30));
  p.setPen(QPen(QColor(70, 20, 20), 1));
  const qreal open = 2 + 8 * mouth;
  p.drawEllipse(QRectF(100 - 6, 78 - open / 2 + 2, 12, open));
  // The arm bringing the microphone to the mouth, in front of the chin.
  p.setPen(QPen(QColor(20, 14, 30, 200), 2));
  p.setBrush(s.shirt);
  QPainterPath upper;
  upper.moveTo(116, 106);
  upper.lineTo(132, 148);
  upper.lineTo(120, 150);
  upper.lineTo(108, 112);
  upper.closeSubpath();
  p.drawPath(upper);
  QPainterPath fore;
  fore.moveTo(120, 150);
  fore.lineTo(132, 148);
  fore.lineTo(130, 112);
  fore.lineTo(119, 114);
  fore.closeSubpath();
  p.drawPath(fore);
  Microphone(p, QPointF(115, 92), -20);
  p.setBrush(QColor(245, 210, 180));
  p.drawEllipse(QPointF(124, 114), 7, 7);  // the hand round the handle
  p.restore();
}

QImage Strip(const Singer& singer) {
  QImage strip = NewPicture(kFrameWidth * kFrames, kFrameHeight);
  QPainter p(&strip);
  Antialias(p);
  const QColor noteColours[] = {QColor(255, 220, 90), QColor(120, 220, 255), QColor(255, 130, 200)};
  for (int f = 0; f < kFrames; ++f) {
    p.save();
    p.translate(f * kFrameWidth, 0);
    p.setClipRect(QRectF(0, 0, kFrameWidth, kFrameHeight));
    const double phase = 2 * kPi * f / kFrames;
    // A soft spotlight under the feet.
    GlowDot(p, QPointF(100, 232), 60, QColor(255, 240, 200, 70));
    // Notes rise from beside the microphone, each one a third of a cycle behind the last, fading out.
    for (int n = 0; n < 3; ++n) {
      const double t = std::fmod(static_cast<double>(f) / kFrames + n / 3.0, 1.0);
      QColor colour = noteColours[n];
      colour.setAlpha(static_cast<int>(255 * (1.0 - t) * std::min(1.0, t * 5 + 0.2)));
      const QPointF at(146 + 18 * std::sin(2 * kPi * t + n) + (n == 1 ? 16 : 0), 100 - 90 * t);
      MusicNote(p, at, 7 + 3 * (1 - t), colour);
    }
    const qreal sway = 4 * std::sin(phase);
    const qreal mouth = 0.5 + 0.5 * std::sin(2 * phase);
    DrawSinger(p, singer, sway, mouth);
    p.restore();
  }
  return strip;
}

}  // namespace

bool WriteVoiceAnimations(const Output& out) {
  const Singer man{false, QColor(70, 120, 230), QColor(30, 50, 130), QColor(40, 28, 20), QColor(230, 60, 70)};
  const Singer woman{true, QColor(240, 90, 160), QColor(150, 30, 100), QColor(70, 36, 20),
                     QColor(255, 230, 120)};
  return out.Save(Strip(man), "medley_man.png") && out.Save(Strip(woman), "medley_woman.png");
}

}  // namespace sonavera::artwork
