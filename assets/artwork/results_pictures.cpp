// Pictures of the results screen: backgrounds, the score panel, digit sheets, the recording
// buttons, and the song list icons of the main window.
#include "pictures.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QRandomGenerator>

namespace sonavera::artwork {
namespace {

QImage ResultsBackground() {
  QImage img = NewPicture(800, 600, Qt::black);
  QPainter p(&img);
  Antialias(p);
  QRadialGradient g(QPointF(400, 220), 620);
  g.setColorAt(0, QColor(70, 40, 120));
  g.setColorAt(0.5, QColor(24, 20, 64));
  g.setColorAt(1, QColor(4, 4, 16));
  p.fillRect(img.rect(), g);
  // Curtains at both sides.
  for (int side = 0; side < 2; ++side) {
    for (int fold = 0; fold < 6; ++fold) {
      const qreal x = side == 0 ? fold * 12 : 800 - 72 + fold * 12;
      QLinearGradient c(x, 0, x + 12, 0);
      c.setColorAt(0, QColor(120, 10, 40));
      c.setColorAt(0.5, QColor(200, 30, 70));
      c.setColorAt(1, QColor(90, 5, 30));
      p.fillRect(QRectF(x, 0, 12, 600), c);
    }
  }
  QRandomGenerator rng(600800);
  for (int i = 0; i < 30; ++i)
    GlowDot(p, QPointF(80 + rng.bounded(640), rng.bounded(600)), 5 + rng.bounded(18),
            QColor::fromHsv(rng.bounded(360), 90, 255, 30 + rng.bounded(40)));
  return img;
}

void Label(QPainter& p, const QRectF& box, const char* text) {
  p.setFont(CjkFont(22, true));
  p.setPen(QColor(20, 10, 40, 200));
  p.drawText(box.translated(1.5, 1.5), Qt::AlignRight | Qt::AlignVCenter, QString::fromUtf8(text));
  p.setPen(QColor(255, 225, 150));
  p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::fromUtf8(text));
}

// The 749 x 589 score panel; it rests at (22, 11), so screen rows are panel rows + 11.
QImage ScorePanel() {
  QImage img = NewPicture(749, 589);
  QPainter p(&img);
  Antialias(p);
  RoundedPanel(p, QRectF(8, 8, 733, 573), 26, QColor(40, 50, 110, 235), QColor(14, 16, 44, 235),
               QColor(160, 180, 255));
  RoundedPanel(p, QRectF(150, 86, 560, 470), 18, QColor(255, 255, 255, 22), QColor(255, 255, 255, 8),
               QColor(255, 255, 255, 60));
  GlowText(p, QRectF(0, 20, 749, 56), QString::fromUtf8("演唱成绩"), CjkFont(40, true),
           QColor(255, 245, 200), QColor(255, 170, 40), QColor(255, 180, 60));
  // Rows: title at screen y 119, overall score around 212, singing 286, dance 345, summary 384.
  Label(p, QRectF(150, 108 - 11, 105, 34), "歌曲");
  Label(p, QRectF(150, 195 - 11, 105, 34), "综合");
  Label(p, QRectF(150, 269 - 11, 105, 34), "演唱");
  Label(p, QRectF(150, 328 - 11, 105, 34), "跳舞");
  Label(p, QRectF(150, 384 - 11, 105, 34), "点评");
  p.setPen(QPen(QColor(255, 255, 255, 40), 1));
  for (qreal y : {160.0, 250.0, 305.0, 362.0}) p.drawLine(QPointF(170, y), QPointF(690, y));
  return img;
}

void RoundButton(QPainter& p, QPointF c, qreal r, QColor top, QColor bottom, const QString& text,
                 int textSize) {
  GlowDot(p, c, r + 5, QColor(top.red(), top.green(), top.blue(), 110));
  QLinearGradient g(0, c.y() - r, 0, c.y() + r);
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.setBrush(g);
  p.setPen(QPen(QColor(255, 255, 255, 220), 2));
  p.drawEllipse(c, r, r);
  p.setFont(CjkFont(textSize, true));
  p.setPen(Qt::white);
  p.drawText(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), Qt::AlignCenter, text);
}

// Background after the panel has arrived: the panel, the back and share buttons.
QImage ResultsBackgroundWithPanel(const QImage& background, const QImage& panel) {
  QImage img = background;
  QPainter p(&img);
  Antialias(p);
  p.drawImage(22, 11, panel);
  RoundButton(p, QPointF(47.5, 557.5), 25, QColor(120, 160, 255), QColor(40, 60, 160),
              QString::fromUtf8("返回"), 15);
  RoundButton(p, QPointF(151.5, 497.5), 21, QColor(255, 110, 90), QColor(190, 30, 30),
              QString::fromUtf8("微博"), 13);
  RoundButton(p, QPointF(202.5, 497.5), 21, QColor(90, 180, 255), QColor(20, 90, 190),
              QString::fromUtf8("腾讯"), 13);
  p.setFont(CjkFont(13));
  p.setPen(QColor(220, 225, 255));
  p.drawText(QRectF(120, 522, 120, 18), Qt::AlignCenter, QString::fromUtf8("分享成绩"));
  return img;
}

