#include "app/introduce_dlg.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

#include "app/html_ctrl.h"
#include "app/hyper_link.h"
#include "platform/text_encoding.h"

namespace sonavera::app {
namespace {

// Dialog units of the panel's "System" 10-point font.
QRect Units(int x, int y, int w, int h) {
  return QRect(x * 2, y * 2, w * 2, h * 2);
}

}  // namespace

QStringList ReadHelpRows(const std::string& path) {
  QStringList rows;
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return rows;
  while (!file.atEnd()) {
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    if (line.isEmpty()) break;
    rows << QString::fromStdString(platform::GbkToUtf8(line.toStdString())) << QString();
  }
  return rows;
}

IntroduceDlg::IntroduceDlg(QWidget* parent, const std::vector<std::string>& deviceNames, int& captureDevice,
                           std::string programFolder, QString operationTutorialUrl,
                           QString installTutorialUrl, IntroduceActions actions)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint),
      captureDevice(captureDevice),
      programFolder(std::move(programFolder)),
      operationTutorialUrl(std::move(operationTutorialUrl)),
      installTutorialUrl(std::move(installTutorialUrl)),
      actions(std::move(actions)) {
  setModal(false);
  resize(Units(0, 0, 400, 300).size());
  m_backButton = new QPushButton(QString::fromUtf8("返回"), this);
  m_backButton->setGeometry(Units(16, 253, 44, 37));
  connect(m_backButton, &QPushButton::clicked, this, &QDialog::hide);
  m_helpList = new QListWidget(this);
  m_helpList->setGeometry(Units(32, 19, 336, 231));
  m_songFolderButton = new QPushButton(QString::fromUtf8("歌曲文件夹"), this);
  m_songFolderButton->setGeometry(Units(176, 166, 67, 61));
  m_tutorialLink = new CHyperLink(this);
  m_tutorialLink->move(Units(173, 259, 81, 8).topLeft());
  m_deviceCombo = new QComboBox(this);
  m_deviceCombo->setGeometry(Units(160, 58, 99, 14));
  m_monitorButton = new QPushButton(QString::fromUtf8("听到自己的声音"), this);
  m_monitorButton->setGeometry(Units(160, 85, 98, 14));

  for (const std::string& name : deviceNames) m_deviceCombo->addItem(QString::fromStdString(name));
  m_deviceCombo->setCurrentIndex(deviceNames.empty() ? -1 : 0);  // shown, not chosen
  connect(m_deviceCombo, &QComboBox::activated, this, [this](int index) { this->captureDevice = index; });
  connect(m_songFolderButton, &QPushButton::clicked, this, [this] {
    const QString folder = QString::fromStdString(this->programFolder) + QString::fromUtf8("歌曲/单曲");
    if (this->actions.openFolder)
      this->actions.openFolder(folder);
    else
      QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
  });
  connect(m_monitorButton, &QPushButton::clicked, this, [this] { OnMonitor(); });
}

void IntroduceDlg::ShowHelpPanel(const QRect& mainWindowRect) {
  show();
  setGeometry(mainWindowRect);
  m_helpList->show();
  m_tutorialLink->SetLink(QString::fromUtf8("软件操作-图文详细教程"), operationTutorialUrl);
  m_deviceCombo->hide();
  m_monitorButton->hide();
  m_songFolderButton->hide();
  if (helpListPending) {
    m_helpList->addItems(ReadHelpRows(programFolder + "init"));
    helpListPending = false;
  }
}

void IntroduceDlg::ShowSettingsPanel(const QRect& mainWindowRect) {
  show();
  m_tutorialLink->SetLink(QString::fromUtf8("歌曲安装详细教程"), installTutorialUrl);
  setGeometry(mainWindowRect);
  m_deviceCombo->show();
  m_monitorButton->show();
  m_tutorialLink->hide();
  m_helpList->hide();
  m_songFolderButton->show();
}

void IntroduceDlg::OnMonitor() {
  const QString warning = QString::fromUtf8("软件方式：听到的自唱声音可能会延时。");
  if (actions.showMessage)
    actions.showMessage(warning);
  else
    QMessageBox::information(this, QString(), warning);
  const QString echo = QString::fromStdString(programFolder) + QStringLiteral("sonavera-echo");
  // A missing companion fails silently; the help window opens all the same.
  if (actions.startProgram)
    actions.startProgram(echo);
  else
    QProcess::startDetached(echo, {});
  if (actions.showEchoHelp) {
    actions.showEchoHelp();
  } else {
    ZChelpdlg help(programFolder, this);
    help.exec();
  }
}

ZChelpdlg::ZChelpdlg(const std::string& programFolder, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("听到自唱设置说明"));
  const QSize client(int(321 * 1.5), int(265 * 1.625));
  resize(client);
  move(0, 0);
  auto* placeholder = new QWidget(this);
  placeholder->setObjectName(QStringLiteral("1140"));
  placeholder->setGeometry(int(6 * 1.5), int(6 * 1.625), int(307 * 1.5), int(214 * 1.625));
  auto* quit = new QPushButton(QString::fromUtf8("退出"), this);
  quit->setGeometry(int(263 * 1.5), int(225 * 1.625), int(50 * 1.5), int(15 * 1.625));
  connect(quit, &QPushButton::clicked, this, &QDialog::reject);
  auto* view = new CHtmlCtrl(this);
  view->m_hideContextMenu = true;
  view->AttachToPlaceholder(1140, this);
  view->Navigate(QString::fromStdString(programFolder) + QStringLiteral("zchelp.htm"));
}

}  // namespace sonavera::app
