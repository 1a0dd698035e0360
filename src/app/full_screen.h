#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <map>

class QCheckBox;
class QWidget;

namespace sonavera::app {

/// Full-screen singing for the main window: the hidden check box 1079 "全屏演唱", toggled by F11.
/// While it is checked the window is full-screen: the 800 x 600 page (its picture and controls) is
/// scaled into the largest centred rectangle of its aspect, and the stage container 1014 and the
/// stage's host inside it fill the whole window, where the engine's view scales the stage and maps
/// input back to stage pixels. Leaving puts every control back where the page has it.
/// User-interface thread only.
class FullScreenSinging : public QObject {
 public:
  /// Adds box 1079 (hidden) to `controls`; both must outlive this object, which `window` owns.
  FullScreenSinging(QWidget& window, std::map<int, QWidget*>& controls);

  /// Box 1079 is checked: full-screen singing is wanted.
  bool Checked() const;
  /// The window is laid out for full screen.
  bool Active() const { return active; }
  /// Checks 1079 and makes the window full-screen; nothing when it already is.
  void Enter();
  /// Unchecks 1079 and brings the window back to its page size; nothing when it is not full-screen.
  void Leave();
  /// What F11 does.
  void Toggle();

  /// Where the 800 x 600 page lies in a window of `size`: scaled up to the largest centred
  /// rectangle of the page's aspect, never scaled down.
  static QRectF PageRect(QSize size);
  /// A rectangle in page pixels mapped into a window of `size`.
  static QRect MapFromPage(const QRect& pageRect, QSize size);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Apply(bool fullScreen);
  void Layout();
  void FitStageHost();

  QWidget& window;
  std::map<int, QWidget*>& controls;
  QCheckBox* box = nullptr;
  QPointer<QWidget> container;             // the stage's container 1014
  std::map<QWidget*, QRect> pageGeometry;  // each control's place on the 800 x 600 page
  bool active = false;
};

}  // namespace sonavera::app
