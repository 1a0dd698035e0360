#include "delivery/ui/wait_dlg.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "delivery/ui/dialog_units.h"

namespace sonavera::delivery::ui {
namespace {

const QString kLoadingText = QStringLiteral("文件加载中，请稍候……");
const QString kBlanks = QString(21, QLatin1Char(' '));

}  // namespace

WaitDlg::WaitDlg(int noticeMode, QWidget* parent, std::function<void()> refreshList, const QString& siteUrl)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      mode(noticeMode),
      refresh(std::move(refreshList)) {
  setModal(true);
  setWindowTitle(kLoadingText);
  QSize size = DialogSize(187, 57);

  text = new QLabel(this);
  text->setGeometry(DialogRect(17, 5, 162, 26));
  text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  yes = new QPushButton(QStringLiteral("嗯，现在去下载"), this);
  yes->setGeometry(DialogRect(20, 34, 63, 17));
  yes->setDefault(true);
  no = new QPushButton(QStringLiteral("不，玩别的歌曲"), this);
  no->setGeometry(DialogRect(99, 34, 63, 17));
  yes->hide();
  no->hide();
  connect(yes, &QPushButton::clicked, this, [this] { done(1); });
  connect(no, &QPushButton::clicked, this, [this] { done(2); });

  switch (mode) {
    case kLoading:
      size -= QSize(70, 50);
      text->setText(kLoadingText);
      break;
    case kNotDownloaded:
      setWindowTitle(QStringLiteral("未下载本首歌曲"));
      yes->show();
      no->show();
      text->setText(QStringLiteral("\n") + kBlanks + QStringLiteral("未下载本首歌曲\n") + kBlanks +
                    QStringLiteral("现在就去下载？"));
      break;
    case kProgramTooOld:
      setWindowTitle(QStringLiteral("软件版本过旧"));
      yes->show();
      no->setText(QStringLiteral("取消"));
      no->show();
      text->setText(kBlanks + QStringLiteral("该软件版本过旧\n请到官网：") + siteUrl +
                    QStringLiteral("下载最新版软件\n") + kBlanks + QStringLiteral("现在就去下载？"));
      break;
    default:
      break;
  }
  setFixedSize(size);
}

void WaitDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (mode != kLoading || refreshStarted) return;
  refreshStarted = true;
  QTimer::singleShot(200, this, [this] {
    if (refresh) refresh();
    done(0);
  });
}

void WaitDlg::closeEvent(QCloseEvent* event) {
  // No system menu: the notice ends through its buttons (or by itself while loading).
  event->ignore();
}

void WaitDlg::reject() {
  if (mode != kLoading) done(2);
}

}  // namespace sonavera::delivery::ui
