#include "encoder.hpp"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <stdexcept>

namespace az::movie {

namespace {

void check(int result, const std::string& what)
{
    if (result < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(result, text, sizeof text);
        throw std::runtime_error(what + ": " + text);
    }
}

}  // namespace

SwfWriter::SwfWriter(const std::string& path, int width, int height, int fps, std::vector<float> sound, int rate)
    : path_(path), width_(width), height_(height), fps_(fps), rate_(rate), sound_(std::move(sound))
{
    check(avformat_alloc_output_context2(&format_, nullptr, "swf", path.c_str()), path);
    format_->flags |= AVFMT_FLAG_BITEXACT;

    // Video: Sorenson H.263 at a fixed quantiser; flat cartoon colours stay crisp.
    const AVCodec* vcodec = avcodec_find_encoder(AV_CODEC_ID_FLV1);
    if (!vcodec)
        throw std::runtime_error("this FFmpeg has no FLV1 encoder");
    videoStream_ = avformat_new_stream(format_, nullptr);
    video_ = avcodec_alloc_context3(vcodec);
    video_->width = width;
    video_->height = height;
    video_->pix_fmt = AV_PIX_FMT_YUV420P;
    video_->time_base = AVRational{1, fps};
    video_->framerate = AVRational{fps, 1};
    video_->gop_size = fps * 2;
    video_->max_b_frames = 0;
    video_->thread_count = 1;
    video_->flags |= AV_CODEC_FLAG_QSCALE | AV_CODEC_FLAG_BITEXACT;
    video_->global_quality = FF_QP2LAMBDA * 3;
    av_opt_set(video_->priv_data, "mbd", "rd", 0);
    if (format_->oformat->flags & AVFMT_GLOBALHEADER)
        video_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    check(avcodec_open2(video_, vcodec, nullptr), "FLV1 encoder");
    check(avcodec_parameters_from_context(videoStream_->codecpar, video_), "video stream");
    videoStream_->time_base = video_->time_base;
    videoStream_->avg_frame_rate = video_->framerate;

    // Sound: MP3 through LAME.
    const AVCodec* acodec = avcodec_find_encoder_by_name("libmp3lame");
    if (!acodec)
        acodec = avcodec_find_encoder(AV_CODEC_ID_MP3);
    if (!acodec)
        throw std::runtime_error("this FFmpeg has no MP3 encoder");
    audioStream_ = avformat_new_stream(format_, nullptr);
    audio_ = avcodec_alloc_context3(acodec);
    audio_->sample_rate = rate;
    audio_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    av_channel_layout_default(&audio_->ch_layout, 2);
    audio_->bit_rate = 128000;
    audio_->time_base = AVRational{1, rate};
    audio_->thread_count = 1;
    audio_->flags |= AV_CODEC_FLAG_BITEXACT;
    if (format_->oformat->flags & AVFMT_GLOBALHEADER)
        audio_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    check(avcodec_open2(audio_, acodec, nullptr), "MP3 encoder");
    check(avcodec_parameters_from_context(audioStream_->codecpar, audio_), "sound stream");
    audioStream_->time_base = audio_->time_base;

    check(avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE), path);
    check(avformat_write_header(format_, nullptr), path);

    picture_ = av_frame_alloc();
    picture_->format = AV_PIX_FMT_YUV420P;
    picture_->width = width;
    picture_->height = height;
    check(av_frame_get_buffer(picture_, 0), "picture buffer");

    samples_ = av_frame_alloc();
    samples_->format = AV_SAMPLE_FMT_FLTP;
    samples_->nb_samples = audio_->frame_size;
    samples_->sample_rate = rate;
    av_channel_layout_copy(&samples_->ch_layout, &audio_->ch_layout);
    check(av_frame_get_buffer(samples_, 0), "sound buffer");

    packet_ = av_packet_alloc();
    scaler_ = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_YUV420P,
                             SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT | SWS_BITEXACT,
                             nullptr, nullptr, nullptr);
    if (!scaler_)
        throw std::runtime_error("no colour converter");
}

SwfWriter::~SwfWriter()
{
    sws_freeContext(scaler_);
    av_packet_free(&packet_);
    av_frame_free(&samples_);
    av_frame_free(&picture_);
    avcodec_free_context(&audio_);
    avcodec_free_context(&video_);
    if (format_) {
        if (format_->pb)
            avio_closep(&format_->pb);
        avformat_free_context(format_);
    }
}

void SwfWriter::drain(AVCodecContext* codec, AVStream* stream)
{
    for (;;) {
        const int result = avcodec_receive_packet(codec, packet_);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        check(result, "encoding");
        av_packet_rescale_ts(packet_, codec->time_base, stream->time_base);
        packet_->stream_index = stream->index;
        check(av_interleaved_write_frame(format_, packet_), path_);
    }
}

void SwfWriter::encodeSoundUntil(std::int64_t sampleEnd, bool flush)
{
    const std::int64_t available = std::int64_t(sound_.size() / 2);
    const int chunk = audio_->frame_size;
    while (soundPos_ < sampleEnd && (flush || soundPos_ + chunk <= available)) {
        check(av_frame_make_writable(samples_), "sound buffer");
        auto* left = reinterpret_cast<float*>(samples_->data[0]);
        auto* right = reinterpret_cast<float*>(samples_->data[1]);
        for (int i = 0; i < chunk; ++i) {
            const std::int64_t s = soundPos_ + i;
            left[i] = s < available ? sound_[size_t(s) * 2] : 0.0f;
            right[i] = s < available ? sound_[size_t(s) * 2 + 1] : 0.0f;
        }
        samples_->pts = soundPos_;
        check(avcodec_send_frame(audio_, samples_), "MP3 encoder");
        drain(audio_, audioStream_);
        soundPos_ += chunk;
    }
}

void SwfWriter::addFrame(cairo_surface_t* picture)
{
    cairo_surface_flush(picture);
    const uint8_t* src[1] = {cairo_image_surface_get_data(picture)};
    const int srcStride[1] = {cairo_image_surface_get_stride(picture)};
    check(av_frame_make_writable(picture_), "picture buffer");
    sws_scale(scaler_, src, srcStride, 0, height_, picture_->data, picture_->linesize);
    picture_->pts = frameCount_;
    check(avcodec_send_frame(video_, picture_), "FLV1 encoder");
    drain(video_, videoStream_);
    ++frameCount_;
    // Keep the sound a little ahead of the pictures so the muxer can interleave.
    encodeSoundUntil((frameCount_ + 1) * rate_ / fps_, false);
}

void SwfWriter::finish()
{
    if (finished_)
        return;
    finished_ = true;
    check(avcodec_send_frame(video_, nullptr), "FLV1 encoder");
    drain(video_, videoStream_);
    encodeSoundUntil(std::int64_t(sound_.size() / 2), true);
    check(avcodec_send_frame(audio_, nullptr), "MP3 encoder");
    drain(audio_, audioStream_);
    check(av_write_trailer(format_), path_);
}

}  // namespace az::movie
