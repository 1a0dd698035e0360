#pragma once

// What the tests that run songs through the real window share: quiet services, a user's click on a
// list row, an event loop that runs until something happened, and sung takes written as WAV files.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMouseEvent>
#include <QThread>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/main_window_services.h"
#include "app/performance.h"
#include "audio/test_media.h"
#include "content/package_writer.h"
#include "platform/text_encoding.h"
#include "platform/wav_file.h"

namespace sonavera::app::testing {

/// Services that open the microphone and collect the message boxes instead of showing them.
struct QuietServices : MainWindowServices {
  void ShowMessage(const std::string& text, const std::string&, bool) override { messages.push_back(text); }
  bool OpenCaptureDevice() override { return true; }
  std::vector<std::string> messages;
};

/// A mouse click on a list row, as the user gives it (also on the row already selected).
inline void Pick(QListWidget* list, int row) {
  QWidget* viewport = list->viewport();
  const QPoint at = list->visualItemRect(list->item(row)).center();
  QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(viewport, &press);
  QApplication::sendEvent(viewport, &release);
}

/// Lets the event loop run until `done` or the safety limit (a hung song fails instead of blocking).
template <typename Done>
bool RunUntil(Done done, int limitMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < limitMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return done();
}

/// `seconds` of a voice at 8000 Hz holding MIDI note `semitone` (a fundamental with two overtones),
/// or silence when `voice` is false. The take runs longer than the song, so its start need not meet
/// the song's.
inline std::vector<int16_t> HeldNoteTake(bool voice, int semitone, int seconds) {
  std::vector<int16_t> samples(static_cast<size_t>(seconds) * 8000, 0);
  if (!voice) return samples;
  const double hz = 440.0 * std::pow(2.0, (semitone - 69) / 12.0);
  for (size_t n = 0; n < samples.size(); ++n) {
    const double phase = 2 * M_PI * hz * static_cast<double>(n) / 8000.0;
    samples[n] = static_cast<int16_t>(6000 * std::sin(phase) + 3000 * std::sin(2 * phase) +
                                      1500 * std::sin(3 * phase));
  }
  return samples;
}

/// Writes an 8000 Hz mono take for --mic-file.
inline void WriteTake(const std::string& path, const std::vector<int16_t>& take) {
  std::string error;
  ASSERT_TRUE(platform::WriteWavFile(path, take.data(), take.size(), 1, 8000, error)) << error;
}

/// A silent accompaniment of `seconds` as "music.mp3" and "music1.mp3" in a song's data folder
/// (ending in '/'): its channel is the song's clock.
inline void WriteQuietMusic(const std::string& dataFolder, int seconds) {
  const auto music = sonavera::testing::Mp3Bytes(
      44100, 2, std::vector<int16_t>(static_cast<size_t>(44100 * 2 * seconds), 0));
  for (const char* name : {"music.mp3", "music1.mp3"}) sonavera::testing::WriteFile(dataFolder + name, music);
}

/// A song of lines on middle C (600) starting at `starts`, each `notes` frames long with four silent
/// frames after, one syllable "啦" per line.
inline content::SongPackageSpec MiddleCSong(const std::string& utf8Title, const std::vector<float>& starts,
                                            int notes) {
  content::SongPackageSpec spec;
  spec.title = platform::Utf8ToGbk(utf8Title).value();
  std::string lyric;
  for (float start : starts) {
    content::PackageLine line{start, 0.0f, std::vector<int>(static_cast<size_t>(notes), 600)};
    line.frames.insert(line.frames.end(), 4, 0);
    line.end = start + 0.016f * static_cast<float>(line.frames.size());
    spec.lines.push_back(line);
    lyric += lyric.empty() ? "啦" : " 啦";
  }
  spec.lyric = platform::Utf8ToGbk(lyric + "\n").value();
  return spec;
}

/// A performance fed by the take at `micFile`; the stage's messages are collected, never boxed.
struct TakeFedPerformance {
  TakeFedPerformance(const std::string& programFolder, const std::string& micFile)
      : performance(programFolder, platform::MicSettings{.micFile = micFile}) {
    performance.GetStage().showMessage = [this](const std::string& text, const std::string&) {
      stageMessages.push_back(text);
    };
  }
  Performance performance;
  std::vector<std::string> stageMessages;
};

}  // namespace sonavera::app::testing
