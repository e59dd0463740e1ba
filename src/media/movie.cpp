// mov1: the movie player. Writing Movie loads a SWF file and starts it
// (the player plays what it loads); Play starts it if it has not started.
// The movie plays once from its first frame, shown whole in the player's
// rectangle with its aspect kept, centred on the background colour: the
// player's own ("003366" on the intro), else the movie's (its SWF
// SetBackgroundColor tag), else black. At its end it holds its last frame.
//
// FFmpeg reads the video and sound streams of a SWF. A zlib-compressed
// ("CWS") file is inflated here and handed to FFmpeg as the uncompressed
// ("FWS") file it stands for, through an I/O context reading from memory:
// FFmpeg's own inflating loses the last frames.
//
// Frames follow the game clock and are decoded only when they are due, at
// paint time; the sound is decoded as the mixer asks for it.
#include <zlib.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>

#include "media/internal.h"

namespace az {

namespace {

uint32_t le32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

// The header fields of an uncompressed SWF that the player uses.
struct SwfInfo {
    int frameCount = 0;
    std::optional<uint32_t> background;  // 0xRRGGBB from SetBackgroundColor
};

SwfInfo readSwfInfo(const std::string& b) {
    SwfInfo info;
    if (b.size() < 9) return info;
    // The frame rectangle: 5 bits of field size, then four fields.
    const int nbits = uint8_t(b[8]) >> 3;
    size_t pos = 8 + (5 + 4 * nbits + 7) / 8;
    if (pos + 4 > b.size()) return info;
    info.frameCount = uint8_t(b[pos + 2]) | uint8_t(b[pos + 3]) << 8;
    pos += 4;
    // Tags until the first frame is shown.
    while (pos + 2 <= b.size()) {
        const int head = uint8_t(b[pos]) | uint8_t(b[pos + 1]) << 8;
        const int code = head >> 6;
        uint32_t len = head & 0x3F;
        pos += 2;
        if (len == 0x3F) {
            if (pos + 4 > b.size()) break;
            len = le32(b, pos);
            pos += 4;
        }
        if (len > b.size() - pos) break;
        if (code == 9 && len >= 3) {
            info.background = uint32_t(uint8_t(b[pos])) << 16 | uint32_t(uint8_t(b[pos + 1])) << 8 | uint8_t(b[pos + 2]);
            break;
        }
        if (code == 0 || code == 1) break;  // end, or the first ShowFrame
        pos += len;
    }
    return info;
}

// The bytes FFmpeg is to read: the file as it is when uncompressed, and
// inflated here when it is a CWS. Empty with WHY when it is no SWF at all.
// A damaged file that still holds something sets WHY and returns the rest.
std::string swfBytes(std::string file, std::string* why) {
    if (file.size() < 8 || file[1] != 'W' || file[2] != 'S' || (file[0] != 'F' && file[0] != 'C')) {
        *why = file.compare(0, 3, "ZWS") == 0 ? "LZMA-compressed SWF is not supported" : "not a SWF movie";
        return {};
    }
    const uint32_t total = le32(file, 4);
    if (file[0] == 'F') {
        if (total > file.size()) *why = "truncated (" + std::to_string(file.size()) + " of " + std::to_string(total) + " bytes)";
        return file;
    }
    // CWS: 8 bytes of header as they stand, then a zlib stream.
    if (total < 8) {
        *why = "bad length in the SWF header";
        return {};
    }
    // Checked before anything is allocated: a few KB may claim gigabytes.
    if (total > kMaxMediaFile) {
        *why = "inflates to " + std::to_string(total) + " bytes, more than " + std::to_string(kMaxMediaFile >> 20) +
               " MiB";
        return {};
    }
    std::string out(total, '\0');
    out.replace(0, 8, file, 0, 8);
    out[0] = 'F';
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        *why = "cannot inflate";
        return {};
    }
    z.next_in = reinterpret_cast<Bytef*>(file.data() + 8);
    z.avail_in = static_cast<uInt>(file.size() - 8);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + 8);
    z.avail_out = total - 8;
    int r = inflate(&z, Z_FINISH);
    const size_t got = 8 + z.total_out;
    inflateEnd(&z);
    if (r != Z_STREAM_END) {
        if (r == Z_BUF_ERROR && z.avail_out == 0) {
            // More data than the header says: keep what it says.
        } else if (r == Z_BUF_ERROR || r == Z_OK) {
            *why = "truncated (inflates to " + std::to_string(got) + " of " + std::to_string(total) + " bytes)";
        } else {
            *why = "corrupt compressed data";
        }
    }
    out.resize(got);
    // FFmpeg reads the length in the header; make it that of what we hand over.
    const uint32_t n = static_cast<uint32_t>(got);
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    if (got <= 8 + 5) {
        if (why->empty()) *why = "no movie data";
        return {};
    }
    return out;
}

