// import-ultrastar: an UltraStar song and its MP3 become a song package.
#include <filesystem>

#include "content/package_writer.h"
#include "platform/text_encoding.h"
#include "songgen/reference_builder.h"
#include "songgen/song_builder.h"
#include "songgen/ultrastar.h"

namespace sonavera::songgen {
namespace {

namespace fs = std::filesystem;

bool CopyInto(const fs::path& from, const fs::path& to, std::string& error) {
  std::error_code ec;
  if (!fs::is_regular_file(from, ec)) {
    error = "the audio file " + from.string() + " does not exist";
    return false;
  }
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
  if (ec) {
    error = "cannot copy " + from.string() + " to " + to.string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace

bool ImportUltrastar(const UltrastarImport& request, std::string& catalogueLine, std::vector<std::string>& warnings,
                     std::string& error) {
  std::string bytes;
  if (!ReadWholeFile(request.textPath, bytes)) {
    error = "cannot read " + request.textPath;
    return false;
  }
  UltrastarSong song;
  if (!ParseUltrastar(UltrastarTextToUtf8(bytes), song, error)) {
    error = request.textPath + ": " + error;
    return false;
  }
  if (song.mp3.empty()) {
    error = request.textPath + ": the song names no audio file (#MP3)";
    return false;
  }
  fs::path folder(request.songFolder);
  if (!folder.has_filename()) folder = folder.parent_path();  // a trailing '/'
  const std::string name = folder.filename().string();
  if (name.empty() || name.find(' ') != std::string::npos) {
    error = "the song folder's name must be one word (it is the song's name in the list)";
    return false;
  }
  const auto gbkName = platform::Utf8ToGbk(name);
  if (!gbkName) {
    error = "the song folder's name '" + name + "' holds a character GBK cannot hold";
    return false;
  }

  ReferenceTables tables;
  if (!BuildReference(song.song, tables, error)) {
    error = request.textPath + ": " + error;
    return false;
  }
  warnings = tables.warnings;
  content::SongPackageSpec spec;
  spec.form = request.oldForm ? content::PackageForm::kOld : content::PackageForm::kNew;
  const std::string title = song.title.empty() ? name : song.title;
  const auto gbkTitle = platform::Utf8ToGbk(title);
  if (!gbkTitle) {
    error = "the title '" + title + "' holds a character GBK cannot hold";
    return false;
  }
  spec.title = *gbkTitle;
  for (size_t i = 0; i < tables.lineStart.size(); ++i)
    spec.lines.push_back(content::PackageLine{tables.lineStart[i], tables.lineEnd[i], tables.lineFrames[i]});
  spec.closingStart = tables.lineEnd.back() + 0.5f;
  spec.closingEnd = spec.closingStart;
  spec.lyric = tables.lyric;

  const fs::path data = folder / kDataFolderName;
  std::error_code ec;
  fs::create_directories(data, ec);
  if (ec) {
    error = "cannot create " + data.string() + ": " + ec.message();
    return false;
  }
  if (!content::WriteSongPackage(data.string(), spec, error)) return false;
  const fs::path audio = fs::path(request.textPath).parent_path() / song.mp3;
  if (!CopyInto(audio, data / "music.mp3", error)) return false;
  const fs::path vocals = request.vocalsPath.empty() ? audio : fs::path(request.vocalsPath);
  if (!CopyInto(vocals, data / "music1.mp3", error)) return false;
  if (!WriteSongPictures(folder.string(), name, error)) return false;

  catalogueLine = name + " " + title;
  if (!song.artist.empty()) catalogueLine += " - " + song.artist;
  if (!platform::Utf8ToGbk(catalogueLine)) {
    warnings.push_back("the artist's name holds a character GBK cannot hold; the catalogue line keeps the title only");
    catalogueLine = name + " " + title;
  }
  return true;
}

}  // namespace sonavera::songgen
