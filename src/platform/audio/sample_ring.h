#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sonavera::platform {

/// A single-producer single-consumer ring of 16-bit samples. The producer (an audio callback) only
/// copies and never waits; when the ring is full the newest samples are dropped and counted.
class SampleRing {
 public:
  /// `capacity` is rounded up to a power of two; the storage is allocated here, once.
  explicit SampleRing(std::size_t capacity);

  /// Producer thread only. Returns how many samples were stored.
  std::size_t Write(const std::int16_t* samples, std::size_t count);
  /// Consumer thread only. Returns how many samples were taken.
  std::size_t Read(std::int16_t* out, std::size_t count);
  /// Samples dropped because the ring was full. Safe from any thread.
  std::size_t dropped() const { return droppedCount.load(std::memory_order_relaxed); }

 private:
  std::vector<std::int16_t> storage;
  std::size_t mask;
  std::atomic<std::size_t> writeIndex{0};
  std::atomic<std::size_t> readIndex{0};
  std::atomic<std::size_t> droppedCount{0};
};

inline SampleRing::SampleRing(std::size_t capacity) {
  std::size_t size = 1;
  while (size < capacity) size <<= 1;
  storage.assign(size, 0);
  mask = size - 1;
}

inline std::size_t SampleRing::Write(const std::int16_t* samples, std::size_t count) {
  const std::size_t w = writeIndex.load(std::memory_order_relaxed);
  const std::size_t r = readIndex.load(std::memory_order_acquire);
  const std::size_t room = storage.size() - (w - r);
  const std::size_t n = count < room ? count : room;
  for (std::size_t i = 0; i < n; ++i) storage[(w + i) & mask] = samples[i];
  writeIndex.store(w + n, std::memory_order_release);
  if (n < count) droppedCount.fetch_add(count - n, std::memory_order_relaxed);
  return n;
}

inline std::size_t SampleRing::Read(std::int16_t* out, std::size_t count) {
  const std::size_t r = readIndex.load(std::memory_order_relaxed);
  const std::size_t w = writeIndex.load(std::memory_order_acquire);
  const std::size_t n = count < w - r ? count : w - r;
  for (std::size_t i = 0; i < n; ++i) out[i] = storage[(r + i) & mask];
  readIndex.store(r + n, std::memory_order_release);
  return n;
}

}  // namespace sonavera::platform
