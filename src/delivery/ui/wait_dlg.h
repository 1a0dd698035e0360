#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace sonavera::delivery::ui {

/// The notice dialog, shown modally. Its result is the button pressed: 1 (yes) or 2 (no); 0 when
/// it closed by itself (the loading notice).
class WaitDlg : public QDialog {
 public:
  enum Mode { kLoading = 0, kNotDownloaded = 1, kProgramTooOld = 2 };

  /// `noticeMode` is the application's notice mode. In the loading mode `refresh` runs 200 ms after
  /// the dialog appeared (the catalogue refresh), then the dialog closes as cancelled. `siteUrl` is
  /// the maker's web-site address shown in the "program too old" text.
  WaitDlg(int noticeMode, QWidget* parent, std::function<void()> refresh = {}, const QString& siteUrl = QString());

  QLabel* noticeText() const { return text; }
  QPushButton* yesButton() const { return yes; }
  QPushButton* noButton() const { return no; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;  // Esc answers "no"; the loading notice cannot be dismissed

 private:
  int mode;
  std::function<void()> refresh;
  bool refreshStarted = false;
  QLabel* text;
  QPushButton* yes;
  QPushButton* no;
};

}  // namespace sonavera::delivery::ui