// Reading from memory for FFmpeg.
struct MemoryInput {
    std::string data;
    int64_t pos = 0;

    static int read(void* opaque, uint8_t* buf, int size) {
        auto* in = static_cast<MemoryInput*>(opaque);
        const int64_t left = static_cast<int64_t>(in->data.size()) - in->pos;
        if (left <= 0) return AVERROR_EOF;
        const int n = static_cast<int>(std::min<int64_t>(left, size));
        std::memcpy(buf, in->data.data() + in->pos, n);
        in->pos += n;
        return n;
    }
    static int64_t seek(void* opaque, int64_t offset, int whence) {
        auto* in = static_cast<MemoryInput*>(opaque);
        const int64_t size = static_cast<int64_t>(in->data.size());
        if (whence & AVSEEK_SIZE) return size;
        int64_t to;
        switch (whence & ~AVSEEK_FORCE) {
        case SEEK_SET: to = offset; break;
        case SEEK_CUR: to = in->pos + offset; break;
        case SEEK_END: to = size + offset; break;
        default: return -1;
        }
        if (to < 0 || to > size) return -1;
        in->pos = to;
        return to;
    }
};

std::string avError(int err) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, buf, sizeof buf);
    return buf;
}

// One opened movie: demuxer, decoders and the frames and sound decoded so far.
class Movie {
public:
    ~Movie() {
        for (AVPacket* p : videoQ_) av_packet_free(&p);
        for (AVPacket* p : audioQ_) av_packet_free(&p);
        av_frame_free(&current_);
        av_frame_free(&pending_);
        av_frame_free(&audioFrame_);
        av_packet_free(&packet_);
        sws_freeContext(sws_);
        swr_free(&swr_);
        avcodec_free_context(&video_);
        avcodec_free_context(&audio_);
        if (format_) avformat_close_input(&format_);
        if (io_) {
            av_freep(&io_->buffer);
            avio_context_free(&io_);
        }
    }

