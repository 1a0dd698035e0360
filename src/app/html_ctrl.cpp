#include "app/html_ctrl.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QUrl>

namespace sonavera::app {

CHtmlCtrl::CHtmlCtrl(QWidget* parent) : QTextBrowser(parent) {
  // Every link goes through OnBeforeNavigate2 first.
  setOpenLinks(false);
  setOpenExternalLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this,
          [this](const QUrl& url) { Navigate(url.toString()); });
}

bool CHtmlCtrl::AttachToPlaceholder(int id, QWidget* parent) {
  if (!parent) return false;
  const QString name = QString::number(id);
  QWidget* placeholder = parent->findChild<QWidget*>(name);
  if (!placeholder) return false;
  const QRect rect(placeholder->mapTo(parent, QPoint(0, 0)), placeholder->size());
  delete placeholder;
  setParent(parent);
  setObjectName(name);
  setGeometry(rect);
  show();
  return true;
}

bool CHtmlCtrl::OnBeforeNavigate2(const QString& address) {
  if (address.left(4).compare(QLatin1String("app:"), Qt::CaseInsensitive) != 0) return false;
  OnAppLink(address.mid(4));
  return true;
}

void CHtmlCtrl::Navigate(const QString& address) {
  if (OnBeforeNavigate2(address)) return;
  if (address.isEmpty() || address == QLatin1String("about:blank")) {
    clear();
    return;
  }
  const QUrl url = QUrl::fromUserInput(address);
  if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) {
    clear();  // a missing page shows nothing rather than an error
    return;
  }
  setSource(url);
}

int CHtmlCtrl::WriteHtml(const std::string& html) {
  setHtml(QString::fromStdString(html));
  return 0;
}

void CHtmlCtrl::OnAppLink(const QString& command) {
  if (appLinkHandler) appLinkHandler(command);
}

void CHtmlCtrl::contextMenuEvent(QContextMenuEvent* event) {
  if (m_hideContextMenu) {
    event->accept();
    return;
  }
  QTextBrowser::contextMenuEvent(event);
}

}  // namespace sonavera::app
