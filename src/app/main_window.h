#pragma once

#include <QDialog>
#include <map>
#include <memory>
#include <string>

#include "app/dance_stick.h"
#include "app/dance_stick_input.h"
#include "app/song_list.h"

class QListWidget;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace sonavera::app {

class FullScreenSinging;
class MainWindowServices;
class CScoreDlg;
class PagePictures;
class IntroduceDlg;
class Performance;
class StickReader;

/// The main window: the start page, the single-song and medley lists, the mode switches and the
/// container the stage runs in. Controls carry their numeric ids as object names ("1081", ...).
/// Everything runs on the user-interface thread.
class CRating1Dlg : public QDialog {
 public:
  /// `services` outlives the window.
  CRating1Dlg(std::string programFolder, MainWindowServices& services, QWidget* parent = nullptr);
  ~CRating1Dlg() override;

  /// The control with that id, or nullptr.
  QWidget* Control(int id) const;
  template <typename T>
  T* ControlAs(int id) const {
    return qobject_cast<T*>(Control(id));
  }

  void StartSinging();
  void ShowSingleList();
  void ShowMedleyList();
  void ShowStartPage();
  void FindNextSong();
  void OnSongSelected();
  void ToggleDance();
  void ToggleSing();
  void StartSong();
  void PrepareSong();
  void ReturnToList();
  void ShowAbout();
  /// The "帮助" and "麦克风设置" buttons: the help and settings panel over the window.
  void ShowHelp();
  void ShowSettings();
  /// The help and settings panel, made hidden on first use.
  IntroduceDlg& Introduce();
  /// Teaches the mat's four directions (the stick's reports go to the dialog meanwhile).
  void ShowStickMap();

  /// Rebuilds the list from the catalogue (after a refresh from the server).
  void RefillSongList() { FillList(); }
  /// A package was unpacked: the list is rebuilt when it is shown again.
  void MarkListStale() { listStale = true; }

  /// The performance that runs songs in container 1014 (it outlives the window); without one the
  /// window only switches pages.
  void SetPerformance(Performance* performance);

  /// The medley's end: shows the score panel over anchor 1105, growing from its centre, with the
  /// medley's score and the take it plays back (`takePath`, `takeSeconds` long).
  void ShowMedleyScore(float score, const std::string& takePath, int takeSeconds);
  /// The voice selection went back to the man's voice: the buttons show it.
  void ShowManVoiceSelected();
  /// The medley's score panel (created hidden with the window).
  CScoreDlg& ScorePanel() { return *scoreDlg; }
  /// Where the score panel goes, in this window's coordinates (hidden anchor 1105).
  QRect ScorePanelAnchor() const;

  SongList& Songs() { return songs; }
  DanceStick& Stick() { return stick; }
  /// Full-screen singing: box 1079 and F11.
  FullScreenSinging& FullScreen() { return *fullScreen; }

  int page = 0;  // 0 start page, 1 song list
  int medleyPage = 0;
  int singlePage = 0;
  uint8_t withVocals = 1;  // 1 plays "music1.mp3", 0 "music.mp3"
  int maleVoice = 1;
  uint8_t danceOn = 0;
  uint8_t singOn = 1;
  uint8_t savedDanceOn = 0;
  uint8_t savedSingOn = 1;
  int searchPosition = -1;
  int lastSongIndex = 0;
  int medleySlotIds[4] = {1043, 1044, 1045, 1046};
  int stageTimerOff = 1;
  int ktvMode = 0;
  int medleyMode = 0;
  int medleySongNumber = 0;
  bool songRunning = false;
  bool scorePanelShown = false;
  std::string songTitle;  // GBK bytes
  std::string songFolder;
  std::string programFolder;
  std::string siteUrl;               // the maker's web site (configuration), shown in the About box
  std::string operationTutorialUrl;  // configuration, linked from the help panel
  std::string installTutorialUrl;    // configuration, linked from the settings panel
  int captureDevice = -1;            // chosen in the settings panel; -1 the system's default

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void BuildControls();
  void BuildMedleyPanel();  // the anchors 1102, 1103, 1105 and the hidden score panel
  void HideScorePanel();
  void HookPerformance();   // the performance's callbacks into this window
  void UnhookPerformance();
  QPushButton* AddButton(int id, const char* caption, QRect rect, bool toggle = false);
  void Show(std::initializer_list<int> ids, bool visible);
  void SetToggle(int id, bool on);
  void SetLanes(uint8_t dance, uint8_t sing);
  void SelectRow(int row);  // selects without notifying
  void OnSearchEdited(const QString& text);
  int FindFrom(int start, const QString& text) const;
  std::string SelectedText() const;  // UTF-8
  bool SelectedIsKtv() const;
  void FillList();
  void ClearSlots();
  const PagePictures& Pictures();  // read on first use

  MainWindowServices& services;
  Performance* performance = nullptr;
  SongList songs;
  DanceStick stick;
  DanceStickInput stickInput{stick};  // what the stage's dance lane reads
  StickReader* stickReader = nullptr;
  IntroduceDlg* introduce = nullptr;  // owned as a child
  CScoreDlg* scoreDlg = nullptr;      // owned as a child
  std::map<int, QWidget*> controls;
  QListWidget* list = nullptr;
  bool mouseSelecting = false;
  bool listStale = false;
  bool selectingRow = false;
  std::unique_ptr<PagePictures> pictures;
  FullScreenSinging* fullScreen = nullptr;  // owned as a child
};

}  // namespace sonavera::app
