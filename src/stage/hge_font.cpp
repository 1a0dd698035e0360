#include "stage/hge_font.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace sonavera::stage {

namespace {

// Splits at CR and LF; runs of line ends collapse, so blank lines vanish.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  for (char c : text) {
    if (c == '\n' || c == '\r') {
      if (!current.empty()) lines.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

void SkipSpaces(const std::string& s, std::size_t& at) {
  while (at < s.size() && (s[at] == ' ' || s[at] == '\t')) ++at;
}

// A signed decimal integer after optional white space.
bool ReadInt(const std::string& s, std::size_t& at, int& value) {
  SkipSpaces(s, at);
  const char* begin = s.data() + at;
  const char* end = s.data() + s.size();
  if (begin < end && *begin == '+') ++begin;
  const auto [next, error] = std::from_chars(begin, end, value);
  if (error != std::errc()) return false;
  at = static_cast<std::size_t>(next - s.data());
  return true;
}

}  // namespace

hgeFont::hgeFont(const char* filename, bool) : hge(hgeCreate(HGE_VERSION)) {
  std::uint32_t size = 0;
  void* data = filename ? hge->Resource_Load(filename, &size) : nullptr;
  if (data == nullptr) {
    hge->System_Log("Font %s can't be loaded.", filename ? filename : "(null)");
    return;
  }
  const std::string description(static_cast<const char*>(data), size);
  hge->Resource_Free(data);

  // The bitmap is named relative to the folder of the description.
  const std::string name = filename;
  std::size_t slash = name.find_last_of('\\');
  if (slash == std::string::npos) slash = name.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : name.substr(0, slash + 1);

  if (!Parse(description, folder, filename)) {
    for (auto& letter : letters) letter.reset();
    if (texture != 0) hge->Texture_Free(texture);
    texture = 0;
    height = 0;
  }
}

hgeFont::~hgeFont() {
  for (auto& letter : letters) letter.reset();
  if (texture != 0) hge->Texture_Free(texture);
  hge->Release();
}

bool hgeFont::Parse(const std::string& description, const std::string& folder, const char* filename) {
  const std::vector<std::string> lines = SplitLines(description);
  if (lines.empty() || lines[0] != "[HGEFONT]") {
    hge->System_Log("Font %s has incorrect format.", filename);
    return false;
  }
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const int lineNumber = static_cast<int>(i) + 1;
    if (StartsWith(line, "Bitmap")) {
      std::size_t at = 6;
      SkipSpaces(line, at);
      if (at >= line.size() || line[at] != '=') {
        hge->System_Log("Font %s has incorrect format (line %d).", filename, lineNumber);
        return false;
      }
      ++at;
      SkipSpaces(line, at);
      std::size_t end = at;
      while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
      if (end == at) {
        hge->System_Log("Font %s has incorrect format (line %d).", filename, lineNumber);
        return false;
      }
      if (texture != 0) hge->Texture_Free(texture);
      const std::string path = folder + line.substr(at, end - at);
      texture = hge->Texture_Load(path.c_str());
      if (texture == 0) {
        hge->System_Log("Font %s: can't load the bitmap %s.", filename, path.c_str());
        return false;
      }
    } else if (StartsWith(line, "Char")) {
      if (!ParseChar(line, lineNumber, filename)) return false;
    }
    // Any other line is not ours to read and is skipped.
  }
  if (texture == 0) {
    hge->System_Log("Font %s names no bitmap.", filename);
    return false;
  }
  return true;
}

bool hgeFont::ParseChar(const std::string& line, int lineNumber, const char* filename) {
  auto bad = [&] {
    hge->System_Log("Font %s has incorrect format (line %d).", filename, lineNumber);
    return false;
  };
  std::size_t at = 4;
  SkipSpaces(line, at);
  if (at >= line.size() || line[at] != '=') return bad();
  ++at;
  SkipSpaces(line, at);
  if (at >= line.size()) return bad();

  unsigned code = 0;
  if (line[at] == '"') {
    // The code is the byte after the quote; the closing quote is skipped unread.
    if (at + 1 >= line.size()) return bad();
    code = static_cast<unsigned char>(line[at + 1]);
    at += 3;
  } else {
    std::size_t digits = 0;
    while (at < line.size() && std::isxdigit(static_cast<unsigned char>(line[at]))) {
      const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(line[at])));
      if (code <= 0xFFFF) code = code * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'a' + 10);
      ++at, ++digits;
    }
    if (digits == 0) return bad();
  }
  if (code > 255) {
    hge->System_Log("Font %s: character code out of range dropped (line %d).", filename, lineNumber);
    return true;  // the line is dropped, the font stays
  }

  // x, y, w, h, pre and post spacing; some converters leave out the last two.
  int values[6] = {0, 0, 0, 0, 0, 0};
  int count = 0;
  while (count < 6) {
    std::size_t next = at;
    SkipSpaces(line, next);
    if (next >= line.size() || line[next] != ',') break;
    ++next;
    if (!ReadInt(line, next, values[count])) return bad();
    at = next;
    ++count;
  }
  if (count < 4 || values[2] < 0 || values[3] < 0) return bad();
  if (texture == 0) return bad();  // a glyph before the bitmap has nothing to show

  auto sprite = std::make_unique<hgeSprite>(texture, static_cast<float>(values[0]), static_cast<float>(values[1]),
                                            static_cast<float>(values[2]), static_cast<float>(values[3]));
  sprite->SetColor(color);
  sprite->SetZ(z);
  sprite->SetBlendMode(blend);
  letters[code] = std::move(sprite);
  pre[code] = static_cast<float>(values[4]);
  post[code] = static_cast<float>(values[5]);
  height = std::max(height, static_cast<float>(values[3]));
  return true;
}

