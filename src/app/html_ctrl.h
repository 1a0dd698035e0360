#pragma once

#include <QTextBrowser>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace sonavera::app {

/// An HTML view that takes the place of a placeholder widget of a dialog. Links of the form
/// "app:" + command (the scheme compared without case) are not opened but handed to OnAppLink.
class CHtmlCtrl : public QTextBrowser {
 public:
  explicit CHtmlCtrl(QWidget* parent = nullptr);
  ~CHtmlCtrl() override;

  /// Suppresses the right-button menu when set (false at construction).
  bool m_hideContextMenu = false;

  /// Replaces the child of `parent` whose object name is the decimal `id` by this view, in the same
  /// rectangle and with the same name. False when there is no such child.
  bool AttachToPlaceholder(int id, QWidget* parent);
  /// Opens an address: "about:blank" empties the view, local files are shown, "app:" links are
  /// dispatched; http and https pages are fetched in the background and shown when they arrive
  /// (the view stays blank when offline).
  void Navigate(const QString& address);
  /// Replaces the shown document by `html` (UTF-8). Returns 0.
  int WriteHtml(const std::string& html);
  /// Called with the command of an "app:" link; hands it to the handler set below.
  virtual void OnAppLink(const QString& command);
  void SetAppLinkHandler(std::function<void(const QString&)> handler) { appLinkHandler = std::move(handler); }

  /// Checks an address about to be opened: true (and OnAppLink called) for "app:" links.
  bool OnBeforeNavigate2(const QString& address);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void Fetch(const std::string& url);
  void StopFetch();

  std::function<void(const QString&)> appLinkHandler;
  std::thread fetcher;
  std::atomic<bool> abortFetch{false};
  int navigation = 0;  // a page arriving for an older navigation is dropped
};

}  // namespace sonavera::app
