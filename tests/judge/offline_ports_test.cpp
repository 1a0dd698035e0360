// The take device the offline judge, the snapshot and the stage tests feed the judge from.
#include "judge/offline_ports.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace sonavera::judge {
namespace {

struct Buffers {
  explicit Buffers(int count) : samples(count, std::vector<int16_t>(4, -1)), buffers(count) {
    for (int i = 0; i < count; ++i) buffers[i] = CaptureBuffer{samples[i].data(), 8, 5};
  }
  std::vector<std::vector<int16_t>> samples;
  std::vector<CaptureBuffer> buffers;
};

TEST(TakeCaptureDevice, FillsQueuedBuffersInOrderFromTheTakeAndZerosPastItsEnd) {
  std::vector<int16_t> take(6);
  std::iota(take.begin(), take.end(), 1);
  TakeCaptureDevice device(take);
  Buffers memory(2);
  for (CaptureBuffer& buffer : memory.buffers) device.Queue(buffer);
  EXPECT_EQ(memory.buffers[0].bytesRecorded, 0);  // a queued buffer holds nothing yet
  EXPECT_EQ(device.Fill(0), nullptr) << "nothing is handed back before Start";

  device.Start();
  CaptureBuffer* first = device.Fill(0);
  ASSERT_EQ(first, &memory.buffers[0]);
  EXPECT_EQ(first->bytesRecorded, 8);
  EXPECT_EQ(memory.samples[0], (std::vector<int16_t>{1, 2, 3, 4}));
  ASSERT_EQ(device.Fill(4), &memory.buffers[1]);
  EXPECT_EQ(memory.samples[1], (std::vector<int16_t>{5, 6, 0, 0}));
  EXPECT_EQ(device.Fill(8), nullptr) << "the queue is empty";
  EXPECT_EQ(device.QueuedCount(), 0u);
}

TEST(TakeCaptureDevice, ResetGivesUpEveryBufferAndAFullRingRefusesMore) {
  TakeCaptureDevice device;
  Buffers memory(TakeCaptureDevice::kQueueCapacity + 2);
  for (CaptureBuffer& buffer : memory.buffers) device.Queue(buffer);
  EXPECT_EQ(device.QueuedCount(), TakeCaptureDevice::kQueueCapacity);
  device.Start();
  for (size_t i = 0; i < TakeCaptureDevice::kQueueCapacity; ++i) {
    ASSERT_EQ(device.Take(), &memory.buffers[i]) << i;
  }
  EXPECT_EQ(device.Take(), nullptr);

  device.Queue(memory.buffers[0]);
  device.Reset();
  EXPECT_FALSE(device.Started());
  EXPECT_EQ(device.QueuedCount(), 0u);
  EXPECT_EQ(device.Take(), nullptr);
}

}  // namespace
}  // namespace sonavera::judge
