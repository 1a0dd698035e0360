#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace sonavera::delivery::ui {

/// The download window "下载列表": the queue, the archive's size, the speed, a progress bar with
/// the percentage, a status line and the exit button. It is left only with its exit button (the
/// close button is absent); Enter and Esc hide it while the downloads go on. All methods run on
/// the user-interface thread.
class UrlDown : public QDialog {
 public:
  /// `onExit` runs when the exit button is clicked (it cancels the downloads and destroys the window).
  UrlDown(QWidget* owner, std::function<void()> onExit);

  void SetQueueText(const QString& text);      // one name per line
  void SetSizeText(const QString& text);
  void SetSpeedText(const QString& text);
  void SetPercentText(const QString& text);
  void SetStatusText(const QString& text);
  void SetProgressRange(long long maximum);
  void SetProgressPosition(long long position);
  /// Moves the window to the lower-right corner of the screen's work area.
  void PlaceAtLowerRight();

  QPlainTextEdit* queueField() const { return m_queue; }
  QLineEdit* sizeField() const { return m_size; }
  QLineEdit* speedField() const { return m_speed; }
  QLineEdit* percentField() const { return m_percent; }
  QProgressBar* progressBar() const { return m_progress; }
  QLabel* statusLine() const { return m_status; }
  QPushButton* exitButton() const { return m_exit; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QPlainTextEdit* m_queue;
  QLineEdit* m_size;
  QLineEdit* m_speed;
  QLineEdit* m_percent;
  QProgressBar* m_progress;
  QLabel* m_status;
  QPushButton* m_exit;
  long long progressScale = 1;  // the bar counts in units of this many bytes to stay within int
};

}  // namespace sonavera::delivery::ui
