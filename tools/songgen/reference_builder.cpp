#include "songgen/reference_builder.h"

#include <cmath>
#include <cstdio>

#include "platform/text_encoding.h"

namespace sonavera::songgen {
namespace {

using platform::Utf8ToGbk;

// Rest frames after every note: the loader opens a new syllable only after a rest.
constexpr int kGapFrames = 2;

// Names the first character of `utf8` that GBK cannot hold, for the error message.
std::string DescribeUnencodable(const std::string& utf8) {
  size_t i = 0;
  while (i < utf8.size()) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
    if (i + len > utf8.size()) len = utf8.size() - i;
    const std::string one = utf8.substr(i, len);
    if (!Utf8ToGbk(one)) {
      unsigned cp = len == 1 ? c : c & (0xFF >> (len + 1));
      for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(one[k]) & 0x3F);
      char buf[96];
      std::snprintf(buf, sizeof buf, "U+%04X", cp);
      return "the character '" + one + "' (" + buf + ")";
    }
    i += len;
  }
  return "a character";
}

int FrameOf(double seconds) { return static_cast<int>(std::lround(seconds / kFrameSeconds)); }

// A note after lyric units have been split out, placed in frames of its line.
struct PlacedNote {
  TimedNote note;
  LyricUnit unit;      // unused for holds
  bool hasUnit = true;
};

std::string Seconds(double t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f s", t);
  return buf;
}

// Lines as the loader can read them: free notes only at a line's start, no line without a judged
// note, holds only after a sung note.
std::vector<TimedLine> RegroupLines(const TimedSong& song, std::vector<std::string>& warnings) {
  std::vector<TimedLine> out;
  for (const TimedLine& line : song.lines) {
    TimedLine current;
    bool currentJudged = false;
    for (size_t i = 0; i < line.notes.size(); ++i) {
      TimedNote note = line.notes[i];
      const bool prevFree = current.notes.empty() || current.notes.back().pitch == 0;
      if (note.hold && prevFree) note.hold = false;  // nothing to carry on: a syllable of its own
      if (note.pitch == 0 && !note.hold && currentJudged) {
        bool judgedLater = false;
        for (size_t j = i + 1; j < line.notes.size(); ++j) judgedLater |= line.notes[j].pitch > 0;
        if (!judgedLater) {
          warnings.push_back("free syllable '" + note.text + "' at " + Seconds(note.start) +
                             " ends a line and is not shown");
          continue;
        }
        out.push_back(std::move(current));
        current = TimedLine{};
        currentJudged = false;
      }
      if (note.hold && note.pitch == 0) continue;  // a free hold adds nothing to see or judge
      currentJudged |= note.pitch > 0;
      current.notes.push_back(std::move(note));
    }
    if (currentJudged) {
      out.push_back(std::move(current));
    } else if (!current.notes.empty()) {
      std::string text;
      for (const auto& n : current.notes) text += n.text;
      warnings.push_back("line '" + text + "' has no judged note and is left out");
    }
  }
  return out;
}

}  // namespace

bool SplitLyricUnits(const std::string& utf8, bool wordEnd, std::vector<LyricUnit>& units, std::string& error) {
  units.clear();
  const std::optional<std::string> gbk = Utf8ToGbk(utf8);
  if (!gbk) {
    error = platform::IsValidUtf8(utf8) ? DescribeUnencodable(utf8) + " has no GBK form"
                                        : "the syllable is not valid UTF-8";
    return false;
  }
  const std::string& s = *gbk;
  std::string run;
  auto flush = [&](char separator) {
    if (run.empty()) return;
    units.push_back(LyricUnit{run, false, separator});
    run.clear();
  };
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      flush('-');  // a pending word before a double-byte character would be lost
      if (i + 1 >= s.size()) {
        error = "a double-byte character is cut short";
        return false;
      }
      units.push_back(LyricUnit{s.substr(i, 2), true, 0});
      ++i;
    } else if (c == ' ' || c == '\t') {
      flush(' ');
    } else if (c == '-') {
      flush('-');
    } else if (c >= 0x20 && c != 0x7F) {
      run += static_cast<char>(c);
    }
  }
  flush(wordEnd ? ' ' : '-');
  if (units.empty()) units.push_back(LyricUnit{"", false, '-'});  // an empty unit still takes a note
  return true;
}

