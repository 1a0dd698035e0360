// The per-buffer path: calibration, KTV loudness counting, and the scored path that cuts a buffer to
// its line, tracks its pitch and closes lines on time.
#include <cstdlib>

#include "analysis/band_pass_filter.h"
#include "analysis/pitch_tracker.h"
#include "judge/final_score.h"
#include "judge/judge.h"
#include "judge/ktv_loudness.h"

namespace sonavera::judge {

namespace {

// A line opens this long before its start time (seconds).
constexpr double kLineLead = 0.234;
// Mean absolute sample above which a buffer is scaled down by 10.
constexpr int kLoudMean = 10000;
// Pitch offsets in tenths of a semitone: an octave for a man, eight semitones for a woman.
constexpr int kManOffset = 120;
constexpr int kWomanOffset = 80;
// Buffers of this many samples or fewer are too short to track.
constexpr int kShortestTracked = 256;

}  // namespace

const int* Judge::pitchFrames() const {
  return song_ != nullptr && !song_->pitchFrames.empty() ? song_->pitchFrames.data() : nullptr;
}

int Judge::OnCaptureData(CaptureBuffer& buffer) {
  state_.lastBufferPreviewed = false;
  if (buffer.bytesRecorded == kCalibrationBytes) {
    Calibrate(buffer);
    return 0;
  }
  // Partly filled buffers (what a device reset hands back) are retired, not queued again.
  if (buffer.bytesRecorded < kBufferBytes) return 0;

  if (state_.ktvMode == 1) {
    const int cue = stage_.lyricCueIndex;
    if (song_ != nullptr && cue >= 1 && cue <= song_->lyricCueCount &&
        cue <= static_cast<int>(song_->lyricCues.size())) {
      const double windowStart = song_->lyricCues[cue - 1].time;
      const double windowEnd = cue == song_->lyricCueCount - 1 ? song_->lyricEndTime : windowStart + 2.5;
      if (windowStart < stage_.playbackTime && stage_.playbackTime < windowEnd) {
        CountLoudBlocks(buffer.data, state_.noiseThreshold, state_.loudBlocks, state_.totalBlocks);
      }
    }
    links_.device->Queue(buffer);
    return 0;
  }

  songEnded_ = false;
  if (song_ != nullptr && song_->HasTimingTables()) JudgeLineBuffer(buffer.data);
  // The song end has reset the device; the buffer waits for the next performance's queue.
  if (!songEnded_) links_.device->Queue(buffer);
  return 0;
}

void Judge::Calibrate(CaptureBuffer& buffer) {
  state_.calibrationPeak = 0.0;
  state_.noiseThreshold = 0.0;
  state_.calibrationPeak = CalibrationPeak(buffer.data);
  state_.noiseThreshold = NoiseThresholdForPeak(state_.calibrationPeak);
  links_.device->Reset();
  calibrationBuffer_ = CaptureBuffer{};
  calibrationSamples_.clear();
  calibrationSamples_.shrink_to_fit();
  QueueCaptureBuffers();
  links_.device->Start();
}

void Judge::JudgeLineBuffer(int16_t* samples) {
  const content::SongTables& song = *song_;
  const int lineCount = song.lineCount;
  const float now = stage_.playbackTime;
  const int line = state_.lineIndex;
  const bool lineExists = line >= 0 && line < lineCount && line < static_cast<int>(song.lineStart.size());

  if (lineExists && song.lineStart[line] - kLineLead > now) {
    // The line has not opened yet; no line can close before it has.
    PreviewPitch(samples, kBufferSamples);
    state_.lastBufferPreviewed = true;
  } else if (lineExists) {
    // What the line may still take. The quota counts 1280-sample buffers against a byte count.
    const int lineBytes = static_cast<int>((song.lineEnd[line] - song.lineStart[line]) * 8000 * 2);
    if (line < static_cast<int>(song_->lineBytes.size())) song_->lineBytes[line] = lineBytes;
    state_.lineBufferQuota = lineBytes / 1280;
    state_.lineTailSamples = lineBytes - state_.lineBufferQuota * 1280;
    if (state_.lineBufferCount < state_.lineBufferQuota) {
      ++state_.lineBufferCount;
      state_.bufferSampleCount = kBufferSamples;
    } else {
      state_.bufferSampleCount = state_.lineTailSamples;
    }
    const int count = state_.bufferSampleCount;

    // A spent quota leaves no samples: nothing to measure or track in this buffer.
    if (count > 0) {
      long sum = 0;
      for (int i = 0; i < count; ++i) sum += std::abs(static_cast<int>(samples[i]));
      if (sum / count > kLoudMean) {
        for (int i = 0; i < count; ++i) samples[i] = static_cast<int16_t>(samples[i] / 10);
      }
    }

    if (count > kShortestTracked) {
      analysis::BandPassBlock(samples, count, analysis::kBandPass, 2, 70.0, 1000.0, 8000.0,
                              analysis::kHammingWindow);
      int* frames = song_->pitchFrames.data();
      state_.pitchFrameCount = analysis::PitchTrack(samples, count, kCaptureRate, 256, 128, frames);

      const int offset = state_.maleVoice == 1 ? kManOffset : kWomanOffset;
      int shiftedSum = 0;
      for (int i = 0; i < state_.pitchFrameCount; ++i) {
        if (frames[i] != 0) frames[i] += offset;
        shiftedSum += frames[i];
      }
      if (shiftedSum != 0) ++state_.voicedBufferCount;

      if (state_.pitchFrameCount != 0 && song.lineEnd[line] >= now) {
        LineInput input;
        const int recordSize = state_.lineRefOffset < static_cast<int>(song.lineRefs.size())
                                   ? song.lineRefs[state_.lineRefOffset]
                                   : 0;
        const bool recordFits =
            recordSize >= 0 && state_.lineRefOffset + 1 + recordSize <= static_cast<int>(song.lineRefs.size());
        input.refFrames = recordFits ? song.lineRefs.data() + state_.lineRefOffset + 1 : nullptr;
        input.refCount = recordFits ? recordSize : 0;
        input.pitchFrames = frames;
        input.pitchFrameCount = state_.pitchFrameCount;
        input.voicedBufferCount = state_.voicedBufferCount;
        input.cursor = stage_.refIndex;
        input.voicedRefFrames = line < static_cast<int>(song.lineVoiced.size()) ? song.lineVoiced[line] : 0;
        const MarkerPlacement marker = CompareLinePitch(state_.scoring, app_.lineScore, input);
        links_.stage->SetSingerMarker(marker.y, marker.nearFlag, marker.hitFlag, marker.missFlag);
      }
    }

    // The last sung line closes from 1.2 s before its end (or a second behind the clock once its row
    // has left the screen), so its grade shows while it is still sung.
    float closeTime;
    if (line == lineCount - 2) {
      const bool rowsGone = stage_.firstActiveLine == lineCount - 1 && stage_.activeLineEnd == lineCount - 1;
      closeTime = rowsGone ? static_cast<float>(now - 1.0) : static_cast<float>(song.lineEnd[line] - 1.2);
    } else {
      closeTime = song.lineEnd[line];
    }
    if (closeTime < now) CloseLine();
  }

  if (state_.lineIndex > lineCount - 2) EndSong();
}

void Judge::CloseLine() {
  const content::SongTables& song = *song_;
  const int lineCount = song.lineCount;
  ++state_.lineCloseCount;
  LineScoring& scoring = state_.scoring;
  scoring.keySamples[0] = scoring.keySamples[1] = scoring.keySamples[2] = 0;
  state_.lastLineScore = app_.lineScore;

  if (song.lineEnd[state_.lineIndex] < stage_.playbackTime) {
    scoring.keySampleCount = 0;
    state_.lineTailSamples = 0;
    state_.songScoreSum += state_.lastLineScore;
    scoring.hitCredit = scoring.nearCredit = scoring.missCredit = scoring.lineCredit = 0.0f;
    app_.lineScore = 0.0f;
    state_.lineBufferCount = 0;
    state_.voicedBufferCount = 0;
    ++state_.lineIndex;
    if (state_.lineRefOffset < static_cast<int>(song.lineRefs.size())) {
      state_.lineRefOffset += song.lineRefs[state_.lineRefOffset] + 1;
    }
  }

  if (state_.lineIndex < lineCount - 2) {
    app_.lineGrade = GradeForScore(state_.lastLineScore);
    app_.lineScore = 0.0f;
  } else if (state_.lineIndex == lineCount - 2) {
    app_.lineGrade = state_.lastLineGradePasses < 2 ? GradeForScore(state_.lastLineScore) : 0;
    app_.lineScore = 0.0f;
    ++state_.lastLineGradePasses;
  }
}

void Judge::EndSong() {
  songEnded_ = true;
  const int lineCount = song_->lineCount;
  if (state_.medleyMode == 0) {
    const float finalScore = SingleSongFinalScore(state_.songScoreSum, lineCount);
    EndPerformance();
    links_.recorder->Stop();
    links_.recorder->SaveAs(links_.programFolder + "temp.wav");
    links_.recorder->Close();
    links_.shell->ClearMixdownFlags();
    if (lineCount > 1) app_.finalScore = finalScore;
    app_.songLengthSec = 1;
    app_.elapsedSeconds = 0;
    return;
  }

  state_.medleyLineTotal += state_.lineIndex;
  if (state_.medleySongNumber < 3) {
    ++state_.medleySongNumber;
    StopCapture();
    ReleaseSongTables();
    links_.shell->PrepareNextMedleySong(state_.medleySongNumber);
    return;
  }
  state_.songScoreSum = MedleyScore(state_.songScoreSum, state_.medleyLineTotal);
  links_.shell->ShowMedleyScore(state_.songScoreSum);
  app_.elapsedSeconds = 0;
  EndPerformance();
}

void Judge::PreviewPitch(const int16_t* samples, int count) {
  int* frames = song_ != nullptr && static_cast<int>(song_->pitchFrames.size()) >= kPitchFrameCapacity
                    ? song_->pitchFrames.data()
                    : nullptr;
  int mode = 0;
  if (frames != nullptr) {
    state_.pitchFrameCount = analysis::PitchTrack(samples, count, kCaptureRate, 256, 128, frames);
    mode = MostFrequentPitch(frames, state_.pitchFrameCount);
  }
  int y = kNeutralRow;
  if (mode != 0) {
    // Unshifted pitch, hence its own scale (800 where the line rows use 1000).
    constexpr int third = kLaneHeight / 3;
    y = static_cast<int>((third - mode * third / 800.0) * 5 + kLaneTop);
  }
  state_.scoring.markerHit = state_.scoring.markerNear = state_.scoring.markerMiss = 0;
  links_.stage->SetSingerMarker(y, 0, 0, 0);
}

}  // namespace sonavera::judge
