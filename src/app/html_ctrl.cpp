#include "app/html_ctrl.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QUrl>
#include <exception>

#include "platform/net/http_client.h"

namespace sonavera::app {

CHtmlCtrl::CHtmlCtrl(QWidget* parent) : QTextBrowser(parent) {
  // Every link goes through OnBeforeNavigate2 first.
  setOpenLinks(false);
  setOpenExternalLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { Navigate(url.toString()); });
}

CHtmlCtrl::~CHtmlCtrl() {
  StopFetch();
}

void CHtmlCtrl::StopFetch() {
  abortFetch = true;
  if (fetcher.joinable()) fetcher.join();
  abortFetch = false;
}

void CHtmlCtrl::Fetch(const std::string& url) {
  StopFetch();
  const int request = ++navigation;
  fetcher = std::thread([this, url, request] {
    constexpr std::size_t kLimit = 2 << 20;  // an advert page, not a download
    std::string body;
    bool ok = false;
    try {
      platform::net::HttpGetOptions options;
      options.abort = &abortFetch;
      platform::net::HttpGet get(url, options);
      char block[8192];
      while (body.size() < kLimit) {
        const std::size_t got = get.Read(block, sizeof block);
        if (got == 0) break;
        body.append(block, got);
      }
      ok = get.Status() == 200 && !get.Aborted();
    } catch (const std::exception&) {
      ok = false;  // offline: the view stays blank
    }
    if (!ok) return;
    // Delivered on the user-interface thread; dropped with the view if it goes first (the thread is
    // joined before the view is deleted, so the posted call is discarded with it).
    QMetaObject::invokeMethod(
        this,
        [this, request, html = QString::fromUtf8(body)] {
          if (request == navigation) setHtml(html);
        },
        Qt::QueuedConnection);
  });
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
  ++navigation;
  if (address.isEmpty() || address == QLatin1String("about:blank")) {
    clear();
    return;
  }
  const QUrl url = QUrl::fromUserInput(address);
  if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) {
    clear();
    Fetch(url.toString().toStdString());
    return;
  }
  if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) {
    clear();  // a missing page shows nothing rather than an error
    return;
  }
  setSource(url);
}

int CHtmlCtrl::WriteHtml(const std::string& html) {
  ++navigation;
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
