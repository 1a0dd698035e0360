// The default background video: a few seconds of drifting coloured light over a slowly turning
// gradient, encoded as MJPEG in an AVI file.
#include "pictures.h"

#include "platform/video/video_writer.h"

#include <QDir>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <vector>

namespace sonavera::artwork {

bool WriteVideoClip(const Output& out) {
  constexpr int kWidth = 400;
  constexpr int kHeight = 216;
  constexpr int kFps = 25;
  constexpr int kFrames = 4 * kFps;
  QDir().mkpath(QString::fromStdString(out.programFolder + "avi"));
  platform::VideoWriter writer;
  if (!writer.Open(out.programFolder + "avi/2.avi", kWidth, kHeight, kFps,
                   platform::VideoWriter::Codec::Mjpeg)) {
    std::fprintf(stderr, "artwork: %s\n", writer.Error().c_str());
    return false;
  }
  QImage frame(kWidth, kHeight, QImage::Format_ARGB32);
  for (int f = 0; f < kFrames; ++f) {
    const double t = static_cast<double>(f) / kFrames;  // one loop: 0..1
    const double a = 2 * M_PI * t;
    frame.fill(Qt::black);
    QPainter p(&frame);
    Antialias(p);
    QLinearGradient g(0, 0, kWidth * (0.5 + 0.5 * std::cos(a)), kHeight);
    g.setColorAt(0, QColor::fromHsv(int(240 + 40 * std::sin(a)) % 360, 200, 90));
    g.setColorAt(1, QColor::fromHsv(int(300 + 30 * std::cos(a)) % 360, 220, 40));
    p.fillRect(frame.rect(), g);
    // Bokeh on closed orbits, so the last frame runs smoothly into the first.
    for (int i = 0; i < 14; ++i) {
      const double phase = i * 0.9;
      const double x = kWidth * (0.5 + 0.42 * std::sin(a * (1 + i % 3) + phase));
      const double y = kHeight * (0.5 + 0.38 * std::cos(a * (1 + i % 2) + 1.7 * phase));
      const QColor c = QColor::fromHsv((i * 47 + int(t * 360)) % 360, 140, 255, 90);
      GlowDot(p, QPointF(x, y), 16 + (i % 4) * 9, c);
    }
    p.end();
    if (!writer.WriteFrame(reinterpret_cast<const std::uint32_t*>(frame.constBits()), kWidth)) {
      std::fprintf(stderr, "artwork: %s\n", writer.Error().c_str());
      return false;
    }
  }
  return writer.Close();
}

}  // namespace sonavera::artwork
