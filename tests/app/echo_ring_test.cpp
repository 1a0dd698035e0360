#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "echo_loop.h"

namespace sonavera::echo {
namespace {

std::vector<std::int16_t> Ramp(int from, int count) {
  std::vector<std::int16_t> v(count);
  std::iota(v.begin(), v.end(), std::int16_t(from));
  return v;
}

TEST(EchoRingTest, PassesSamplesInOrderAndFillsGapsWithSilence) {
  EchoRing ring(1024);
  const auto in = Ramp(1, 100);
  ring.Write(in.data(), 60);
  std::vector<std::int16_t> out(80, -1);
  ring.Read(out.data(), out.size(), 512);
  EXPECT_EQ(std::vector<std::int16_t>(out.begin(), out.begin() + 60), Ramp(1, 60));
  EXPECT_EQ(std::vector<std::int16_t>(out.begin() + 60, out.end()), std::vector<std::int16_t>(20, 0));
  ring.Write(in.data() + 60, 40);
  ring.Read(out.data(), 40, 512);
  EXPECT_EQ(std::vector<std::int16_t>(out.begin(), out.begin() + 40), Ramp(61, 40));
}

TEST(EchoRingTest, DelayCannotGrowPastWhatIsKept) {
  // The speakers fell behind by far more than the ring holds: only the newest samples play.
  EchoRing ring(256);
  const auto in = Ramp(0, 1000);
  for (int i = 0; i < 1000; i += 50) ring.Write(in.data() + i, 50);
  std::vector<std::int16_t> out(16);
  ring.Read(out.data(), out.size(), 16);
  EXPECT_EQ(out, Ramp(1000 - 32, 16));
  ring.Read(out.data(), out.size(), 16);
  EXPECT_EQ(out, Ramp(1000 - 16, 16));
}

TEST(LoopedFileTest, LoopsAndAnEmptyFileIsSilence) {
  LoopedFile file;
  file.samples = {1, 2, 3};
  std::vector<std::int16_t> out(7);
  file.Read(out.data(), out.size());
  EXPECT_EQ(out, (std::vector<std::int16_t>{1, 2, 3, 1, 2, 3, 1}));
  LoopedFile empty;
  empty.Read(out.data(), out.size());
  EXPECT_EQ(out, std::vector<std::int16_t>(7, 0));
}

}  // namespace
}  // namespace sonavera::echo
