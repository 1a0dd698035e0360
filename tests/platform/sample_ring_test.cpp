#include "platform/audio/sample_ring.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace sonavera::platform {
namespace {

TEST(SampleRing, KeepsOrderAcrossTheWrap) {
  SampleRing ring(8);
  std::vector<std::int16_t> out(8);
  std::int16_t next = 0, expected = 0;
  for (int round = 0; round < 20; ++round) {
    std::vector<std::int16_t> in(5);
    for (auto& s : in) s = next++;
    ASSERT_EQ(ring.Write(in.data(), in.size()), 5u);
    ASSERT_EQ(ring.Read(out.data(), out.size()), 5u);
    for (int i = 0; i < 5; ++i) ASSERT_EQ(out[i], expected++);
  }
  EXPECT_EQ(ring.dropped(), 0u);
}

TEST(SampleRing, FullRingDropsTheNewestAndCountsThem) {
  SampleRing ring(5);  // rounded up to 8
  const std::vector<std::int16_t> in = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  EXPECT_EQ(ring.Write(in.data(), in.size()), 8u);
  EXPECT_EQ(ring.dropped(), 3u);
  std::vector<std::int16_t> out(16);
  ASSERT_EQ(ring.Read(out.data(), out.size()), 8u);
  EXPECT_EQ(std::vector<std::int16_t>(out.begin(), out.begin() + 8),
            std::vector<std::int16_t>(in.begin(), in.begin() + 8));
  EXPECT_EQ(ring.Read(out.data(), out.size()), 0u);
}

// A producer and a consumer on two threads: every sample is either read, in order, or counted as
// dropped; none is corrupted or read twice. Fewer than 65536 values are sent, so each is distinct.
TEST(SampleRing, ProducerAndConsumerThreadsLoseNothingUncounted) {
  SampleRing ring(1024);
  constexpr int kBlocks = 1700;
  constexpr int kBlock = 37;
  constexpr std::size_t kTotal = static_cast<std::size_t>(kBlocks) * kBlock;
  std::thread producer([&ring] {
    std::int16_t block[kBlock];
    std::uint16_t value = 0;
    for (int b = 0; b < kBlocks; ++b) {
      for (auto& s : block) s = static_cast<std::int16_t>(value++);
      ring.Write(block, kBlock);
      if (b % 64 == 0) std::this_thread::yield();
    }
  });
  std::size_t read = 0;
  std::vector<std::int16_t> out(300);
  long previous = -1;
  std::size_t skipped = 0;  // values the reader never saw
  bool increasing = true;
  auto drain = [&] {
    const std::size_t n = ring.Read(out.data(), out.size());
    for (std::size_t i = 0; i < n; ++i) {
      const long v = static_cast<std::uint16_t>(out[i]);
      increasing = increasing && v > previous;
      skipped += static_cast<std::size_t>(v - previous - 1);
      previous = v;
    }
    read += n;
    return n;
  };
  while (read + ring.dropped() < kTotal) drain();
  producer.join();
  while (drain() > 0) {
  }
  skipped += kTotal - 1 - static_cast<std::size_t>(previous);  // dropped after the last value read
  EXPECT_TRUE(increasing);
  EXPECT_EQ(skipped, ring.dropped());
  EXPECT_EQ(read + ring.dropped(), kTotal);
  EXPECT_GT(read, 0u);
}

}  // namespace
}  // namespace sonavera::platform
