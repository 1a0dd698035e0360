// The judge's per-buffer path takes no memory from the heap. This file replaces the global operator
// new of the test program to count allocations.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "judge_fakes.h"

static std::atomic<long> heapAllocations{0};

void* operator new(std::size_t size) {
  ++heapAllocations;
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace sonavera::judge {
namespace {

TEST(CaptureHandler, JudgingABufferAllocatesNothing) {
  testing::JudgeRig rig(testing::MakeSong({{2.0f, 5.0f, std::vector<int>(187, 600)},
                                           {7.0f, 10.0f, std::vector<int>(187, 600)},
                                           {12.0f, 15.0f, std::vector<int>(187, 600)}}));
  rig.judge.BeginPerformance();
  std::vector<int16_t> voice(kBufferSamples);
  for (int i = 0; i < kBufferSamples; ++i) voice[i] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 130.8 * i / 8000));
  long worst = 0;
  for (float time : {1.0f, 2.1f, 2.3f, 2.5f, 5.1f}) {  // preview, scored buffers, a line close
    CaptureBuffer* buffer = rig.device.Take();
    ASSERT_NE(buffer, nullptr);
    std::copy(voice.begin(), voice.end(), buffer->data);
    rig.shared.playbackTime = time;
    rig.shared.refIndex = 10;
    const long before = heapAllocations.load();
    rig.judge.OnCaptureData(*buffer);
    worst = std::max(worst, heapAllocations.load() - before);
  }
  EXPECT_EQ(worst, 0);
  EXPECT_EQ(rig.judge.state().lineIndex, 1);
  EXPECT_GT(rig.judge.state().songScoreSum, 0.0f);  // the sung line was scored
}

}  // namespace
}  // namespace sonavera::judge
