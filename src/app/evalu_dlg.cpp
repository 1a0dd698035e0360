#include "app/evalu_dlg.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace sonavera::app {
namespace {

// Dialog units of the report window's layout at its 8-point font.
constexpr double kUnitX = 1.5;
constexpr double kUnitY = 1.625;

QRect Units(int x, int y, int w, int h) {
  return QRect(int(x * kUnitX), int(y * kUnitY), int(w * kUnitX), int(h * kUnitY));
}

QWidget* Placeholder(QWidget* parent, int id, const QRect& rect) {
  auto* placeholder = new QWidget(parent);
  placeholder->setObjectName(QString::number(id));
  placeholder->setGeometry(rect);
  return placeholder;
}

}  // namespace

EvaluDlg::EvaluDlg(ReportContext context, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      context(std::move(context)) {
  setWindowTitle(QString::fromUtf8("Sonavera-Vexo点评"));
  setFixedSize(Units(0, 0, 181, 353).size());
  Placeholder(this, 1142, Units(0, 0, 181, 165));
  Placeholder(this, 1141, Units(0, 165, 181, 187));
  // Hidden OK and Cancel give Enter and Esc their usual meaning.
  auto* ok = new QPushButton(QString::fromUtf8("确定"), this);
  ok->setDefault(true);
  ok->hide();
  auto* cancel = new QPushButton(QString::fromUtf8("取消"), this);
  cancel->hide();
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  if (this->context.reportHtml) this->context.reportHtml->clear();
  if (this->context.channels)
    replay = std::make_unique<ReportReplay>(*this->context.channels, this->context.replay);

  m_advertView = new CHtmlCtrl(this);
  m_advertView->m_hideContextMenu = true;
  m_advertView->AttachToPlaceholder(1142, this);
  m_advertView->Navigate(QString::fromStdString(this->context.advertUrl));

  m_reportView = new CHtmlCtrl(this);
  m_reportView->m_hideContextMenu = true;
  m_reportView->AttachToPlaceholder(1141, this);
  m_reportView->Navigate(QStringLiteral("about:blank"));
  Write("<html>正在评价，请稍候...</html>");

  // The links post their request, as a click inside the page must not start sound re-entrantly.
  const auto links = [this](const QString& command) {
    if (command.compare(QLatin1String("ok"), Qt::CaseInsensitive) == 0)
      QMetaObject::invokeMethod(
          this, [this] { OnReplayBestLine(); }, Qt::QueuedConnection);
    else if (command.compare(QLatin1String("badplay"), Qt::CaseInsensitive) == 0)
      QMetaObject::invokeMethod(
          this, [this] { OnReplayWorstLine(); }, Qt::QueuedConnection);
  };
  m_reportView->SetAppLinkHandler(links);
  m_advertView->SetAppLinkHandler(links);

  reportTimer.setSingleShot(true);
  reportTimer.setInterval(1000);
  connect(&reportTimer, &QTimer::timeout, this, [this] { OnReportTick(); });
  reportTimer.start();
  replayTimer.setInterval(200);
  connect(&replayTimer, &QTimer::timeout, this, [this] { OnReplayTick(); });
}

void EvaluDlg::Write(const std::string& html) {
  if (m_reportView->WriteHtml(html) == 0) shownHtml = html;
}

void EvaluDlg::OnReportTick() {
  reportTimer.stop();
  std::string report = context.reportHtml ? *context.reportHtml : std::string();
  if (report.empty()) {
    report = "演唱很失败，无话可说。。。";
    if (context.reportHtml) *context.reportHtml = report;
  }
  Write("<html>" + report + "</html>");
}

void EvaluDlg::OnReplayTick() {
  if (!replay || !replay->Tick()) replayTimer.stop();
}

void EvaluDlg::OnReplayBestLine() {
  if (replay && replay->Start(true)) replayTimer.start();
}

void EvaluDlg::OnReplayWorstLine() {
  if (replay && replay->Start(false)) replayTimer.start();
}

QPoint ReportWindowPosition(const QRect& workArea, int height) {
  // Measured from the work area itself, so a panel at the top does not lift the window off the bottom.
  return QPoint(workArea.left(), workArea.bottom() + 1 - height);
}

EvaluDlg* ReportWindowHost::OpenReportWindow(QWidget* owner, ReportContext context) {
  CloseReportWindow();
  window = std::make_unique<EvaluDlg>(std::move(context), owner);
  window->setModal(false);
  QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
  const QRect workArea = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
  window->show();
  // Place by the outer frame so the bottom edge of the whole window meets the work area's bottom.
  const int frameExtra = window->frameGeometry().height() - window->height();
  window->move(ReportWindowPosition(workArea, window->height() + frameExtra));
  return window.get();
}

void ReportWindowHost::CloseReportWindow() {
  if (!window) return;
  window->reject();
  window.reset();
}

}  // namespace sonavera::app
