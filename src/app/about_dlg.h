#pragma once

#include <QDialog>

namespace sonavera::app {

/// The About box: the program's name and version, the maker and the web site, and an OK button.
class CAboutDlg : public QDialog {
 public:
  /// `siteUrl` is the configured web-site address (may be empty).
  CAboutDlg(const QString& siteUrl, QWidget* parent = nullptr);
};

/// The version line the About box shows.
inline constexpr const char* kVersionText = "Sonavera V3.9.4";

}  // namespace sonavera::app
