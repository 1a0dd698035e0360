#include "delivery/ui/dialog_units.h"

namespace sonavera::delivery::ui {
namespace {

constexpr int kCharWidth = 6;
constexpr int kCharHeight = 13;

int Horizontal(int units) { return (units * kCharWidth + 2) / 4; }
int Vertical(int units) { return (units * kCharHeight + 4) / 8; }

}  // namespace

QRect DialogRect(int x, int y, int width, int height) {
  return QRect(Horizontal(x), Vertical(y), Horizontal(width), Vertical(height));
}

QSize DialogSize(int width, int height) { return QSize(Horizontal(width), Vertical(height)); }

}  // namespace sonavera::delivery::ui
