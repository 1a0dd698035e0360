#pragma once

#include <QImage>
#include <string>

#include "app/song_list.h"

class QListWidget;

namespace sonavera::app {

/// The picture of image 0 (on disk, no "head.bmp") or 1 (not on disk): "Images/song_on_disk.png" or
/// "Images/song_not_on_disk.png" in the program folder, or a drawn stand-in when the file is missing.
QImage SongStatePicture(const std::string& programFolder, int image);

/// Fills the list widget from the song list: one item per catalogue line with its 32 x 32 picture,
/// then makes the selected item (the first) current.
void FillSongListWidget(QListWidget& list, const SongList& songs);

}  // namespace sonavera::app
