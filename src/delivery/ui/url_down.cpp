#include "delivery/ui/url_down.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "delivery/ui/dialog_units.h"

namespace sonavera::delivery::ui {
namespace {

QLineEdit* ReadOnlyBox(QWidget* parent, const QRect& rect) {
  auto* box = new QLineEdit(parent);
  box->setReadOnly(true);
  box->setGeometry(rect);
  return box;
}

QLabel* Label(QWidget* parent, const QString& text, const QRect& rect) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(rect);
  return label;
}

}  // namespace

UrlDown::UrlDown(QWidget* owner, std::function<void()> onExit)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint) {
  setWindowTitle(QStringLiteral("下载列表"));
  setModal(false);
  setFixedSize(DialogSize(174, 122));

  auto* frame = new QGroupBox(QStringLiteral("下载列表"), this);
  frame->setGeometry(DialogRect(7, 3, 160, 56));
  m_queue = new QPlainTextEdit(this);
  m_queue->setObjectName(QStringLiteral("queue"));
  m_queue->setReadOnly(true);
  m_queue->setGeometry(DialogRect(11, 12, 152, 41));

  Label(this, QStringLiteral("文件大小"), DialogRect(9, 63, 33, 8));
  m_size = ReadOnlyBox(this, DialogRect(42, 61, 42, 14));
  Label(this, QStringLiteral("下载速度"), DialogRect(92, 63, 33, 8));
  m_speed = ReadOnlyBox(this, DialogRect(125, 61, 42, 14));

  m_progress = new QProgressBar(this);
  m_progress->setGeometry(DialogRect(7, 79, 126, 14));
  m_progress->setTextVisible(false);
  m_progress->setRange(0, 100);
  m_progress->setValue(0);
  m_percent = ReadOnlyBox(this, DialogRect(137, 79, 30, 14));

  m_status = Label(this, QString(), DialogRect(7, 97, 125, 21));
  m_status->setWordWrap(true);
  m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  m_exit = new QPushButton(QStringLiteral("退出"), this);
  m_exit->setGeometry(DialogRect(134, 97, 33, 17));
  m_exit->setAutoDefault(false);
  connect(m_exit, &QPushButton::clicked, this, [onExit = std::move(onExit)] {
    if (onExit) onExit();
  });
}

void UrlDown::SetQueueText(const QString& text) {
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  m_queue->setPlainText(lines);
}

void UrlDown::SetSizeText(const QString& text) { m_size->setText(text); }
void UrlDown::SetSpeedText(const QString& text) { m_speed->setText(text); }
void UrlDown::SetPercentText(const QString& text) { m_percent->setText(text); }
void UrlDown::SetStatusText(const QString& text) { m_status->setText(text); }

void UrlDown::SetProgressRange(long long maximum) {
  progressScale = 1;
  while (maximum / progressScale > 0x7FFFFFFF) progressScale *= 2;
  m_progress->setRange(0, static_cast<int>(maximum / progressScale));
}

void UrlDown::SetProgressPosition(long long position) {
  const long long value = std::min<long long>(position / progressScale, m_progress->maximum());
  m_progress->setValue(static_cast<int>(value));
}

void UrlDown::PlaceAtLowerRight() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QSize frame = frameGeometry().size();
  move(area.right() + 1 - frame.width(), area.bottom() + 1 - frame.height());
}

void UrlDown::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      hide();  // the downloads go on; the window is destroyed when the queue is done
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void UrlDown::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace sonavera::delivery::ui
