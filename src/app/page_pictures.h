#pragma once

#include <QPixmap>
#include <map>
#include <string>

namespace sonavera::app {

/// The main window's own pictures, read once from the program folder's Images/: the backgrounds of
/// the start page and the song-list page, and the lit and dim faces of the six mode toggles.
/// A missing or unreadable file leaves its picture out; callers draw a fallback instead.
class PagePictures {
 public:
  explicit PagePictures(const std::string& programFolder);

  /// The background of page 0 (start) or 1 (song list); nullptr when it could not be read.
  const QPixmap* Page(int page) const;
  /// The face of mode toggle `id` (1120..1130) when on or off; nullptr when missing.
  const QPixmap* Toggle(int id, bool on) const;

  /// File names under the program folder, e.g. "Images/page_start.png"; empty for unknown ids.
  static std::string PageFile(int page);
  static std::string ToggleFile(int id, bool on);

 private:
  std::map<int, QPixmap> pages;
  std::map<std::pair<int, bool>, QPixmap> toggles;
};

}  // namespace sonavera::app
