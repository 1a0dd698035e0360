// The main window's side of the medley's end and of the performance's callbacks: the hidden anchors,
// the score panel and the voice buttons the judge resets.
#include <QFrame>
#include <QPushButton>
#include <QRadioButton>

#include "app/main_window.h"
#include "app/performance.h"
#include "app/score_dlg.h"
#include "platform/program_folder.h"

namespace sonavera::app {
namespace {

// The hidden placement anchors. 1105 covers the middle of the stage, where the results screen shows
// its score; 1102 and 1103 mark the pitch lane and the stage's lower half for other pop-ups.
struct Anchor {
  int id;
  QRect rect;
};
constexpr Anchor kAnchors[] = {
    {1102, {0, 56, 800, 106}}, {1103, {0, 300, 800, 300}}, {1105, {200, 160, 400, 300}}};

}  // namespace

void CRating1Dlg::BuildMedleyPanel() {
  for (const Anchor& anchor : kAnchors) {
    auto* frame = new QFrame(this);
    frame->setObjectName(QString::number(anchor.id));
    frame->setGeometry(anchor.rect);
    frame->hide();
    controls[anchor.id] = frame;
  }
  scoreDlg = new CScoreDlg(programFolder, platform::ProgramFolder() + "Images/medleyscore.png", this);
  scoreDlg->hide();
}

QRect CRating1Dlg::ScorePanelAnchor() const {
  return Control(1105)->geometry();
}

void CRating1Dlg::ShowMedleyScore(float score, const std::string& takePath, int takeSeconds) {
  scoreDlg->SetResult(score, takePath, takeSeconds);
  const QRect anchor = ScorePanelAnchor();
  scoreDlg->ShowOver(QRect(mapToGlobal(anchor.topLeft()), anchor.size()), true);
  scorePanelShown = true;
}

void CRating1Dlg::HideScorePanel() {
  scoreDlg->HidePanel();
  scorePanelShown = false;
}

void CRating1Dlg::ShowManVoiceSelected() {
  maleVoice = 1;
  SetToggle(1121, true);
  SetToggle(1122, false);
  ControlAs<QRadioButton>(1055)->setChecked(true);
}

void CRating1Dlg::HookPerformance() {
  performance->onReturnToList = [this] { ReturnToList(); };
  performance->onNextMedleySong = [this](int number) {
    medleySongNumber = number;
    PrepareSong();
  };
  performance->onMedleyScore = [this](float score, const std::string& takePath, int takeSeconds) {
    ShowMedleyScore(score, takePath, takeSeconds);
  };
  performance->onManVoiceSelected = [this] { ShowManVoiceSelected(); };
}

void CRating1Dlg::UnhookPerformance() {
  performance->onReturnToList = nullptr;
  performance->onNextMedleySong = nullptr;
  performance->onMedleyScore = nullptr;
  performance->onManVoiceSelected = nullptr;
}

}  // namespace sonavera::app
