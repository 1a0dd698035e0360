// The medley's final score panel: a framed card with its title, a lit field for the score and a band
// for the two buttons. The main window stretches it over the panel and writes the score on it.
#include <QLinearGradient>
#include <QRadialGradient>
#include <QRandomGenerator>

#include "pictures.h"

namespace sonavera::artwork {
namespace {

// 400 x 300; the panel places the score in rows 66..204 and the buttons from row 228 on.
QImage MedleyScorePanel() {
  QImage img = NewPicture(400, 300, Qt::black);
  QPainter p(&img);
  Antialias(p);
  QRadialGradient back(QPointF(200, 120), 320);
  back.setColorAt(0, QColor(80, 46, 130));
  back.setColorAt(1, QColor(12, 8, 34));
  p.fillRect(img.rect(), back);
  RoundedPanel(p, QRectF(6, 6, 388, 288), 20, QColor(60, 70, 150, 200), QColor(18, 16, 50, 220),
               QColor(255, 210, 120));
  QRandomGenerator rng(1105);
  for (int i = 0; i < 18; ++i)
    GlowDot(p, QPointF(20 + rng.bounded(360), 20 + rng.bounded(260)), 4 + rng.bounded(12),
            QColor::fromHsv(rng.bounded(360), 80, 255, 40 + rng.bounded(40)));
  GlowText(p, QRectF(0, 14, 400, 46), QString::fromUtf8("串烧总成绩"), CjkFont(32, true),
           QColor(255, 245, 200), QColor(255, 170, 40), QColor(255, 180, 60));
  // The score's field.
  RoundedPanel(p, QRectF(60, 66, 280, 138), 16, QColor(255, 255, 255, 34), QColor(255, 255, 255, 10),
               QColor(255, 255, 255, 90));
  Star(p, QPointF(40, 135), 16, 7, QColor(255, 220, 90), QColor(150, 90, 10));
  Star(p, QPointF(360, 135), 16, 7, QColor(255, 220, 90), QColor(150, 90, 10));
  // The buttons' band.
  QLinearGradient band(0, 222, 0, 284);
  band.setColorAt(0, QColor(255, 255, 255, 26));
  band.setColorAt(1, QColor(255, 255, 255, 4));
  p.fillRect(QRectF(16, 222, 368, 62), band);
  return img;
}

}  // namespace

bool WritePanelPictures(const Output& out) {
  return out.Save(MedleyScorePanel(), "medleyscore.png");
}

}  // namespace sonavera::artwork
