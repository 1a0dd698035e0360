// Opening and starting capture, the start and end of a performance.
#include <cstdio>

#include "content/song_package.h"
#include "judge/final_score.h"
#include "judge/judge.h"
#include "judge/ktv_loudness.h"

namespace sonavera::judge {

Judge::Judge(JudgeLinks links, AppState& app, StageShared& stage)
    : links_(std::move(links)), app_(app), stage_(stage) {
  for (int i = 0; i < kStreamingBuffers; ++i) {
    streamingBuffers_[i].data = streamingSamples_[i].data();
    streamingBuffers_[i].byteLength = kBufferBytes;
  }
}

bool Judge::OpenCaptureDevice(std::string& message) {
  const int error = links_.device->Open(state_.captureDevice);
  if (error == 0) return true;
  char text[160];
  std::snprintf(text, sizeof text, "打开音频输入设备出错，错误代码：%d", error);
  message = text;
  return false;
}

void Judge::QueueCaptureBuffers() {
  for (CaptureBuffer& buffer : streamingBuffers_) {
    buffer.bytesRecorded = 0;
    links_.device->Queue(buffer);
  }
}

void Judge::StartCalibration() {
  calibrationSamples_.assign(kCalibrationSamples, 0);
  calibrationBuffer_.data = calibrationSamples_.data();
  calibrationBuffer_.byteLength = kCalibrationBytes;
  calibrationBuffer_.bytesRecorded = 0;
  links_.device->Queue(calibrationBuffer_);
  links_.device->Start();
}

void Judge::EnsureWorkBuffers() {
  // The loader allocates these with the tables; make sure once per song, never per buffer.
  if (song_ == nullptr || !song_->HasTimingTables()) return;
  if (static_cast<int>(song_->pitchFrames.size()) < kPitchFrameCapacity) {
    song_->pitchFrames.assign(kPitchFrameCapacity, 0);
  }
  if (static_cast<int>(song_->lineBytes.size()) < song_->lineCount) song_->lineBytes.resize(song_->lineCount, 0);
}

void Judge::BeginPerformance() {
  EnsureWorkBuffers();
  state_.lineIndex = 0;
  state_.lineRefOffset = 0;
  LineScoring& scoring = state_.scoring;
  scoring.markerHit = scoring.markerNear = scoring.markerMiss = 0;
  scoring.keySampleCount = 0;
  state_.voicedBufferCount = 0;
  state_.lineBufferCount = 0;
  state_.bufferSampleCount = 0;
  state_.pitchFrameCount = 0;
  scoring.hitCredit = scoring.nearCredit = scoring.missCredit = scoring.lineCredit = 0.0f;
  stage_.playbackTime = 0.0f;
  state_.lastLineScore = 0.0f;
  app_.songLengthSec = 0;
  app_.elapsedSeconds = 0;
  app_.lineScore = 0.0f;
  if (state_.ktvMode == 1) {
    StartCalibration();
    return;
  }
  QueueCaptureBuffers();
  links_.device->Start();
  links_.recorder->StartRecording(2, 44100, 16);
}

void Judge::StopCapture() {
  stage_.playbackTime = 0.0f;
  links_.stage->StopMusic();
  links_.device->Reset();
}

void Judge::EndPerformance() {
  links_.recorder->Stop();
  app_.performanceActive = 0;
  app_.lineScore = 0.0f;
  if (links_.files->Exists("KTVedit.txt")) {
    // Lets a song editor read the take's loud fraction to set a KTV song's reference.
    const double fraction =
        state_.totalBlocks != 0 ? static_cast<double>(state_.loudBlocks) / state_.totalBlocks : 0.0;
    char text[64];
    std::snprintf(text, sizeof text, "%f\n", fraction);
    links_.files->WriteText("loud.txt", text);
  }
  StopCapture();
  links_.shell->ForgetStageWindow();
  if (state_.maleVoice == 0) {
    state_.maleVoice = 1;
    links_.shell->ShowManVoiceSelected();
  }
  state_.medleyLineTotal = 0;
}

void Judge::FinishKtvSong() {
  const float ratio = song_ != nullptr ? song_->ktvReferenceRatio : 0.0f;
  app_.finalScore = KtvFinalScore(state_.loudBlocks, state_.totalBlocks, ratio);
  app_.songLengthSec = 1;
  app_.elapsedSeconds = 0;
  EndPerformance();
}

void Judge::ReturnToList() {
  state_.songScoreSum = 0.0f;
  state_.lastLineGradePasses = 0;
  app_.lineGrade = 0;
  EndPerformance();
}

void Judge::ReleaseSongTables() {
  state_.lineRefOffset = 0;
  if (song_ != nullptr) content::ReleaseSongTables(*song_);
}

}  // namespace sonavera::judge