int hgeFont::GlyphOf(unsigned char chr) const {
  if (letters[chr]) return chr;
  if (letters['?']) return '?';
  return -1;
}

float hgeFont::LineWidth(const char* text) const {
  float width = 0;
  for (; *text != '\0' && *text != '\n'; ++text) {
    const int glyph = GlyphOf(static_cast<unsigned char>(*text));
    if (glyph >= 0) width += letters[glyph]->GetWidth() + pre[glyph] + post[glyph] + tracking;
  }
  return width * scale * proportion;
}

float hgeFont::GetStringWidth(const char* text, bool multiline) const {
  if (text == nullptr) return 0;
  float widest = 0;
  for (;;) {
    widest = std::max(widest, LineWidth(text));
    if (!multiline) break;
    while (*text != '\0' && *text != '\n') ++text;
    if (*text == '\0') break;
    ++text;
    while (*text == '\r') ++text;  // CRs right after a line break do not count
  }
  return widest;
}

void hgeFont::Render(float x, float y, int align, const char* text) {
  if (text == nullptr || texture == 0) return;
  align &= HGETEXT_HORZMASK;
  auto lineStart = [&](const char* line) {
    if (align == HGETEXT_RIGHT) return x - LineWidth(line);
    if (align == HGETEXT_CENTER) return x - std::trunc(LineWidth(line) / 2);
    return x;
  };
  float pen = lineStart(text);
  for (; *text != '\0'; ++text) {
    if (*text == '\n') {
      y += std::trunc(height * scale * spacing);
      pen = lineStart(text + 1);
      continue;
    }
    const int glyph = GlyphOf(static_cast<unsigned char>(*text));
    if (glyph < 0) continue;
    pen += pre[glyph] * scale * proportion;
    letters[glyph]->RenderEx(pen, y, rotation, scale * proportion, scale);
    pen += (letters[glyph]->GetWidth() + post[glyph] + tracking) * scale * proportion;
  }
}

void hgeFont::printf(float x, float y, int align, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  Render(x, y, align, buffer);
}

void hgeFont::printfb(float x, float y, float w, float h, int align, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);

  // Break at spaces so that each line fits w; a word wider than w gets a line of its own.
  int lines = 1;
  char* lineBegin = buffer;
  char* lastSpace = nullptr;
  for (char* p = buffer; *p != '\0'; ++p) {
    if (*p == '\n') {
      ++lines;
      lineBegin = p + 1;
      lastSpace = nullptr;
      continue;
    }
    if (*p != ' ') continue;
    // Width of the line up to this space.
    const char saved = *p;
    *p = '\0';
    const float width = LineWidth(lineBegin);
    *p = saved;
    if (width > w && lastSpace != nullptr) {
      *lastSpace = '\n';
      ++lines;
      lineBegin = lastSpace + 1;
      lastSpace = nullptr;
      --p;  // measure this space again against the new line
      continue;
    }
    lastSpace = p;
  }
  if (lastSpace != nullptr && LineWidth(lineBegin) > w) {
    *lastSpace = '\n';
    ++lines;
  }

  const float block = height * spacing * scale * static_cast<float>(lines);
  switch (align & HGETEXT_HORZMASK) {
    case HGETEXT_RIGHT: x += w; break;
    case HGETEXT_CENTER: x += std::trunc(w / 2); break;
    default: break;
  }
  switch (align & HGETEXT_VERTMASK) {
    case HGETEXT_BOTTOM: y += h - block; break;
    case HGETEXT_MIDDLE: y += std::trunc((h - block) / 2); break;
    default: break;
  }
  Render(x, y, align, buffer);
}

void hgeFont::SetColor(std::uint32_t col) {
  color = col;
  for (auto& letter : letters) {
    if (letter) letter->SetColor(col);
  }
}

void hgeFont::SetZ(float newZ) {
  z = newZ;
  for (auto& letter : letters) {
    if (letter) letter->SetZ(newZ);
  }
}

void hgeFont::SetBlendMode(int mode) {
  blend = mode;
  for (auto& letter : letters) {
    if (letter) letter->SetBlendMode(mode);
  }
}

}  // namespace sonavera::stage
