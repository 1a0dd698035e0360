#include "songgen/score.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace sonavera::songgen {
namespace {

bool ParseNumber(const std::string& token, double& value) {
  if (token.empty()) return false;
  char* end = nullptr;
  value = std::strtod(token.c_str(), &end);
  if (end != token.c_str() + token.size()) {
    // Fractions such as 1/2 for half a beat.
    const size_t slash = token.find('/');
    if (slash == std::string::npos) return false;
    double num = 0.0, den = 0.0;
    if (!ParseNumber(token.substr(0, slash), num) || !ParseNumber(token.substr(slash + 1), den) || den == 0.0)
      return false;
    value = num / den;
  }
  return std::isfinite(value);
}

bool ParseChord(const std::string& token, Chord& chord) {
  const int midi = ParsePitch(token.substr(0, token.size() > 1 && (token[1] == '#' || token[1] == 'b') ? 2 : 1) + "4");
  if (midi < 0) return false;
  chord.root = midi % 12;
  std::string rest = token.substr(token.size() > 1 && (token[1] == '#' || token[1] == 'b') ? 2 : 1);
  chord.minor = false;
  chord.seventh = false;
  if (!rest.empty() && rest[0] == 'm') {
    chord.minor = true;
    rest.erase(0, 1);
  }
  if (rest == "7") {
    chord.seventh = true;
    rest.clear();
  }
  return rest.empty();
}

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

bool ParseNoteLine(std::istringstream& in, std::vector<ScoreNote>& notes, std::string& error) {
  std::string token;
  while (in >> token) {
    ScoreNote note;
    std::string beats;
    if (token == "r") {
      if (!(in >> beats) || !ParseNumber(beats, note.beats) || note.beats <= 0.0) {
        error = "a rest needs a length in beats";
        return false;
      }
      notes.push_back(note);
      continue;
    }
    note.midi = ParsePitch(token);
    if (note.midi < 1 || note.midi > 127) {
      error = "'" + token + "' is not a pitch";
      return false;
    }
    std::string syllable;
    if (!(in >> beats) || !ParseNumber(beats, note.beats) || note.beats <= 0.0) {
      error = "the note " + token + " needs a length in beats";
      return false;
    }
    if (!(in >> syllable)) {
      error = "the note " + token + " needs a syllable";
      return false;
    }
    if (syllable == "_") {
      note.hold = true;
    } else {
      note.syllable = syllable;
    }
    notes.push_back(note);
  }
  return true;
}

}  // namespace

int ParsePitch(const std::string& token) {
  if (token.empty()) return -1;
  if (std::isdigit(static_cast<unsigned char>(token[0]))) {
    char* end = nullptr;
    const long v = std::strtol(token.c_str(), &end, 10);
    return (*end == 0 && v >= 0 && v <= 127) ? static_cast<int>(v) : -1;
  }
  static const int kSteps[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(token[0])));
  if (letter < 'A' || letter > 'G') return -1;
  int semitone = kSteps[letter - 'A'];
  size_t i = 1;
  if (i < token.size() && token[i] == '#') ++semitone, ++i;
  else if (i < token.size() && token[i] == 'b') --semitone, ++i;
  if (i >= token.size()) return -1;
  char* end = nullptr;
  const long octave = std::strtol(token.c_str() + i, &end, 10);
  if (*end != 0 || octave < -1 || octave > 9) return -1;
  const int midi = static_cast<int>((octave + 1) * 12) + semitone;
  return midi >= 0 && midi <= 127 ? midi : -1;
}

