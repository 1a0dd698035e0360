// The per-buffer path of the judge must not allocate: count every operator new in this program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "analysis/band_pass_filter.h"
#include "analysis/pitch_tracker.h"
#include "analysis/signals.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

__attribute__((noinline)) void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* memory) noexcept {
  std::free(memory);
}
__attribute__((noinline)) void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace {

using namespace sonavera::analysis;

TEST(NoAllocation, FilterAndTrackOfCaptureBuffers) {
  auto voice = signals::VoiceLike(196.0, 8000, 1280, 9);
  int track[16];
  for (int count : {1280, 700, 257}) {
    const long before = allocations.load();
    BandPassBlock(voice.data(), count, kBandPass, 2, 70.0, 1000.0, 8000.0, kHammingWindow);
    PitchTrack(voice.data(), count, 8000, 256, 128, track);
    EXPECT_EQ(allocations.load(), before) << count << " samples";
  }
}

TEST(NoAllocation, CounterSeesHeapFallbackOfLongBlocks) {
  // The counter itself works: a ten-second block goes past the stack buffers.
  const auto sine = signals::Sine(220.0, 8000, 80000);
  std::vector<int> track(1000);
  const long before = allocations.load();
  PitchTrack(sine.data(), 80000, 8000, 256, 128, track.data());
  EXPECT_GT(allocations.load(), before);
}

}  // namespace
