// Writes a movie as a Shockwave Flash file through FFmpeg: Sorenson H.263
// (FLV1) video and MP3 sound, the pair a SWF stream holds.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace az::movie {

class SwfWriter {
public:
    // `sound` is interleaved stereo at `rate` samples per second.
    SwfWriter(const std::string& path, int width, int height, int fps, std::vector<float> sound, int rate);
    ~SwfWriter();
    SwfWriter(const SwfWriter&) = delete;
    SwfWriter& operator=(const SwfWriter&) = delete;

    void addFrame(cairo_surface_t* picture);  // ARGB32, width x height
    void finish();

private:
    void encodeSoundUntil(std::int64_t sampleEnd, bool flush);
    void drain(AVCodecContext* codec, AVStream* stream);

    std::string path_;
    int width_, height_, fps_, rate_;
    std::vector<float> sound_;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    AVStream* videoStream_ = nullptr;
    AVStream* audioStream_ = nullptr;
    AVFrame* picture_ = nullptr;
    AVFrame* samples_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* scaler_ = nullptr;
    std::int64_t frameCount_ = 0;
    std::int64_t soundPos_ = 0;
    bool finished_ = false;
};

}  // namespace az::movie
