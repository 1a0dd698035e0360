#include "songgen/song_pictures.h"

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QString>

#include <cmath>
#include <cstdio>
#include <memory>

namespace sonavera::songgen {
namespace {

uint32_t Hash(const std::string& s) {
  uint32_t h = 2166136261u;
  for (unsigned char c : s) h = (h ^ c) * 16777619u;
  return h;
}

void PutLe(std::vector<unsigned char>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

}  // namespace

bool WriteBmp24(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb,
                std::string& error) {
  if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
    error = "picture size does not match its pixels";
    return false;
  }
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(height);
  std::vector<unsigned char> out;
  out.reserve(54 + dataBytes);
  out.push_back('B');
  out.push_back('M');
  PutLe(out, 54 + dataBytes, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);  // BITMAPINFOHEADER
  PutLe(out, static_cast<uint32_t>(width), 4);
  PutLe(out, static_cast<uint32_t>(height), 4);  // positive: rows bottom-up
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);  // no compression
  PutLe(out, dataBytes, 4);
  PutLe(out, 2835, 4);  // 72 dpi
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      out.push_back(static_cast<unsigned char>(p));        // blue
      out.push_back(static_cast<unsigned char>(p >> 8));   // green
      out.push_back(static_cast<unsigned char>(p >> 16));  // red
    }
    for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file || std::fwrite(out.data(), 1, out.size(), file.get()) != out.size()) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

bool WriteHeadPicture(const std::string& path, const std::string& seed, std::string& error) {
  const QColor disc = QColor::fromHsv(static_cast<int>(Hash(seed) % 360), 170, 220);
  const uint32_t discRgb = static_cast<uint32_t>(disc.rgb()) & 0xFFFFFFu;
  std::vector<uint32_t> pixels(32 * 32, 0xFFFFFFu);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const double dx = x - 15.5, dy = y - 15.5;
      if (dx * dx + dy * dy <= 14.5 * 14.5) pixels[static_cast<size_t>(y * 32 + x)] = discRgb;
    }
  }
  // An eighth note in near-white (pure white would turn transparent).
  const uint32_t ink = 0xFAFAF0u;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const double hx = (x - 12.5) / 4.2, hy = (y - 21.5) / 3.0;
      const bool head = hx * hx + hy * hy <= 1.0;
      const bool stem = x >= 16 && x <= 17 && y >= 7 && y <= 21;
      const bool flag = y >= 7 && y <= 12 && x >= 18 && x <= 18 + (y - 7) && x <= 22;
      if (head || stem || flag) pixels[static_cast<size_t>(y * 32 + x)] = ink;
    }
  }
  return WriteBmp24(path, 32, 32, pixels, error);
}

bool WriteBackgroundPicture(const std::string& path, const std::string& seed, std::string& error) {
  const uint32_t h = Hash(seed);
  const int hue = static_cast<int>(h % 360);
  QImage image(800, 438, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 800, 438);
  sky.setColorAt(0.0, QColor::fromHsv(hue, 200, 70));
  sky.setColorAt(1.0, QColor::fromHsv((hue + 40) % 360, 160, 140));
  painter.fillRect(image.rect(), sky);
  // Soft lights.
  uint32_t r = h;
  auto next = [&r]() { return (r = r * 1103515245u + 12345u) >> 8; };
  painter.setPen(Qt::NoPen);
  for (int i = 0; i < 28; ++i) {
    const int x = static_cast<int>(next() % 800), y = static_cast<int>(next() % 438);
    const int size = 12 + static_cast<int>(next() % 70);
    painter.setBrush(QColor::fromHsv((hue + static_cast<int>(next() % 90)) % 360, 90, 255, 28 + static_cast<int>(next() % 40)));
    painter.drawEllipse(QPoint(x, y), size, size);
  }
  // A wavy staff with a few notes on it.
  painter.setBrush(Qt::NoBrush);
  const double waveShift = static_cast<double>(h % 628) / 100.0;
  for (int line = 0; line < 5; ++line) {
    QPainterPath staff;
    for (int x = 0; x <= 800; x += 10) {
      const double y = 300 + line * 12 + 30 * std::sin(x / 130.0 + waveShift);
      if (x == 0) staff.moveTo(x, y);
      else staff.lineTo(x, y);
    }
    painter.setPen(QPen(QColor(255, 255, 255, 70), 2));
    painter.drawPath(staff);
  }
  painter.setPen(QPen(QColor(255, 255, 255, 150), 3));
  painter.setBrush(QColor(255, 255, 255, 150));
  for (int i = 0; i < 7; ++i) {
    const double x = 60 + i * 110 + static_cast<double>(next() % 30);
    const double y = 300 + static_cast<double>(next() % 5) * 12 + 30 * std::sin(x / 130.0 + waveShift);
    painter.drawEllipse(QPointF(x, y), 9, 6.5);
    painter.drawLine(QPointF(x + 8, y), QPointF(x + 8, y - 42));
  }
  painter.end();
  if (!image.save(QString::fromStdString(path), "PNG")) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace sonavera::songgen
