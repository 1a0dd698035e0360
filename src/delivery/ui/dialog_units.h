#pragma once

#include <QRect>
#include <QSize>

namespace sonavera::delivery::ui {

// Dialog layouts are given in dialog units of an 8-point dialog font: a horizontal unit is a quarter
// of its average character width (6 px), a vertical unit an eighth of its height (13 px).

/// Pixels of a rectangle given in dialog units.
QRect DialogRect(int x, int y, int width, int height);

/// Pixels of a size given in dialog units.
QSize DialogSize(int width, int height);

}  // namespace sonavera::delivery::ui