bool BuildReference(const TimedSong& song, ReferenceTables& tables, std::string& error) {
  tables = ReferenceTables{};
  const std::vector<TimedLine> lines = RegroupLines(song, tables.warnings);
  if (lines.empty()) {
    error = "the song has no judged note";
    return false;
  }
  double previousLineEnd = -1.0;
  for (const TimedLine& line : lines) {
    // Split every syllable into lyric units; several units share their note evenly.
    std::vector<PlacedNote> placed;
    std::string text;
    for (const TimedNote& note : line.notes) {
      if (note.length <= 0.0 || note.start < 0.0) {
        error = "the note at " + Seconds(note.start) + " has no length";
        return false;
      }
      if (note.hold) {
        placed.push_back(PlacedNote{note, {}, false});
        continue;
      }
      std::vector<LyricUnit> units;
      if (!SplitLyricUnits(note.text, note.wordEnd, units, error)) {
        error = "syllable '" + note.text + "' at " + Seconds(note.start) + ": " + error;
        return false;
      }
      text += note.text;
      if (note.wordEnd && !note.text.empty() && static_cast<unsigned char>(note.text.back()) < 0x80) text += ' ';
      if (note.pitch == 0 && units.size() > 1) {
        // A free note is one rest for the loader, so it can show one unit only.
        tables.warnings.push_back("free syllable '" + note.text + "' at " + Seconds(note.start) +
                                  " shows only its first part");
        units.resize(1);
      }
      const double part = note.length / static_cast<double>(units.size());
      for (size_t u = 0; u < units.size(); ++u) {
        TimedNote piece = note;
        piece.start = note.start + part * static_cast<double>(u);
        piece.length = part;
        placed.push_back(PlacedNote{piece, units[u], true});
      }
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();

    const double lineStart = placed.front().note.start;
    if (lineStart < previousLineEnd) {
      error = "the line starting at " + Seconds(lineStart) + " overlaps the line before it";
      return false;
    }
    std::vector<int> frames;
    std::string lyricLine;
    int previousEnd = 0;        // frame where the previous note's time ended
    int previousVoicedEnd = 0;  // frame after the previous note's last voiced frame
    for (size_t i = 0; i < placed.size(); ++i) {
      const TimedNote& note = placed[i].note;
      int a = FrameOf(note.start - lineStart);
      const int b = FrameOf(note.start + note.length - lineStart);
      if (i > 0 && a < previousEnd) a = previousEnd;  // overlapping notes: the later one yields
      if (note.pitch == 0) {
        if (b <= a) {
          error = "the free note at " + Seconds(note.start) + " is too short";
          return false;
        }
        frames.resize(static_cast<size_t>(b), 0);
        previousEnd = previousVoicedEnd = b;
      } else {
        const int voicedEnd = b - kGapFrames;
        if (voicedEnd <= a) {
          error = "the note at " + Seconds(note.start) + " is too short for its syllable";
          return false;
        }
        if (note.hold && i > 0) {
          // Carry the previous pitch up to this note: no rest, so no new syllable.
          const int carried = frames.empty() ? 0 : frames[static_cast<size_t>(previousVoicedEnd - 1)];
          frames.resize(static_cast<size_t>(a), carried);
        }
        frames.resize(static_cast<size_t>(a), 0);
        frames.resize(static_cast<size_t>(voicedEnd), note.pitch);
        previousEnd = b;
        previousVoicedEnd = voicedEnd;
      }
      if (placed[i].hasUnit) {
        const LyricUnit& unit = placed[i].unit;
        if (unit.wide) {
          lyricLine += unit.bytes;
        } else {
          lyricLine += unit.bytes;
          lyricLine += unit.separator;
        }
      }
    }
    // One rest frame ends the line: a change on the last frame gives the open rest no unit.
    frames.resize(static_cast<size_t>(previousVoicedEnd), 0);
    frames.push_back(0);
    const float start = static_cast<float>(lineStart);
    tables.lineStart.push_back(start);
    tables.lineEnd.push_back(start + static_cast<float>(frames.size() * kFrameSeconds));
    previousLineEnd = tables.lineEnd.back();
    tables.lineFrames.push_back(std::move(frames));
    tables.lyric += lyricLine + "\n";
    tables.lineTexts.push_back(text);
  }
  return true;
}

}  // namespace sonavera::songgen
