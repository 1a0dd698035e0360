#include "app/song_list_widget.h"

#include <QIcon>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace sonavera::app {
namespace {

// The stand-ins: a green disc with a note for a song on disk, a grey disc with a down arrow for one
// still to be downloaded.
QImage DrawnStatePicture(int image) {
  QImage picture(kSongPictureSize, kSongPictureSize, QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  const bool onDisk = image == kImageOnDisk;
  painter.setPen(Qt::NoPen);
  painter.setBrush(onDisk ? QColor(0x2E, 0xA0, 0x4A) : QColor(0x8A, 0x8A, 0x8A));
  painter.drawEllipse(QRectF(2, 2, 28, 28));
  painter.setBrush(Qt::white);
  if (onDisk) {
    painter.drawEllipse(QRectF(9, 19, 7, 6));
    painter.drawRect(QRectF(14, 8, 2, 14));
    painter.drawRect(QRectF(14, 8, 8, 3));
  } else {
    QPainterPath arrow;
    arrow.moveTo(13, 8);
    arrow.lineTo(19, 8);
    arrow.lineTo(19, 16);
    arrow.lineTo(23, 16);
    arrow.lineTo(16, 24);
    arrow.lineTo(9, 16);
    arrow.lineTo(13, 16);
    arrow.closeSubpath();
    painter.drawPath(arrow);
  }
  return picture;
}

}  // namespace

QImage SongStatePicture(const std::string& programFolder, int image) {
  const char* file = image == kImageOnDisk ? "Images/song_on_disk.png" : "Images/song_not_on_disk.png";
  QImage picture(QString::fromStdString(programFolder + file));
  if (picture.isNull()) return DrawnStatePicture(image);
  if (picture.size() != QSize(kSongPictureSize, kSongPictureSize))
    picture =
        picture.scaled(kSongPictureSize, kSongPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  return picture;
}

void FillSongListWidget(QListWidget& list, const SongList& songs) {
  list.clear();
  list.setIconSize(QSize(kSongPictureSize, kSongPictureSize));
  const QIcon states[2] = {
      QIcon(QPixmap::fromImage(SongStatePicture(songs.ProgramFolder(), kImageOnDisk))),
      QIcon(QPixmap::fromImage(SongStatePicture(songs.ProgramFolder(), kImageNotOnDisk)))};
  for (const SongListItem& song : songs.Items()) {
    QIcon icon =
        song.image < kFirstHeadImage
            ? states[song.image]
            : QIcon(QPixmap::fromImage(songs.Pictures()[static_cast<size_t>(song.image - kFirstHeadImage)]));
    auto* item = new QListWidgetItem(icon, QString::fromStdString(song.displayText), &list);
    item->setData(Qt::UserRole, song.image);
  }
  if (songs.selectedIndex >= 0 && songs.selectedIndex < list.count()) {
    list.setCurrentRow(songs.selectedIndex);
    list.item(songs.selectedIndex)->setSelected(true);
  }
}

}  // namespace sonavera::app
