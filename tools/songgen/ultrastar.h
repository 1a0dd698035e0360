#pragma once

#include <string>
#include <vector>

#include "songgen/timed_song.h"

namespace sonavera::songgen {

/// A song read from an UltraStar text file.
struct UltrastarSong {
  std::string title;   // UTF-8
  std::string artist;  // UTF-8
  std::string mp3;     // file name of the audio, relative to the text file
  double bpm = 0.0;
  double gapMs = 0.0;
  TimedSong song;      // notes timed in seconds; free and rap notes have pitch 0
};

/// Converts UltraStar text to UTF-8: UTF-8 as it is (a byte-order mark dropped), an "#ENCODING" tag
/// when there is one, GBK when every byte above 0x7F pairs up as a GB2312 character, else Latin-1.
std::string UltrastarTextToUtf8(const std::string& bytes);

/// Parses UltraStar text (UTF-8): the header tags, note lines ":", "*" (golden), "F" (freestyle),
/// "R" and "G" (rap), line breaks "-" with one or two numbers (relative files shift by the last
/// number), "E". A beat lasts 60 / (BPM x 4) s after #GAP milliseconds; pitch 0 is MIDI 60. False
/// with `error` ("line N: ...") on anything it cannot read.
bool ParseUltrastar(const std::string& utf8, UltrastarSong& song, std::string& error);

/// What import-ultrastar is asked to do.
struct UltrastarImport {
  std::string textPath;    // the UltraStar .txt
  std::string songFolder;  // the song folder to write; its last component is the song's name
  bool oldForm = false;
  std::string vocalsPath;  // optional: a recording with vocals for "music1.mp3"
};

/// Writes the song package of an UltraStar song. Fills `catalogueLine` (UTF-8) with the line to add
/// to "List.txt" and `warnings` with what could not be carried over. False with `error`.
bool ImportUltrastar(const UltrastarImport& request, std::string& catalogueLine, std::vector<std::string>& warnings,
                     std::string& error);

}  // namespace sonavera::songgen