bool ParseScore(const std::string& text, Score& score, std::string& error) {
  score = Score{};
  std::istringstream lines(text);
  std::string raw;
  int number = 0;
  auto fail = [&](const std::string& what) {
    error = "line " + std::to_string(number) + ": " + what;
    return false;
  };
  while (std::getline(lines, raw)) {
    ++number;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;  // a comment line
    std::istringstream in(line);
    std::string key;
    in >> key;
    std::string rest;
    std::getline(in, rest);
    rest = Trim(rest);
    std::istringstream args(rest);
    double value = 0.0;
    if (key == "name") {
      if (rest.empty() || rest.find_first_of(" /\\") != std::string::npos)
        return fail("a name is one word without slashes");
      score.name = rest;
    } else if (key == "title") {
      score.title = rest;
    } else if (key == "catalogue") {
      score.catalogueLine = rest;
    } else if (key == "shelf") {
      if (rest != "single" && rest != "medley") return fail("shelf is single or medley");
      score.shelf = rest == "single" ? SongShelf::kSingle : SongShelf::kMedley;
    } else if (key == "form") {
      if (rest != "old" && rest != "new") return fail("form is old or new");
      score.newForm = rest == "new";
    } else if (key == "ktv") {
      if (rest != "yes" && rest != "no") return fail("ktv is yes or no");
      score.ktv = rest == "yes";
    } else if (key == "tempo" || key == "intro" || key == "outro" || key == "meter" || key == "chordbeats") {
      if (!ParseNumber(rest, value) || value < 0.0) return fail(key + " needs a number");
      if (key == "tempo") {
        if (value < 20.0 || value > 400.0) return fail("tempo lies between 20 and 400");
        score.tempo = value;
      } else if (key == "intro") {
        score.introBeats = value;
      } else if (key == "outro") {
        score.outroBeats = value;
      } else if (key == "chordbeats") {
        if (value < 1.0 || value > 16.0) return fail("chordbeats is 1 to 16");
        score.chordBeats = static_cast<int>(value);
      } else {
        if (value < 2.0 || value > 8.0) return fail("meter is 2 to 8 beats a bar");
        score.beatsPerBar = static_cast<int>(value);
      }
    } else if (key == "style") {
      if (rest != "pop" && rest != "waltz" && rest != "march" && rest != "ballad")
        return fail("style is pop, waltz, march or ballad");
      score.style = rest;
    } else if (key == "vowels") {
      if (rest.empty() || rest.find_first_not_of("aeiou") != std::string::npos)
        return fail("vowels are letters of a e i o u");
      score.vowels = rest;
    } else if (key == "chords") {
      std::string token;
      while (args >> token) {
        Chord chord;
        if (!ParseChord(token, chord)) return fail("'" + token + "' is not a chord");
        score.chords.push_back(chord);
      }
    } else if (key == "line") {
      std::vector<ScoreNote> notes;
      if (!ParseNoteLine(args, notes, error)) return fail(error);
      bool sung = false;
      for (const auto& n : notes) sung |= n.midi > 0;
      if (!sung) return fail("a line needs at least one note");
      score.lines.push_back(std::move(notes));
    } else if (key == "dance-run") {
      // dance-run FROM TO EVERY CODE...: steps from beat FROM up to TO, the codes in turn.
      std::string from, to, every, code;
      double a = 0.0, b = 0.0, step = 0.0;
      std::vector<int> codes;
      if (!(args >> from >> to >> every) || !ParseNumber(from, a) || !ParseNumber(to, b) || !ParseNumber(every, step) ||
          step <= 0.0 || b < a)
        return fail("dance-run takes FROM TO EVERY and codes");
      while (args >> code) {
        char* end = nullptr;
        const long c = std::strtol(code.c_str(), &end, 10);
        if (*end != 0 || c < 0 || c > 1111) return fail("'" + code + "' is not a dance code");
        codes.push_back(static_cast<int>(c));
      }
      if (codes.empty()) return fail("dance-run needs at least one code");
      if (!score.dance.empty() && a < score.dance.back().beat) return fail("dance steps go forward in time");
      for (int k = 0; a + k * step < b - 1e-9; ++k)
        score.dance.push_back(ScoreDanceStep{a + k * step, codes[static_cast<size_t>(k) % codes.size()]});
    } else if (key == "dance") {
      std::string beat, code;
      while (args >> beat) {
        ScoreDanceStep step;
        if (!(args >> code) || !ParseNumber(beat, step.beat)) return fail("dance takes pairs of beat and code");
        char* end = nullptr;
        const long c = std::strtol(code.c_str(), &end, 10);
        if (*end != 0 || c < 0 || c > 1111) return fail("'" + code + "' is not a dance code");
        step.code = static_cast<int>(c);
        if (!score.dance.empty() && step.beat < score.dance.back().beat) return fail("dance steps go forward in time");
        score.dance.push_back(step);
      }
    } else {
      return fail("unknown key '" + key + "'");
    }
  }
  number = 0;
  if (score.name.empty()) return fail("the score has no name");
  if (score.lines.empty()) return fail("the score has no line of notes");
  if (score.chords.empty()) score.chords.push_back(Chord{});
  if (score.title.empty()) score.title = score.name;
  return true;
}

double BeatSeconds(const Score& score, double beat) { return beat * 60.0 / score.tempo; }

double TotalBeats(const Score& score) {
  double beats = score.introBeats + score.outroBeats;
  for (const auto& line : score.lines)
    for (const auto& note : line) beats += note.beats;
  return beats;
}

TimedSong ScoreToTimedSong(const Score& score) {
  TimedSong song;
  double beat = score.introBeats;
  for (const auto& line : score.lines) {
    TimedLine timed;
    for (const auto& note : line) {
      if (note.midi > 0) {
        TimedNote t;
        t.start = BeatSeconds(score, beat);
        t.length = BeatSeconds(score, note.beats);
        t.pitch = note.midi * 10;
        t.hold = note.hold;
        t.text = note.syllable;
        t.wordEnd = true;
        if (!t.text.empty() && t.text.back() == '-') {
          t.text.pop_back();
          t.wordEnd = false;
        }
        timed.notes.push_back(std::move(t));
      }
      beat += note.beats;
    }
    song.lines.push_back(std::move(timed));
  }
  return song;
}

}  // namespace sonavera::songgen
