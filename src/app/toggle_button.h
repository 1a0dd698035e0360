#pragma once

#include <QPixmap>
#include <QPushButton>

namespace sonavera::app {

/// A mode toggle whose face is its "on" picture while checked and its "off" picture otherwise.
/// Without both pictures it draws as the plain checkable button with its caption.
class ToggleButton : public QPushButton {
 public:
  ToggleButton(const QString& caption, const QPixmap* onFace, const QPixmap* offFace, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const QPixmap* onFace;  // owned by the window's PagePictures
  const QPixmap* offFace;
};

}  // namespace sonavera::app
