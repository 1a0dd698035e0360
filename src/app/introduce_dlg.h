#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QListWidget;
class QPushButton;

namespace sonavera::app {

class CHyperLink;

/// The help rows of the text file `path` (GBK): each line up to the first empty one, each followed
/// by a blank row. A missing file gives no rows.
QStringList ReadHelpRows(const std::string& path);

/// What the panel does outside itself; the defaults use the desktop.
struct IntroduceActions {
  std::function<void(const QString& text)> showMessage;
  std::function<void(const QString& path)> openFolder;
  std::function<void(const QString& program)> startProgram;  ///< started, not waited for
  std::function<void()> showEchoHelp;                        ///< the hear-yourself help window
};

/// The help and microphone-settings panel, laid over the main window.
class IntroduceDlg : public QDialog {
 public:
  /// `captureDevice` is the main window's device number (-1: the system's default); it changes only
  /// when the user picks a device. `programFolder` ends in '/'.
  IntroduceDlg(QWidget* parent, const std::vector<std::string>& deviceNames, int& captureDevice,
               std::string programFolder, QString operationTutorialUrl, QString installTutorialUrl,
               IntroduceActions actions = {});

  /// The "帮助" button: the help list (filled from "init" in the program folder the first time).
  void ShowHelpPanel(const QRect& mainWindowRect);
  /// The "麦克风设置" button: device choice, song folder and hear-yourself.
  void ShowSettingsPanel(const QRect& mainWindowRect);

  QListWidget* HelpList() const { return m_helpList; }
  QComboBox* DeviceCombo() const { return m_deviceCombo; }
  QPushButton* SongFolderButton() const { return m_songFolderButton; }
  QPushButton* MonitorButton() const { return m_monitorButton; }
  CHyperLink* TutorialLink() const { return m_tutorialLink; }

 private:
  void OnMonitor();

  CHyperLink* m_tutorialLink = nullptr;
  QPushButton* m_songFolderButton = nullptr;
  QPushButton* m_backButton = nullptr;
  QListWidget* m_helpList = nullptr;
  QComboBox* m_deviceCombo = nullptr;
  QPushButton* m_monitorButton = nullptr;
  int& captureDevice;
  std::string programFolder;
  QString operationTutorialUrl;
  QString installTutorialUrl;
  IntroduceActions actions;
  bool helpListPending = true;
};

/// The hear-yourself help window: "zchelp.htm" of the program folder in an HTML view.
class ZChelpdlg : public QDialog {
 public:
  ZChelpdlg(const std::string& programFolder, QWidget* parent = nullptr);
};

}  // namespace sonavera::app
