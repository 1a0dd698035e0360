// sonavera-tool song FOLDER [--ktv] [--medley] [--dance]: loads one song as the program does and prints
// its tables as one JSON object.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "command.h"
#include "content/song_package.h"
#include "json_writer.h"
#include "platform/program_folder.h"
#include "platform/text_encoding.h"

namespace sonavera::tool {
namespace {

using content::SongTables;

std::vector<std::string> ToUtf8(const std::vector<std::string>& gbk) {
  std::vector<std::string> utf8;
  utf8.reserve(gbk.size());
  for (const std::string& text : gbk) utf8.push_back(platform::GbkToUtf8(text));
  return utf8;
}

// The name of the song's own folder (the last component of the path as given).
std::string FolderName(const std::string& folder) {
  std::filesystem::path path(folder);
  while (path.has_relative_path() && !path.has_filename()) path = path.parent_path();
  return path.filename().string();
}

std::string SongJson(bool ok, const std::string& message, const SongTables& tables,
                     const std::string& programFolder) {
  // The video path is printed relative to the program folder, so the output does not depend on where
  // the program is.
  std::string videoPath = tables.videoPath;
  if (videoPath.rfind(programFolder, 0) == 0) videoPath.erase(0, programFolder.size());

  JsonWriter json;
  json.BeginObject();
  json.Key("ok").Bool(ok);
  json.Key("message").String(message);
  json.Key("lineCount").Int(tables.lineCount);
  json.Key("songTitle").String(platform::GbkToUtf8(tables.songTitle));
  json.Key("lineStart").FloatArray(tables.lineStart);
  json.Key("lineEnd").FloatArray(tables.lineEnd);
  json.Key("lineFrameCount").IntArray(tables.lineFrameCount);
  json.Key("lineVoiced").IntArray(tables.lineVoiced);
  json.Key("lineNoteCount").IntArray(tables.lineNoteCount);
  json.Key("lineRefs").IntArray(tables.lineRefs);
  json.Key("notePitch").IntArray(tables.notePitch);
  json.Key("noteLength").IntArray(tables.noteLength);
  json.Key("noteLyrics").StringArray(ToUtf8(tables.noteLyrics));
  json.Key("syllables").StringArray(ToUtf8(tables.syllables));
  json.Key("danceTimes").FloatArray(tables.danceTimes);
  json.Key("danceCodes").IntArray(tables.danceCodes);
  json.Key("lyricCues").BeginArray();
  for (const content::LyricCue& cue : tables.lyricCues) {
    json.BeginObject()
        .Key("time")
        .Float(cue.time)
        .Key("text")
        .String(platform::GbkToUtf8(cue.text))
        .EndObject();
  }
  json.EndArray();
  json.Key("lyricCueCount").Int(tables.lyricCueCount);
  json.Key("lyricEndTime").Float(tables.lyricEndTime);
  json.Key("ktvReferenceRatio").Float(tables.ktvReferenceRatio);
  json.Key("videoPath").String(videoPath);
  json.EndObject();
  return json.Text();
}

int RunSong(const std::vector<std::string>& args) {
  std::string folder;
  content::SongLoadOptions options;
  for (const std::string& arg : args) {
    if (arg == "--ktv")
      options.ktvMode = true;
    else if (arg == "--medley")
      options.medleyMode = true;
    else if (arg == "--dance")
      options.danceOn = true;
    else if (arg.rfind("--", 0) == 0)
      return Fail("song: unknown option '" + arg + "'");
    else if (folder.empty())
      folder = arg;
    else
      return Fail("song: more than one folder given");
  }
  if (folder.empty()) return Fail("song: no song folder given");
  if (!std::filesystem::is_directory(folder)) return Fail("song: not a folder: " + folder);

  options.programFolder = platform::ProgramFolder();
  options.dataFolder = content::FindSongDataFolder(folder);
  options.fallbackTitle = FolderName(folder);
  SongTables tables;
  std::string message;
  const bool ok = content::LoadSongPackage(options, tables, message);
  std::printf("%s\n", SongJson(ok, message, tables, options.programFolder).c_str());
  if (ok) return 0;
  // The JSON tells what happened; the exit code and stderr say that the song cannot be sung.
  std::fprintf(stderr, "sonavera-tool: song: %s\n", message.c_str());
  return 1;
}

}  // namespace
}  // namespace sonavera::tool

SONAVERA_TOOL_COMMAND(
    "song", "song FOLDER [--ktv] [--medley] [--dance]   load a song package, print its tables as JSON",
    sonavera::tool::RunSong);
