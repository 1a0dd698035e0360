#include "app/page_pictures.h"

namespace sonavera::app {
namespace {

const char* ToggleName(int id) {
  switch (id) {
    case 1121:
      return "man";
    case 1122:
      return "woman";
    case 1120:
      return "bangchang";
    case 1123:
      return "yuanchang";
    case 1129:
      return "sing";
    case 1130:
      return "dance";
    default:
      return nullptr;
  }
}

}  // namespace

std::string PagePictures::PageFile(int page) {
  if (page == 0) return "Images/page_start.png";
  if (page == 1) return "Images/page_list.png";
  return {};
}

std::string PagePictures::ToggleFile(int id, bool on) {
  const char* name = ToggleName(id);
  if (name == nullptr) return {};
  return std::string("Images/toggle_") + name + (on ? "_on.png" : "_off.png");
}

PagePictures::PagePictures(const std::string& programFolder) {
  auto load = [&programFolder](const std::string& file) {
    QPixmap picture;
    picture.load(QString::fromStdString(programFolder + file), "PNG");
    return picture;
  };
  for (int page : {0, 1}) {
    QPixmap picture = load(PageFile(page));
    if (!picture.isNull()) pages[page] = picture;
  }
  for (int id : {1120, 1121, 1122, 1123, 1129, 1130}) {
    for (bool on : {true, false}) {
      QPixmap picture = load(ToggleFile(id, on));
      if (!picture.isNull()) toggles[{id, on}] = picture;
    }
  }
}

const QPixmap* PagePictures::Page(int page) const {
  const auto it = pages.find(page);
  return it == pages.end() ? nullptr : &it->second;
}

const QPixmap* PagePictures::Toggle(int id, bool on) const {
  const auto it = toggles.find({id, on});
  return it == toggles.end() ? nullptr : &it->second;
}

}  // namespace sonavera::app
