#include "app/song_list.h"

#include <QPainter>
#include <QString>
#include <filesystem>
#include <set>

#include "content/text_file.h"
#include "platform/text_encoding.h"

namespace sonavera::app {
namespace {

// Names of the song folders on disk (UTF-8, exact bytes). Listed once per fill.
std::set<std::string> SongFolders(const std::string& library) {
  std::set<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(library, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code kindError;
    if (it->is_directory(kindError)) names.insert(it->path().filename().string());
  }
  return names;
}

}  // namespace

SongList::SongList(std::string folder) : programFolder(std::move(folder)) {
  if (!programFolder.empty() && programFolder.back() != '/') programFolder += '/';
}

std::string SongList::SongName(const std::string& line) {
  // A GBK trail byte is never 0x20, so the first blank byte is the first blank character. A line
  // without a blank names no folder.
  const auto blank = line.find(' ');
  return blank == std::string::npos ? std::string() : line.substr(0, blank);
}

void SongList::FillSongList(bool /*medleyPage*/) {
  songListCount = 0;
  items.clear();
  pictures.clear();
  selectedIndex = -1;

  std::string catalogue;
  if (content::ReadFileBytes(programFolder + "List.txt", catalogue)) {
    const std::string library = programFolder + "歌曲/单曲/";
    const std::set<std::string> onDisk = SongFolders(library);
    for (const std::string& line : content::SplitTextLines(catalogue)) {
      SongListItem item;
      item.text = line;
      item.displayText = platform::GbkToUtf8(line);
      item.name = SongName(line);
      // Folders are named in UTF-8 on disk; an empty name never matches a folder.
      const std::string folderName = platform::GbkToUtf8(item.name);
      if (folderName.empty() || !onDisk.count(folderName)) {
        item.image = kImageNotOnDisk;
      } else {
        const std::string head = library + folderName + "/head.bmp";
        // A picture that cannot be read shows as "on disk" and takes no index, so the pictures of
        // the items after it stay theirs.
        QImage picture = content::FileExists(head) ? LoadSongPicture(head) : QImage();
        if (picture.isNull()) {
          item.image = kImageOnDisk;
        } else {
          item.image = kFirstHeadImage + static_cast<int>(pictures.size());
          pictures.push_back(std::move(picture));
        }
      }
      items.push_back(std::move(item));
      ++songListCount;
    }
  }

  std::string banner;
  if (content::ReadFileBytes(programFolder + "AD.txt", banner)) {
    const auto lines = content::SplitTextLines(banner);
    bannerText = lines.empty() ? std::string() : lines.front();
    bannerCopy = bannerText;
  }
  if (!items.empty()) selectedIndex = 0;
}

QImage LoadSongPicture(const std::string& path) {
  QImage source(QString::fromStdString(path));
  if (source.isNull()) return {};
  source = source.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < source.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(source.scanLine(y));
    for (int x = 0; x < source.width(); ++x)
      if ((row[x] & 0xFFFFFF) == 0xFFFFFF) row[x] = 0;
  }
  if (source.width() == kSongPictureSize && source.height() == kSongPictureSize) return source;
  // Larger or smaller pictures are fitted into the 32 x 32 cell, centred.
  QImage cell(kSongPictureSize, kSongPictureSize, QImage::Format_ARGB32);
  cell.fill(Qt::transparent);
  const QImage scaled =
      source.scaled(kSongPictureSize, kSongPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QPainter painter(&cell);
  painter.drawImage((kSongPictureSize - scaled.width()) / 2, (kSongPictureSize - scaled.height()) / 2,
                    scaled);
  return cell;
}

}  // namespace sonavera::app
