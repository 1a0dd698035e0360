#include "platform/video/video_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

namespace sonavera::platform {

struct VideoWriter::State {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  SwsContext* scaler = nullptr;
  std::int64_t nextPts = 0;
  bool headerWritten = false;

  ~State() {
    sws_freeContext(scaler);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    if (format) {
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }

  // Sends one frame (or the flush request when f is null) and writes whatever the encoder returns.
  bool Encode(AVFrame* f) {
    if (avcodec_send_frame(codec, f) < 0) return false;
    for (;;) {
      const int rc = avcodec_receive_packet(codec, packet);
      if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
      if (rc < 0) return false;
      av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      if (av_interleaved_write_frame(format, packet) < 0) return false;
    }
  }
};

VideoWriter::VideoWriter() = default;

VideoWriter::~VideoWriter() { Close(); }

bool VideoWriter::Open(const std::string& path, int width, int height, int framesPerSecond,
                       Codec codecKind) {
  Close();
  error.clear();
  av_log_set_level(AV_LOG_ERROR);
  if (width <= 0 || height <= 0 || framesPerSecond <= 0) {
    error = "bad video size or rate";
    return false;
  }
  auto s = std::make_unique<State>();
  if (avformat_alloc_output_context2(&s->format, nullptr, "avi", path.c_str()) < 0 || !s->format) {
    error = "cannot create AVI container";
    return false;
  }
  AVCodecID id = AV_CODEC_ID_RAWVIDEO;
  AVPixelFormat pixFmt = AV_PIX_FMT_BGR24;
  switch (codecKind) {
    case Codec::Mjpeg: id = AV_CODEC_ID_MJPEG; pixFmt = AV_PIX_FMT_YUVJ420P; break;
    case Codec::RawBgr24: pixFmt = AV_PIX_FMT_BGR24; break;
    case Codec::RawRgb555: pixFmt = AV_PIX_FMT_RGB555LE; break;
    case Codec::RawBgra: pixFmt = AV_PIX_FMT_BGRA; break;
  }
  const AVCodec* encoder = avcodec_find_encoder(id);
  if (!encoder) {
    error = "encoder not available";
    return false;
  }
  s->stream = avformat_new_stream(s->format, nullptr);
  s->codec = avcodec_alloc_context3(encoder);
  if (!s->stream || !s->codec) {
    error = "out of memory";
    return false;
  }
  s->codec->width = width;
  s->codec->height = height;
  s->codec->pix_fmt = pixFmt;
  s->codec->time_base = AVRational{1, framesPerSecond};
  s->codec->framerate = AVRational{framesPerSecond, 1};
  if (id == AV_CODEC_ID_MJPEG) {
    // Fixed high quality; the clip is short.
    s->codec->flags |= AV_CODEC_FLAG_QSCALE;
    s->codec->global_quality = FF_QP2LAMBDA * 3;
  }
  if (s->format->oformat->flags & AVFMT_GLOBALHEADER) s->codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(s->codec, encoder, nullptr) < 0 ||
      avcodec_parameters_from_context(s->stream->codecpar, s->codec) < 0) {
    error = "cannot open encoder";
    return false;
  }
  s->stream->time_base = s->codec->time_base;
  if (avio_open(&s->format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) {
    error = "cannot create " + path;
    return false;
  }
  if (avformat_write_header(s->format, nullptr) < 0) {
    error = "cannot write AVI header";
    return false;
  }
  s->headerWritten = true;
  s->frame = av_frame_alloc();
  s->packet = av_packet_alloc();
  if (!s->frame || !s->packet) {
    error = "out of memory";
    return false;
  }
  s->frame->format = pixFmt;
  s->frame->width = width;
  s->frame->height = height;
  if (av_frame_get_buffer(s->frame, 0) < 0) {
    error = "out of memory";
    return false;
  }
  s->scaler = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, pixFmt, SWS_POINT,
                             nullptr, nullptr, nullptr);
  if (!s->scaler) {
    error = "no pixel conversion";
    return false;
  }
  state = std::move(s);
  return true;
}

bool VideoWriter::WriteFrame(const std::uint32_t* pixels, int pitch) {
  if (!state || !pixels) return false;
  if (av_frame_make_writable(state->frame) < 0) return false;
  // 0xAARRGGBB words are B, G, R, A bytes in memory on a little-endian machine.
  const std::uint8_t* src[1] = {reinterpret_cast<const std::uint8_t*>(pixels)};
  const int srcStride[1] = {pitch * 4};
  sws_scale(state->scaler, src, srcStride, 0, state->codec->height, state->frame->data,
            state->frame->linesize);
  state->frame->pts = state->nextPts++;
  if (!state->Encode(state->frame)) {
    error = "cannot encode frame";
    return false;
  }
  return true;
}

bool VideoWriter::Close() {
  if (!state) return true;
  bool ok = state->Encode(nullptr);
  if (state->headerWritten && av_write_trailer(state->format) < 0) ok = false;
  state.reset();
  if (!ok && error.empty()) error = "cannot finish the AVI file";
  return ok;
}

}  // namespace sonavera::platform
