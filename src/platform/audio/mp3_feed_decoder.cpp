#include "platform/audio/mp3_feed_decoder.h"

#include <mpg123.h>

#include <mutex>

namespace sonavera::platform {

Mp3FeedDecoder::Mp3FeedDecoder() {
  static std::once_flag initialised;
  std::call_once(initialised, [] { mpg123_init(); });
  int error = MPG123_OK;
  handle = mpg123_new(nullptr, &error);
  if (handle == nullptr) return;
  // Quiet: damaged stretches are skipped without printing to the terminal.
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  const long* rates = nullptr;
  std::size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  mpg123_format_none(handle);
  for (std::size_t i = 0; i < rateCount; ++i) mpg123_format(handle, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open_feed(handle) != MPG123_OK) {
    mpg123_delete(handle);
    handle = nullptr;
  }
}

Mp3FeedDecoder::~Mp3FeedDecoder() {
  if (handle != nullptr) {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
}

Mp3FeedDecoder::Result Mp3FeedDecoder::Decode(const std::uint8_t* input, std::size_t size, std::uint8_t* out,
                                              std::size_t outSize, std::size_t* bytes) {
  *bytes = 0;
  if (handle == nullptr) return Result::Error;
  const int status = mpg123_decode(handle, input, input != nullptr ? size : 0, out, outSize, bytes);
  switch (status) {
    case MPG123_OK:
      return *bytes > 0 ? Result::Frame : Result::NeedMore;
    case MPG123_NEW_FORMAT:
      return Result::Frame;
    case MPG123_NEED_MORE:
      return *bytes > 0 ? Result::Frame : Result::NeedMore;
    default:
      return Result::Error;
  }
}

long Mp3FeedDecoder::sampleRate() const {
  long rate = 0;
  int channels = 0, encoding = 0;
  if (handle == nullptr || mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK) return 0;
  return rate;
}

}  // namespace sonavera::platform
