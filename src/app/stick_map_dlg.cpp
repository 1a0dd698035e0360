#include "app/stick_map_dlg.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dance_stick.h"
#include "app/stick_settings.h"

namespace sonavera::app {
namespace {

const char* const kDirectionNames[4] = {"上", "下", "左", "右"};
constexpr int kStorableButtons = 10;  // the stored form holds buttons 1..10

}  // namespace

StickMapDlg::StickMapDlg(DanceStick& stick, std::string programFolder, QWidget* parent)
    : QDialog(parent), stick(stick), programFolder(std::move(programFolder)) {
  setWindowTitle(QString::fromUtf8("跳舞毯方向设置"));
  auto* layout = new QVBoxLayout(this);
  prompt = new QLabel(this);
  prompt->setObjectName("prompt");
  layout->addWidget(prompt);
  auto* cancel = new QPushButton(QString::fromUtf8("取消"), this);
  cancel->setAutoDefault(false);
  layout->addWidget(cancel);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  ShowPrompt();
}

void StickMapDlg::ShowPrompt() {
  if (step < 4) {
    prompt->setText(QString::fromUtf8("请在跳舞毯上踩“%1”").arg(QString::fromUtf8(kDirectionNames[step])));
  } else {
    prompt->setText(QString::fromUtf8(saved ? "设置完成" : "无法保存设置"));
  }
}

void StickMapDlg::OnStickReport() {
  if (step >= 4) return;
  int pressed = -1;
  for (int i = 0; i < DanceStick::kButtonSlots; ++i) {
    if (stick.stickButtons[i]) {
      pressed = i;
      break;
    }
  }
  if (waitingForRelease) {
    if (pressed < 0) waitingForRelease = false;
    return;
  }
  if (pressed < 0 || pressed >= kStorableButtons) return;
  buttons[step++] = pressed + 1;
  waitingForRelease = true;
  if (step == 4) {
    StickDatSettings settings(programFolder);
    saved = settings.Save(buttons[0], buttons[1], buttons[2], buttons[3]);
    if (saved) {
      stick.dirUp = buttons[0] - 1;
      stick.dirDown = buttons[1] - 1;
      stick.dirLeft = buttons[2] - 1;
      stick.dirRight = buttons[3] - 1;
    }
  }
  ShowPrompt();
}

}  // namespace sonavera::app