    // Opens the movie from its bytes; nullptr with WHY when it cannot play.
    static std::unique_ptr<Movie> open(std::string bytes, std::string* why) {
        auto mv = std::unique_ptr<Movie>(new Movie);
        mv->info_ = readSwfInfo(bytes);
        mv->input_.data = std::move(bytes);
        constexpr int kBuf = 32768;
        auto* buf = static_cast<unsigned char*>(av_malloc(kBuf));
        mv->io_ = avio_alloc_context(buf, kBuf, 0, &mv->input_, MemoryInput::read, nullptr, MemoryInput::seek);
        mv->format_ = avformat_alloc_context();
        if (!mv->io_ || !mv->format_) {
            if (!mv->io_) av_free(buf);
            *why = "out of memory";
            return nullptr;
        }
        mv->format_->pb = mv->io_;
        const AVInputFormat* swf = av_find_input_format("swf");
        int r = avformat_open_input(&mv->format_, nullptr, swf, nullptr);
        if (r < 0) {
            mv->format_ = nullptr;  // freed by FFmpeg on failure
            *why = "FFmpeg cannot read it (" + avError(r) + ")";
            return nullptr;
        }
        if ((r = avformat_find_stream_info(mv->format_, nullptr)) < 0) {
            *why = "FFmpeg finds no streams (" + avError(r) + ")";
            return nullptr;
        }
        mv->videoIndex_ = av_find_best_stream(mv->format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        mv->audioIndex_ = av_find_best_stream(mv->format_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (mv->videoIndex_ >= 0 && !mv->openDecoder(mv->videoIndex_, &mv->video_)) mv->videoIndex_ = -1;
        if (mv->audioIndex_ >= 0 && !mv->openDecoder(mv->audioIndex_, &mv->audio_)) mv->audioIndex_ = -1;
        if (mv->videoIndex_ < 0 && mv->audioIndex_ < 0) {
            *why = "no video or sound stream that FFmpeg can decode";
            return nullptr;
        }
        if (mv->audioIndex_ >= 0 && !mv->openResampler()) mv->audioIndex_ = -1;
        mv->packet_ = av_packet_alloc();
        mv->current_ = av_frame_alloc();
        mv->pending_ = av_frame_alloc();
        mv->audioFrame_ = av_frame_alloc();
        if (mv->videoIndex_ >= 0) {
            const AVStream* st = mv->format_->streams[mv->videoIndex_];
            mv->width_ = mv->video_->width;
            mv->height_ = mv->video_->height;
            AVRational fr = st->avg_frame_rate.num ? st->avg_frame_rate : st->r_frame_rate;
            mv->frameMs_ = fr.num > 0 ? 1000.0 * fr.den / fr.num : 40.0;
        }
        // FFmpeg may find streams in random bytes: something must decode.
        const bool shows = mv->hasVideo() && (mv->advanceVideo(0), mv->frameNum_ >= 0);
        if (mv->audioIndex_ >= 0)
            while (!mv->audioDone_ && mv->pcm_.empty()) mv->decodeAudio();
        if (!shows && mv->pcm_.empty()) {
            *why = "nothing in it can be decoded";
            return nullptr;
        }
        return mv;
    }

    int width() const { return width_; }
    int height() const { return height_; }
    bool hasVideo() const { return videoIndex_ >= 0 && width_ > 0 && height_ > 0; }
    const SwfInfo& info() const { return info_; }
    int frameNum() const { return frameNum_; }
    bool videoEnded() const { return videoEnded_ || !hasVideo(); }
    bool soundEnded() const { return audioIndex_ < 0 || (audioDone_ && pcmPos_ >= pcm_.size()); }

    // Makes the frame due at ELAPSED ms the current one; true when it changed.
    bool advanceVideo(double elapsed) {
        if (!hasVideo()) return false;
        bool changed = false;
        for (;;) {
            if (!pendingValid_) {
                if (videoEnded_ || !decodeVideo(pending_)) {
                    videoEnded_ = true;
                    break;
                }
                pendingValid_ = true;
                pendingMs_ = frameTime(pending_);
            }
            if (frameNum_ >= 0 && pendingMs_ > elapsed) break;
            std::swap(current_, pending_);
            av_frame_unref(pending_);
            pendingValid_ = false;
            ++frameNum_;
            changed = true;
        }
        if (changed) convertedFrame_ = -1;
        return changed;
    }

    // The time of the next frame after the current one, if decoded already
    // or still to come.
    std::optional<double> nextFrameMs() const {
        if (videoEnded() && !pendingValid_) return std::nullopt;
        if (pendingValid_) return pendingMs_;
        return (frameNum_ + 1) * frameMs_;
    }

    // The current frame at W x H as premultiplied ARGB32 (opaque).
    const std::vector<uint32_t>* picture(int w, int h) {
        if (frameNum_ < 0 || w <= 0 || h <= 0 || !current_->data[0]) return nullptr;
        if (convertedFrame_ == frameNum_ && w == convertedW_ && h == convertedH_) return &pixels_;
        sws_ = sws_getCachedContext(sws_, current_->width, current_->height,
                                    static_cast<AVPixelFormat>(current_->format), w, h, AV_PIX_FMT_BGRA,
                                    SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!sws_) return nullptr;
        pixels_.assign(size_t(w) * h, 0);
        uint8_t* dst[4] = {reinterpret_cast<uint8_t*>(pixels_.data()), nullptr, nullptr, nullptr};
        int stride[4] = {w * 4, 0, 0, 0};
        sws_scale(sws_, current_->data, current_->linesize, 0, current_->height, dst, stride);
        // BGRA bytes are ARGB32 words here; make sure they are opaque.
        for (uint32_t& p : pixels_) p |= 0xFF000000u;
        convertedFrame_ = frameNum_;
        convertedW_ = w;
        convertedH_ = h;
        return &pixels_;
    }

    // Adds the next FRAMES frames of sound to OUT.
    void mixInto(float* out, int frames) {
        if (audioIndex_ < 0) return;
        const size_t want = size_t(frames) * 2;
        while (pcm_.size() - pcmPos_ < want && !audioDone_) decodeAudio();
        const size_t have = std::min(want, pcm_.size() - pcmPos_);
        for (size_t i = 0; i < have; ++i) out[i] += pcm_[pcmPos_ + i];
        pcmPos_ += have;
        if (pcmPos_ > 65536) {
            pcm_.erase(pcm_.begin(), pcm_.begin() + static_cast<std::ptrdiff_t>(pcmPos_));
            pcmPos_ = 0;
        }
    }

private:
    Movie() = default;

    bool openDecoder(int index, AVCodecContext** ctx) {
        const AVCodecParameters* par = format_->streams[index]->codecpar;
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        if (!codec) return false;
        *ctx = avcodec_alloc_context3(codec);
        if (!*ctx || avcodec_parameters_to_context(*ctx, par) < 0) return false;
        (*ctx)->thread_count = 1;
        (*ctx)->pkt_timebase = format_->streams[index]->time_base;
        return avcodec_open2(*ctx, codec, nullptr) >= 0;
    }

    bool openResampler() {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout in;
        if (audio_->ch_layout.nb_channels > 0 && audio_->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_copy(&in, &audio_->ch_layout);
        else
            av_channel_layout_default(&in, std::max(1, audio_->ch_layout.nb_channels));
        int r = swr_alloc_set_opts2(&swr_, &stereo, AV_SAMPLE_FMT_FLT, MediaSystem::kRate, &in, audio_->sample_fmt,
                                    audio_->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&in);
        return r >= 0 && swr_init(swr_) >= 0;
    }

    double frameTime(const AVFrame* f) const {
        const AVStream* st = format_->streams[videoIndex_];
        int64_t ts = f->best_effort_timestamp;
        if (ts == AV_NOPTS_VALUE) return (frameNum_ + 1) * frameMs_;
        if (st->start_time != AV_NOPTS_VALUE) ts -= st->start_time;
        return 1000.0 * double(ts) * av_q2d(st->time_base);
    }

    // Reads the next packet into its stream's queue; false at the end.
    bool demux() {
        if (demuxDone_) return false;
        for (;;) {
            int r = av_read_frame(format_, packet_);
            if (r < 0) {
                demuxDone_ = true;
                return false;
            }
            if (packet_->stream_index == videoIndex_) {
                videoQ_.push_back(av_packet_clone(packet_));
                av_packet_unref(packet_);
                return true;
            }
            if (packet_->stream_index == audioIndex_) {
                audioQ_.push_back(av_packet_clone(packet_));
                av_packet_unref(packet_);
                return true;
            }
            av_packet_unref(packet_);
        }
    }

    bool decodeVideo(AVFrame* into) {
        for (;;) {
            int r = avcodec_receive_frame(video_, into);
            if (r == 0) return true;
            if (r != AVERROR(EAGAIN)) return false;
            if (videoQ_.empty() && !demuxDone_) {
                demux();
                continue;
            }
            if (!videoQ_.empty()) {
                AVPacket* p = videoQ_.front();
                videoQ_.pop_front();
                avcodec_send_packet(video_, p);  // a damaged packet is skipped
                av_packet_free(&p);
            } else if (!videoFlushed_) {
                avcodec_send_packet(video_, nullptr);
                videoFlushed_ = true;
            } else {
                return false;
            }
        }
    }

    void decodeAudio() {
        int r = avcodec_receive_frame(audio_, audioFrame_);
        if (r == 0) {
            appendSound(audioFrame_);
            av_frame_unref(audioFrame_);
            return;
        }
        if (r != AVERROR(EAGAIN)) {
            audioDone_ = true;
            return;
        }
        if (audioQ_.empty() && !demuxDone_) {
            demux();
            return;
        }
        if (!audioQ_.empty()) {
            AVPacket* p = audioQ_.front();
            audioQ_.pop_front();
            avcodec_send_packet(audio_, p);
            av_packet_free(&p);
        } else if (!audioFlushed_) {
            avcodec_send_packet(audio_, nullptr);
            audioFlushed_ = true;
        } else {
            audioDone_ = true;
        }
    }

    void appendSound(const AVFrame* f) {
        const int outMax = swr_get_out_samples(swr_, f->nb_samples);
        if (outMax <= 0) return;
        const size_t at = pcm_.size();
        pcm_.resize(at + size_t(outMax) * 2);
        uint8_t* dst = reinterpret_cast<uint8_t*>(pcm_.data() + at);
        int n = swr_convert(swr_, &dst, outMax, const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
        pcm_.resize(at + size_t(std::max(n, 0)) * 2);
    }

    SwfInfo info_;
    MemoryInput input_;
    AVIOContext* io_ = nullptr;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    SwsContext* sws_ = nullptr;
    SwrContext* swr_ = nullptr;
    AVPacket* packet_ = nullptr;
    int videoIndex_ = -1, audioIndex_ = -1;
    int width_ = 0, height_ = 0;
    double frameMs_ = 40.0;
    std::deque<AVPacket*> videoQ_, audioQ_;
    bool demuxDone_ = false, videoFlushed_ = false, audioFlushed_ = false;

    AVFrame* current_ = nullptr;
    AVFrame* pending_ = nullptr;
    bool pendingValid_ = false;
    double pendingMs_ = 0;
    int frameNum_ = -1;
    bool videoEnded_ = false;

    std::vector<uint32_t> pixels_;
    int convertedFrame_ = -1, convertedW_ = 0, convertedH_ = 0;

    AVFrame* audioFrame_ = nullptr;
    std::vector<float> pcm_;
    size_t pcmPos_ = 0;
    bool audioDone_ = false;
};

std::optional<uint32_t> parseRgb(const std::string& s) {
    if (s.size() != 6) return std::nullopt;
    uint32_t v = 0;
    for (char c : s) {
        int d = std::isdigit(uint8_t(c)) ? c - '0' : (std::tolower(uint8_t(c)) >= 'a' && std::tolower(uint8_t(c)) <= 'f') ? std::tolower(uint8_t(c)) - 'a' + 10 : -1;
        if (d < 0) return std::nullopt;
        v = v << 4 | uint32_t(d);
    }
    return v;
}

class MoviePlayer : public AnimatedComponent, public SoundSource {
public:
    MoviePlayer(ImplPtr m, const Control& c) : m_(std::move(m)), background_(parseRgb(c.p.movieBackground)) {}

    ~MoviePlayer() override { stop(); }

    void setProperty(std::string_view name, const Value& v) override {
        if (name != "Movie") return;
        path_ = std::holds_alternative<std::string>(v) ? std::get<std::string>(v) : formatValue(v);
        // The player plays what it loads.
        load();
        start();
    }

    void call(std::string_view method) override {
        if (method == "Play") start();
        else if (method == "Stop") stop();
    }

    std::optional<Value> property(std::string_view name) const override {
        if (name == "Movie") return Value(path_);
        if (name == "Showing") return Value(started_ ? baseName(path_) : std::string());
        if (name == "Playing") return Value(playing());
        if (name == "FrameNum") {
            std::lock_guard lock(m_->mu);
            if (movie_) {
                movie_->advanceVideo(elapsed());
                return Value(int64_t(movie_->frameNum()));
            }
            return Value(int64_t(-1));
        }
        if (name == "TotalFrames") return Value(int64_t(movie_ ? movie_->info().frameCount : 0));
        return std::nullopt;
    }

    void paint(cairo_t* cr, const Rect& r) override {
        cairo_save(cr);
        cairo_rectangle(cr, r.x, r.y, r.w, r.h);
        cairo_clip(cr);
        const uint32_t bg = background_ ? *background_ : movie_ && movie_->info().background ? *movie_->info().background : 0;
        cairo_set_source_rgb(cr, ((bg >> 16) & 0xFF) / 255.0, ((bg >> 8) & 0xFF) / 255.0, (bg & 0xFF) / 255.0);
        cairo_paint(cr);
        if (movie_ && started_ && movie_->hasVideo()) {
            // ShowAll: the whole movie, aspect kept, centred; scaled to the
            // device pixels of a HiDPI window, not enlarged from logical ones.
            double ds = 1, dsy = 1;
            cairo_surface_get_device_scale(cairo_get_target(cr), &ds, &dsy);
            const double scale = std::min(double(r.w) / movie_->width(), double(r.h) / movie_->height());
            const double lw = movie_->width() * scale, lh = movie_->height() * scale;
            const int w = std::max(1, int(std::lround(lw * ds)));
            const int h = std::max(1, int(std::lround(lh * ds)));
            std::unique_lock lock(m_->mu);
            movie_->advanceVideo(elapsed());
            const std::vector<uint32_t>* px = movie_->picture(w, h);
            if (px) {
                image_.assign(px->begin(), px->end());
                lock.unlock();
                cairo_surface_t* img = cairo_image_surface_create_for_data(
                    reinterpret_cast<unsigned char*>(image_.data()), CAIRO_FORMAT_ARGB32, w, h, w * 4);
                cairo_surface_set_device_scale(img, ds, ds);
                cairo_set_source_surface(cr, img, r.x + int(r.w - std::lround(lw)) / 2, r.y + int(r.h - std::lround(lh)) / 2);
                cairo_paint(cr);
                cairo_surface_destroy(img);
            }
            painted_ = movie_->frameNum();
        }
        cairo_restore(cr);
    }

    bool animating() const override { return playing(); }

    bool frameChanged(int64_t now) override {
        if (!movie_ || !started_) return false;
        std::lock_guard lock(m_->mu);
        movie_->advanceVideo(double(now - start_));
        if (movie_->frameNum() == painted_) return false;
        painted_ = movie_->frameNum();
        return true;
    }

    std::optional<int64_t> nextChange(int64_t) override {
        if (!movie_ || !started_) return std::nullopt;
        std::lock_guard lock(m_->mu);
        auto t = movie_->nextFrameMs();
        if (!t) return std::nullopt;
        return later(start_, int64_t(std::min(std::ceil(*t), 9.0e18)));
    }

    void mixInto(float* out, int frames) override {
        if (movie_) movie_->mixInto(out, frames);
    }

private:
    double elapsed() const { return double(m_->clock.now() - start_); }

    bool playing() const {
        if (!movie_ || !started_) return false;
        std::lock_guard lock(m_->mu);
        movie_->advanceVideo(elapsed());
        // The sound is decoded only as it is heard.
        return !movie_->videoEnded() || (m_->listening() && !movie_->soundEnded());
    }

    void load() {
        stop();
        if (path_.empty()) return;
        // Whatever is wrong with the file, the game goes on without the movie.
        try {
            loadFile();
        } catch (const std::exception& e) {
            movie_.reset();
            m_->problem("movie: " + path_ + ": cannot be played (" + e.what() + "); showing no movie");
        }
    }

    void loadFile() {
        std::string why;
        auto file = readWholeFile(path_, &why);
        std::unique_ptr<Movie> mv;
        if (file) {
            std::string bytes = swfBytes(std::move(*file), &why);
            std::string openWhy;
            if (!bytes.empty()) mv = Movie::open(std::move(bytes), &openWhy);
            if (why.empty()) why = openWhy;
        }
        if (!why.empty())
            m_->problem("movie: " + path_ + ": " + why + (mv ? "; playing what is there" : "; showing no movie"));
        movie_ = std::move(mv);
    }

    void start() {
        if (!movie_ || started_) return;
        m_->sync();
        start_ = m_->clock.now();
        started_ = true;
        painted_ = -2;
        m_->addSource(this);
    }

    void stop() {
        if (started_) {
            m_->sync();
            m_->removeSource(this);
        }
        started_ = false;
        std::lock_guard lock(m_->mu);
        movie_.reset();
    }

    ImplPtr m_;
    std::optional<uint32_t> background_;
    std::string path_;
    // Touched by the audio thread through mixInto, under the media lock.
    mutable std::unique_ptr<Movie> movie_;
    bool started_ = false;
    int64_t start_ = 0;
    int painted_ = -2;
    std::vector<uint32_t> image_;
};

}  // namespace

std::unique_ptr<Component> makeMoviePlayer(ImplPtr m, const Control& c) {
    return std::make_unique<MoviePlayer>(std::move(m), c);
}

}  // namespace az
