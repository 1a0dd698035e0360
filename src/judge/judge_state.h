#pragma once

#include "judge/line_scoring.h"

namespace sonavera::judge {

/// The judge's state of one performance, held by the main window. Seconds are accompaniment seconds.
struct JudgeState {
  int captureDevice = -1;  // wave-in device number; -1 = the system default

  // KTV songs
  double noiseThreshold = 0.0;   // loudness above which an 80-sample block counts as loud
  double calibrationPeak = 0.0;  // loudest block of the calibration buffer
  int loudBlocks = 0;
  int totalBlocks = 1;

  // The open line (lineRefOffset walks the packed reference records of the song tables)
  int lineIndex = 0;
  int lineRefOffset = 0;
  int lineBufferQuota = 0;   // full 1280-sample buffers the open line may take
  int lineTailSamples = 0;   // samples the line may take from a buffer once its quota is spent
  int lineBufferCount = 0;   // full buffers the open line has taken
  int bufferSampleCount = 0; // samples of the current buffer that belong to the line
  int pitchFrameCount = 0;
  int voicedBufferCount = 0; // buffers of the open line with a voiced frame

  LineScoring scoring;

  int maleVoice = 1;  // 1 = man (pitch raised an octave), 0 = woman (raised eight semitones)
  int ktvMode = 0;
  int medleyMode = 0;
  int medleySongNumber = 0;  // 0..3
  int medleyLineTotal = 0;   // sung lines of the finished medley songs

  float songScoreSum = 0.0f;    // scores of closed lines, across the songs of a medley
  float lastLineScore = 0.0f;   // score of the line being closed (the stage shows it)
  int lastLineGradePasses = 0;  // how often the last line's grade has been published

  // Bookkeeping for observers (the offline judge, tests): what the last buffer did.
  bool lastBufferPreviewed = false;  // the buffer arrived before its line opened
  int lineCloseCount = 0;            // runs of the line close so far
};

}  // namespace sonavera::judge
