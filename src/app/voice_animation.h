#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <string>

namespace sonavera::app {

/// The short man or woman animation at the start of a medley: a frame strip played over the stage
/// container, a child of the main window that floats above it, lets the mouse through and never takes
/// the focus. It runs on the window's timer beside the stage's opening wipe, so nothing waits for it,
/// and hides itself when the strip has played through `kPasses` times.
/// Everything runs on the user-interface thread.
class VoiceAnimation : public QWidget {
 public:
  enum class Voice { Man, Woman };

  /// Frame size in the strips; a strip holds as many frames as fit side by side.
  static constexpr int kFrameWidth = 200, kFrameHeight = 240;
  static constexpr int kFrameMs = 100;
  static constexpr int kPasses = 2;

  /// The strip's file under the program folder, e.g. "Images/medley_man.png".
  static std::string StripFile(Voice voice);

  /// `window` owns the widget; it is centred over `area` (the stage's container), scaled with it.
  VoiceAnimation(QWidget* window, QWidget* area);

  /// Starts the strip of `voice` from `programFolder` (ending in '/') from its first frame. A missing
  /// or unreadable strip shows nothing and returns false. Strips are kept once read.
  bool Play(const std::string& programFolder, Voice voice);
  /// The same from the program's own folder, where the build draws the strips.
  bool Play(Voice voice);
  /// Hides the widget at once (the window returns to the list or closes).
  void Stop();

  bool Playing() const { return timer.isActive(); }
  /// The frame on show (0 .. FrameCount() - 1) and the number of frames in the strip playing.
  int Frame() const { return frame; }
  int FrameCount() const;
  /// The voice of the strip last started.
  Voice PlayingVoice() const { return voice; }

  /// The window's animation, made on first use (the main window's medley start).
  static VoiceAnimation& In(QWidget& window, QWidget* area);
  /// The window's animation if one was made, else nullptr.
  static VoiceAnimation* Find(const QWidget& window);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Advance();
  void Place();
  const QImage* Strip(const std::string& path);

  QPointer<QWidget> area;
  QTimer timer;
  QElapsedTimer clock;
  std::map<std::string, QImage> strips;  // by path, each read once
  const QImage* strip = nullptr;
  Voice voice = Voice::Man;
  int frame = 0;
};

}  // namespace sonavera::app
