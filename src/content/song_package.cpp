// Reading a song package into the tables of one performance.
#include "content/song_package.h"

#include <cstdint>
#include <new>
#include <span>

#include "content/dance_chart.h"
#include "content/load_messages.h"
#include "content/note_builder.h"
#include "content/number_reader.h"
#include "content/reference_track.h"
#include "content/song_header.h"
#include "content/syllables.h"
#include "content/text_file.h"
#include "platform/text_encoding.h"

namespace sonavera::content {
namespace {

// The judge's pitch work buffer: frames of one capture buffer, with room to spare.
constexpr size_t kPitchFrameCapacity = 2560;
// The closing entry keeps the stage running a little after the last sung line.
constexpr float kClosingExtension = 2.5f;
// Above this many reference frames in all the lines the buffer is not reserved ahead.
constexpr int64_t kMaxReservedFrames = 16 * 1024 * 1024;

bool ReadFloats(const std::string& path, int count, std::vector<float>& values, std::string& message) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) {
    message = MissingFileMessage(path);
    return false;
  }
  NumberReader reader(bytes);
  for (int i = 0; i < count; ++i) {
    if (!reader.ReadFloat(values[static_cast<size_t>(i)])) {
      message = BadFileMessage(
          path, "应有 " + std::to_string(count) + " 个时间，第 " + std::to_string(i + 1) + " 个无法读取");
      return false;
    }
  }
  return true;
}

bool LoadScoredSong(const SongLoadOptions& options, SongTables& tables, std::string& message) {
  const std::string& folder = options.dataFolder;
  // Medley packages carry no lyric units of their own; their notes get empty ones.
  std::vector<std::string> syllables;
  if (!options.medleyMode) {
    const std::string lyricPath = JoinPath(folder, "Lyric");
    std::string lyric;
    if (!ReadFileBytes(lyricPath, lyric)) {
      message = MissingFileMessage(lyricPath);
      return false;
    }
    syllables = SplitSyllables(SplitTextLines(lyric));
  }

  SongHeader header;
  if (!ReadSongHeader(JoinPath(folder, "sh"), header, message)) return false;
  const int lineCount = header.lineCount;
  const auto entries = static_cast<size_t>(lineCount);
  tables.newForm = header.newForm;
  if (header.newForm) tables.songTitle = header.title;
  tables.videoPath = header.newForm ? std::string() : options.programFolder + "avi/2.avi";

  try {
    tables.lineFrameCount.assign(entries, 0);
    tables.lineNoteCount.assign(entries, 0);
    tables.lineVoiced.assign(entries, 0);
    tables.lineBytes.assign(entries, 0);
  } catch (const std::bad_alloc&) {
    message = kLineBytesMemoryMessage;
    return false;
  }
  try {
    tables.lineStart.assign(entries, 0.0f);
    tables.lineEnd.assign(entries, 0.0f);
  } catch (const std::bad_alloc&) {
    message = kTablesMemoryMessage;
    return false;
  }
  tables.lineCount = lineCount;

  if (!ReadFloats(JoinPath(folder, "st"), lineCount, tables.lineStart, message) ||
      !ReadFloats(JoinPath(folder, "sp"), lineCount, tables.lineEnd, message))
    return false;
  tables.lineEnd.back() += kClosingExtension;

  // Every pitch file must be there with a sane frame count before any is read whole.
  int64_t totalFrames = 0;
  for (int j = 1; j < lineCount; ++j) {
    int n = 0;
    if (!ReadTrackFrameCount(JoinPath(folder, std::to_string(j)), header.newForm, n, message)) return false;
    totalFrames += n;
  }
  try {
    if (totalFrames <= kMaxReservedFrames)
      tables.lineRefs.reserve(static_cast<size_t>(totalFrames) + entries);
  } catch (const std::bad_alloc&) {
    message = kTablesMemoryMessage;
    return false;
  }

  NoteBuilder notes(tables, syllables, options.medleyMode);
  std::vector<int> frames;
  for (int i = 0; i + 1 < lineCount; ++i) {
    const std::string path = JoinPath(folder, std::to_string(i + 1));
    if (!ReadReferenceTrack(path, header.newForm, frames, message)) return false;
    const int n = static_cast<int>(frames.size());
    int voiced = 0;
    try {
      tables.lineRefs.push_back(n);
      for (int v : frames) {
        tables.lineRefs.push_back(v);
        if (v > 0) ++voiced;
      }
    } catch (const std::bad_alloc&) {
      message = kTablesMemoryMessage;
      return false;
    }
    const auto line = static_cast<size_t>(i);
    tables.lineFrameCount[line] = n;
    tables.lineVoiced[line] = voiced;
    if (!notes.AddLine(std::span<const int>(frames), tables.lineNoteCount[line])) {
      message = BadFileMessage(JoinPath(folder, "Lyric"),
                               "歌词字数少于第 " + std::to_string(i + 1) + " 行的音符所需");
      return false;
    }
  }
  tables.syllables = std::move(syllables);
  return true;
}

bool LoadKtvSong(const SongLoadOptions& options, SongTables& tables, std::string& message) {
  const std::string cuePath = JoinPath(options.dataFolder, "ktv.lrc");
  // Without its cues a KTV song would end as soon as it starts.
  if (!FileExists(cuePath)) {
    message = MissingFileMessage(cuePath);
    return false;
  }
  LoadLyricCues(cuePath, tables);
  if (!ReadKtvReferenceRatio(JoinPath(options.dataFolder, "sh"), tables.ktvReferenceRatio, message))
    return false;
  tables.videoPath.clear();
  return true;
}

// The song folder's name is a UTF-8 path component; the tables keep GBK text.
std::string FallbackTitle(const std::string& name) {
  auto gbk = platform::Utf8ToGbk(name);
  return gbk ? *gbk : name;
}

}  // namespace

bool LoadSongPackage(const SongLoadOptions& options, SongTables& tables, std::string& message) {
  ReleaseSongTables(tables);
  message.clear();
  tables.songTitle = FallbackTitle(options.fallbackTitle);
  bool ok = true;
  // The medley form has no dance chart.
  if (options.danceOn && !options.medleyMode)
    ok = ReadDanceChart(JoinPath(options.dataFolder, "dance.txt"), tables, message);
  if (ok)
    ok = options.ktvMode ? LoadKtvSong(options, tables, message) : LoadScoredSong(options, tables, message);
  if (!ok) {
    ReleaseSongTables(tables);
    return false;
  }
  tables.pitchFrames.assign(kPitchFrameCapacity, 0);
  return true;
}

void ReleaseSongTables(SongTables& tables) {
  tables = SongTables{};
}

}  // namespace sonavera::content
