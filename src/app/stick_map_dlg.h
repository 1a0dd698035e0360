#pragma once

#include <QDialog>
#include <string>

class QLabel;

namespace sonavera::app {

class DanceStick;

/// Teaches the dance mat's directions: asks for up, down, left and right in turn, takes the button
/// pressed on the mat for each (buttons 1..10), then stores them in "stick.dat" and in the stick's
/// direction map. A button must be released before the next direction is taken.
class StickMapDlg : public QDialog {
 public:
  StickMapDlg(DanceStick& stick, std::string programFolder, QWidget* parent = nullptr);

  /// Called after each report from the mat has been parsed into the stick's buttons.
  void OnStickReport();

  /// The direction now asked for: 0 up, 1 down, 2 left, 3 right, 4 done.
  int Step() const { return step; }
  QLabel* Prompt() const { return prompt; }
  /// False when "stick.dat" could not be written at the end.
  bool Saved() const { return saved; }

 private:
  void ShowPrompt();

  DanceStick& stick;
  std::string programFolder;
  QLabel* prompt;
  int step = 0;
  int buttons[4] = {0, 0, 0, 0};  // stored form: button index plus one
  bool waitingForRelease = false;
  bool saved = false;
};

}  // namespace sonavera::app
