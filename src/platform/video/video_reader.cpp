#include "platform/video/video_reader.h"

#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace sonavera::platform {

struct VideoReader::State {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  AVFrame* decoded = nullptr;
  AVPacket* packet = nullptr;
  SwsContext* scaler = nullptr;
  int streamIndex = -1;
  AVRational timeBase{1, 25};
  AVRational frameRate{25, 1};
  std::int64_t startPts = 0;
  int lastIndex = -1;       // index of the last frame the decoder produced
  int heldIndex = -1;       // index of the frame held in `pixels`
  bool endOfStream = false;
  std::vector<std::uint8_t> pixels;
  VideoFrame view;

  ~State() {
    sws_freeContext(scaler);
    av_packet_free(&packet);
    av_frame_free(&decoded);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
  }

  int IndexOf(std::int64_t pts) const {
    if (pts == AV_NOPTS_VALUE) return lastIndex + 1;
    const double seconds = static_cast<double>(pts - startPts) * av_q2d(timeBase);
    return static_cast<int>(std::lround(seconds * av_q2d(frameRate)));
  }

  // Decodes the next picture into `decoded`; false at the end of the stream or on a decoder error.
  bool DecodeNext() {
    for (;;) {
      const int rc = avcodec_receive_frame(codec, decoded);
      if (rc == 0) return true;
      if (rc != AVERROR(EAGAIN)) return false;
      if (endOfStream) return false;
      const int read = av_read_frame(format, packet);
      if (read < 0) {
        endOfStream = true;
        avcodec_send_packet(codec, nullptr);  // drain what the decoder still holds
        continue;
      }
      if (packet->stream_index == streamIndex) avcodec_send_packet(codec, packet);
      av_packet_unref(packet);
    }
  }

  void SeekTo(int index) {
    const double seconds = index / av_q2d(frameRate);
    const std::int64_t target = startPts + static_cast<std::int64_t>(seconds / av_q2d(timeBase));
    av_seek_frame(format, streamIndex, target, AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(codec);
    endOfStream = false;
    lastIndex = -1;
  }

  // Converts `decoded` into the packed rows of the depth its pixel format calls for.
  bool Convert() {
    const auto srcFormat = static_cast<AVPixelFormat>(decoded->format);
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(srcFormat);
    if (!desc) return false;
    AVPixelFormat dstFormat = AV_PIX_FMT_BGR24;
    int bits = 24;
    if (desc->flags & AV_PIX_FMT_FLAG_ALPHA) {
      dstFormat = AV_PIX_FMT_BGRA;
      bits = 32;
    } else if (srcFormat == AV_PIX_FMT_RGB555LE || srcFormat == AV_PIX_FMT_RGB555BE) {
      dstFormat = AV_PIX_FMT_RGB555LE;
      bits = 16;
    }
    const int w = decoded->width;
    const int h = decoded->height;
    const int stride = (w * bits / 8 + 3) & ~3;
    pixels.resize(static_cast<size_t>(stride) * h);
    scaler = sws_getCachedContext(scaler, w, h, srcFormat, w, h, dstFormat, SWS_POINT, nullptr,
                                  nullptr, nullptr);
    if (!scaler) return false;
    std::uint8_t* dst[1] = {pixels.data()};
    const int dstStride[1] = {stride};
    sws_scale(scaler, decoded->data, decoded->linesize, 0, h, dst, dstStride);
    view = VideoFrame{w, h, bits, stride, pixels.data()};
    return true;
  }
};

VideoReader::VideoReader() = default;
VideoReader::~VideoReader() = default;

bool VideoReader::IsOpen() const { return state != nullptr; }

bool VideoReader::Open(const std::string& path) {
  state.reset();
  av_log_set_level(AV_LOG_ERROR);  // FFmpeg's notes about pixel formats are not ours to print
  auto s = std::make_unique<State>();
  if (avformat_open_input(&s->format, path.c_str(), nullptr, nullptr) < 0) return false;
  if (avformat_find_stream_info(s->format, nullptr) < 0) return false;
  const AVCodec* decoder = nullptr;
  s->streamIndex = av_find_best_stream(s->format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  if (s->streamIndex < 0 || !decoder) return false;
  AVStream* stream = s->format->streams[s->streamIndex];
  s->codec = avcodec_alloc_context3(decoder);
  if (!s->codec || avcodec_parameters_to_context(s->codec, stream->codecpar) < 0 ||
      avcodec_open2(s->codec, decoder, nullptr) < 0)
    return false;
  s->decoded = av_frame_alloc();
  s->packet = av_packet_alloc();
  if (!s->decoded || !s->packet) return false;
  if (stream->codecpar->width <= 0 || stream->codecpar->height <= 0) return false;

  s->timeBase = stream->time_base;
  AVRational fps = stream->avg_frame_rate;
  if (fps.num <= 0 || fps.den <= 0) fps = stream->r_frame_rate;
  if (fps.num <= 0 || fps.den <= 0) fps = AVRational{25, 1};
  s->frameRate = fps;
  s->startPts = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;

  std::int64_t frames = stream->nb_frames;
  if (frames <= 0 && stream->duration != AV_NOPTS_VALUE)
    frames = std::llround(stream->duration * av_q2d(stream->time_base) * av_q2d(fps));
  if (frames <= 0 && s->format->duration != AV_NOPTS_VALUE)
    frames = std::llround(s->format->duration / double(AV_TIME_BASE) * av_q2d(fps));
  if (frames <= 0) return false;

  width = stream->codecpar->width;
  height = stream->codecpar->height;
  scale = fps.den;
  rate = fps.num;
  frameCount = static_cast<int>(frames);
  state = std::move(s);
  return true;
}

const VideoFrame* VideoReader::Frame(int index) {
  if (!state || index < 0 || index >= frameCount) return nullptr;
  State& s = *state;
  if (index == s.heldIndex) return &s.view;
  if (index <= s.lastIndex) s.SeekTo(index);
  // Decode forward; frames before the wanted one are decoded and dropped (late frames are skipped).
  while (s.DecodeNext()) {
    const int got = s.IndexOf(s.decoded->best_effort_timestamp);
    s.lastIndex = got;
    if (got >= index) {
      const bool ok = s.Convert();
      av_frame_unref(s.decoded);
      s.heldIndex = ok ? index : -1;
      return ok ? &s.view : nullptr;
    }
    av_frame_unref(s.decoded);
  }
  return nullptr;
}

}  // namespace sonavera::platform
