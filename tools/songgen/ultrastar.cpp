#include "songgen/ultrastar.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "platform/text_encoding.h"

namespace sonavera::songgen {
namespace {

std::string Latin1ToUtf8(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool LooksLikeGb2312(const std::string& bytes) {
  bool any = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) continue;
    if (c < 0xA1 || i + 1 >= bytes.size() || static_cast<unsigned char>(bytes[i + 1]) < 0xA1) return false;
    any = true;
    ++i;
  }
  return any;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string TrimEnd(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
  return s;
}

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

bool ParseDecimal(std::string text, double& value) {
  std::replace(text.begin(), text.end(), ',', '.');  // many files write "300,5"
  text = Trim(text);
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return *end == 0;
}

// Reads one integer field after blanks; `pos` moves past it.
bool ReadInt(const std::string& line, size_t& pos, long& value) {
  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
  const char* begin = line.c_str() + pos;
  char* end = nullptr;
  value = std::strtol(begin, &end, 10);
  if (end == begin) return false;
  pos += static_cast<size_t>(end - begin);
  return value > -1000000 && value < 1000000;
}

}  // namespace

std::string UltrastarTextToUtf8(const std::string& bytes) {
  std::string text = bytes;
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  const size_t tag = Upper(text.substr(0, std::min<size_t>(text.size(), 4096))).find("#ENCODING:");
  if (tag != std::string::npos) {
    const size_t end = text.find('\n', tag);
    const std::string name = Upper(Trim(text.substr(tag + 10, end == std::string::npos ? std::string::npos : end - tag - 10)));
    if (name == "UTF8" || name == "UTF-8") return text;
    if (name == "GBK" || name == "GB2312" || name == "CP936") return platform::GbkToUtf8(text);
    if (name == "CP1252" || name == "LATIN1" || name == "ISO-8859-1") return Latin1ToUtf8(text);
  }
  if (platform::IsValidUtf8(text)) return text;
  if (LooksLikeGb2312(text)) return platform::GbkToUtf8(text);
  return Latin1ToUtf8(text);
}

bool ParseUltrastar(const std::string& utf8, UltrastarSong& song, std::string& error) {
  song = UltrastarSong{};
  std::istringstream in(utf8);
  std::string raw;
  int number = 0;
  auto fail = [&](const std::string& what) {
    error = "line " + std::to_string(number) + ": " + what;
    return false;
  };
  bool relative = false;
  bool ended = false;
  bool inNotes = false;
  long base = 0;  // beat offset of relative files
  TimedLine line;
  auto beatSeconds = [&](double beat) { return song.gapMs / 1000.0 + beat * 60.0 / (song.bpm * 4.0); };
  while (!ended && std::getline(in, raw)) {
    ++number;
    const std::string text = TrimEnd(raw);
    if (Trim(text).empty()) continue;
    const char kind = text[0];
    if (kind == '#') {
      if (inNotes) return fail("a header tag after the notes");
      const size_t colon = text.find(':');
      if (colon == std::string::npos) return fail("a header tag without ':'");
      const std::string key = Upper(text.substr(1, colon - 1));
      const std::string value = Trim(text.substr(colon + 1));
      if (key == "TITLE") song.title = value;
      else if (key == "ARTIST") song.artist = value;
      else if (key == "MP3" || (key == "AUDIO" && song.mp3.empty())) song.mp3 = value;
      else if (key == "BPM" && !ParseDecimal(value, song.bpm)) return fail("#BPM is not a number");
      else if (key == "GAP" && !ParseDecimal(value, song.gapMs)) return fail("#GAP is not a number");
      else if (key == "RELATIVE") relative = Upper(value) == "YES";
      continue;
    }
    if (!inNotes) {
      if (!(song.bpm > 0.0 && song.bpm < 100000.0)) return fail("#BPM is missing or not above 0");
      inNotes = true;
    }
    size_t pos = 1;
    if (kind == 'E') {
      ended = true;
    } else if (kind == 'P') {
      return fail("duet songs (P1/P2) are not supported");
    } else if (kind == '-') {
      long first = 0, second = 0;
      if (!ReadInt(text, pos, first)) return fail("a line break needs a beat");
      const bool two = ReadInt(text, pos, second);
      if (Trim(text.substr(pos)).size() > 0) return fail("a line break holds more than two numbers");
      if (relative) base += two ? second : first;
      if (!line.notes.empty()) song.song.lines.push_back(std::move(line));
      line = TimedLine{};
    } else if (kind == ':' || kind == '*' || kind == 'F' || kind == 'R' || kind == 'G') {
      long start = 0, length = 0, pitch = 0;
      if (!ReadInt(text, pos, start) || !ReadInt(text, pos, length) || !ReadInt(text, pos, pitch))
        return fail("a note needs a start, a length and a pitch");
      if (length <= 0) return fail("a note needs a length above 0");
      if (pos < text.size() && text[pos] == ' ') ++pos;  // the one blank before the syllable
      const std::string syllable = pos < text.size() ? text.substr(pos) : std::string();
      TimedNote note;
      note.start = beatSeconds(static_cast<double>(start + base));
      note.length = beatSeconds(static_cast<double>(start + base + length)) - note.start;
      if (note.start < 0.0) return fail("the note starts before the song");
      const bool judged = kind == ':' || kind == '*';
      if (judged && (60 + pitch < 1 || 60 + pitch > 127)) return fail("the pitch lies outside the MIDI range");
      note.pitch = judged ? static_cast<int>((60 + pitch) * 10) : 0;
      const bool leadingBlank = !syllable.empty() && std::isspace(static_cast<unsigned char>(syllable[0]));
      const bool trailingBlank = !syllable.empty() && std::isspace(static_cast<unsigned char>(syllable.back()));
      note.text = Trim(syllable);
      note.wordEnd = trailingBlank;
      if (leadingBlank && !line.notes.empty()) line.notes.back().wordEnd = true;
      if (note.text == "~" || note.text.empty()) {
        note.hold = !line.notes.empty();
        note.text = note.hold ? "" : "~";
        if (note.hold && trailingBlank) {
          for (auto it = line.notes.rbegin(); it != line.notes.rend(); ++it)
            if (!it->hold) {
              it->wordEnd = true;
              break;
            }
        }
      }
      line.notes.push_back(std::move(note));
    } else {
      return fail("cannot read '" + text.substr(0, 20) + "'");
    }
  }
  if (!line.notes.empty()) song.song.lines.push_back(std::move(line));
  for (auto& l : song.song.lines) {
    // The last syllable of a line ends its word.
    for (auto it = l.notes.rbegin(); it != l.notes.rend(); ++it)
      if (!it->hold) {
        it->wordEnd = true;
        break;
      }
  }
  number = 0;
  if (!inNotes || song.song.lines.empty()) return fail("the file has no notes");
  return true;
}

}  // namespace sonavera::songgen
