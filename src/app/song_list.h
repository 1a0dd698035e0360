#pragma once

#include <QImage>
#include <string>
#include <vector>

namespace sonavera::app {

/// Picture index of a list item.
inline constexpr int kImageOnDisk = 0;     // on disk, no "head.bmp"
inline constexpr int kImageNotOnDisk = 1;  // not downloaded yet
inline constexpr int kFirstHeadImage = 2;  // the songs' own "head.bmp" pictures, in list order
inline constexpr int kSongPictureSize = 32;

/// One line of the catalogue as the list shows it.
struct SongListItem {
  std::string text;         // the whole catalogue line (GBK bytes)
  std::string displayText;  // the same as UTF-8
  std::string name;         // text before the first blank (GBK bytes): the song folder's name
  int image = kImageNotOnDisk;
};

/// The song list of the main window as data: the catalogue "List.txt" with the on-disk state and
/// picture of each song, and the banner line of "AD.txt". Everything on the user-interface thread.
class SongList {
 public:
  /// `programFolder` holds "List.txt", "AD.txt" and the library "歌曲/单曲/".
  explicit SongList(std::string programFolder);

  /// Rebuilds the items from "List.txt" (a missing catalogue gives an empty list) and rereads the
  /// banner (a missing "AD.txt" keeps it). `medleyPage` does not change what is listed.
  void FillSongList(bool medleyPage);

  const std::vector<SongListItem>& Items() const { return items; }
  /// The songs' own pictures: Pictures()[i] is image kFirstHeadImage + i, 32 x 32, white transparent.
  const std::vector<QImage>& Pictures() const { return pictures; }
  const std::string& ProgramFolder() const { return programFolder; }

  int songListCount = 0;
  std::string bannerText;  // first line of "AD.txt" (GBK bytes); drawn on the stage when not empty
  std::string bannerCopy;
  int selectedIndex = -1;  // the first item after a fill, -1 for an empty list

  /// The song name of a catalogue line: the bytes before its first blank; empty when it has none.
  static std::string SongName(const std::string& line);

 private:
  std::string programFolder;
  std::vector<SongListItem> items;
  std::vector<QImage> pictures;
};

/// Loads a song's "head.bmp" as a list picture: scaled into 32 x 32, white (0xFFFFFF) transparent.
/// A null image when the file cannot be read as a picture.
QImage LoadSongPicture(const std::string& path);

}  // namespace sonavera::app