// Digits 0..4 on the top row, 5..9 on the second row (62 x 54 cells), the point at (62, 108).
QImage DigitSheet(QColor top, QColor bottom, QColor glow, int size) {
  QImage img = NewPicture(310, 162);
  QPainter p(&img);
  Antialias(p);
  for (int d = 0; d < 10; ++d) {
    const QRectF cell(d <= 4 ? 62 * d : 62 * d - 310, d <= 4 ? 0 : 54, 62, 54);
    GlowText(p, cell, QString::number(d), LatinFont(size), top, bottom, glow);
  }
  GlowDot(p, QPointF(62 + 31, 108 + 27), 10, QColor(glow.red(), glow.green(), glow.blue(), 120));
  p.setBrush(top);
  p.setPen(QPen(QColor(20, 20, 40, 230), 2));
  p.drawEllipse(QPointF(62 + 31, 108 + 36), 7.5, 7.5);
  return img;
}

// 50 x 65 recording button: play (triangle) or pause (bars), with a caption below.
QImage RecordingButton(bool play) {
  QImage img = NewPicture(50, 65);
  QPainter p(&img);
  Antialias(p);
  RoundButton(p, QPointF(25, 24), 21, play ? QColor(110, 230, 130) : QColor(255, 190, 90),
              play ? QColor(20, 140, 60) : QColor(200, 100, 20), QString(), 10);
  p.setBrush(Qt::white);
  p.setPen(Qt::NoPen);
  if (play) {
    p.drawPolygon(QPolygonF({QPointF(19, 13), QPointF(35, 24), QPointF(19, 35)}));
  } else {
    p.drawRoundedRect(QRectF(16, 14, 6, 20), 2, 2);
    p.drawRoundedRect(QRectF(28, 14, 6, 20), 2, 2);
  }
  p.setFont(CjkFont(12));
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 48, 50, 16), Qt::AlignCenter,
             QString::fromUtf8(play ? "回放" : "暂停"));
  return img;
}

// 32 x 32 song list icons: a disc with a check mark (on disk) or a cloud with an arrow (to fetch).
QImage SongIcon(bool onDisk) {
  QImage img = NewPicture(32, 32);
  QPainter p(&img);
  Antialias(p);
  if (onDisk) {
    QRadialGradient g(QPointF(13, 12), 16);
    g.setColorAt(0, QColor(200, 230, 255));
    g.setColorAt(1, QColor(60, 110, 200));
    p.setBrush(g);
    p.setPen(QPen(QColor(30, 60, 120), 1.2));
    p.drawEllipse(QPointF(16, 16), 14, 14);
    p.setBrush(QColor(30, 60, 120));
    p.drawEllipse(QPointF(16, 16), 3.5, 3.5);
    p.setBrush(QColor(40, 190, 80));
    p.setPen(QPen(Qt::white, 1.2));
    p.drawEllipse(QPointF(24, 24), 7, 7);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(20.5, 24), QPointF(23, 26.5), QPointF(27.5, 21.5)}));
  } else {
    p.setPen(QPen(QColor(110, 120, 140), 1.2));
    p.setBrush(QColor(225, 230, 240));
    QPainterPath cloud;
    cloud.addEllipse(QPointF(11, 17), 7, 6);
    cloud.addEllipse(QPointF(18, 13), 8, 8);
    cloud.addEllipse(QPointF(24, 18), 6, 5);
    cloud.addRect(QRectF(11, 17, 13, 6));
    p.drawPath(cloud.simplified());
    p.setPen(QPen(QColor(40, 110, 220), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(17, 14), QPointF(17, 28));
    p.drawPolyline(QPolygonF({QPointF(12.5, 23.5), QPointF(17, 28), QPointF(21.5, 23.5)}));
  }
  return img;
}

}  // namespace

bool WriteResultsPictures(const Output& out) {
  const QImage background = ResultsBackground();
  const QImage panel = ScorePanel();
  bool ok = out.Save(background, "overbg.png");
  ok &= out.Save(panel, "leibie.png");
  ok &= out.Save(ResultsBackgroundWithPanel(background, panel), "overbg2.png");
  ok &= out.Save(DigitSheet(QColor(255, 250, 200), QColor(255, 150, 20), QColor(255, 190, 60), 50),
                 "bignum.png");
  ok &= out.Save(DigitSheet(QColor(220, 245, 255), QColor(60, 150, 255), QColor(90, 170, 255), 44),
                 "smallscore.png");
  ok &= out.Save(RecordingButton(true), "playback.png");
  ok &= out.Save(RecordingButton(false), "backstop.png");
  ok &= out.Save(SongIcon(true), "song_on_disk.png");
  ok &= out.Save(SongIcon(false), "song_not_on_disk.png");
  return ok;
}

}  // namespace sonavera::artwork
