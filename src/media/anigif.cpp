// AniGIF1: the makers' animated banner on the credits. SDL_image decodes
// the GIF and composites its frames (each left in place under the next,
// transparent pixels showing what was there). The frames follow the game
// clock from the moment the scene loads and repeat without end.
//
// The 468 x 60 banner sits in its 457 x 65 rectangle at natural size,
// centred: 5 columns are cut at the left and 6 at the right, and 2 rows of
// the background colour show above it and 3 below.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>

#include "media/internal.h"
#include "runtime/painter.h"

namespace az {

namespace {

class AniGif : public AnimatedComponent {
public:
    AniGif(ImplPtr m, const Control& c, const std::string& file, int pixelsPerLogical)
        : m_(std::move(m)), back_(c.p.hasBackColor ? c.p.backColor : 0x00C0C0C0u), start_(m_->clock.now()),
          ppl_(std::max(1, pixelsPerLogical)) {
        load(file);
    }

    ~AniGif() override {
        for (cairo_surface_t* s : frames_) cairo_surface_destroy(s);
    }

    void setProperty(std::string_view, const Value&) override {}
    void call(std::string_view) override {}

    std::optional<Value> property(std::string_view name) const override {
        if (name == "FrameCount") return Value(int64_t(frames_.size()));
        if (name == "Frame") return Value(int64_t(frameAt(m_->clock.now())));
        return std::nullopt;
    }

    void paint(cairo_t* cr, const Rect& r) override {
        cairo_save(cr);
        cairo_rectangle(cr, r.x, r.y, r.w, r.h);
        cairo_clip(cr);
        Rgb bg = rgbOf(back_);
        cairo_set_source_rgb(cr, bg.r, bg.g, bg.b);
        cairo_paint(cr);
        if (!frames_.empty()) {
            const int i = frameAt(m_->clock.now());
            cairo_set_source_surface(cr, frames_[i], r.x + (r.w - w_) / 2, r.y + (r.h - h_) / 2);
            cairo_paint(cr);
            painted_ = i;
        }
        cairo_restore(cr);
    }

    bool animating() const override { return frames_.size() > 1; }

    bool frameChanged(int64_t now) override {
        if (!animating() || frameAt(now) == painted_) return false;
        painted_ = frameAt(now);
        return true;
    }

    std::optional<int64_t> nextChange(int64_t now) override {
        if (!animating()) return std::nullopt;
        const int64_t t = (now - start_) % cycle_;
        int64_t acc = 0;
        for (int d : delays_) {
            acc += d;
            if (acc > t) return later(now, acc - t);
        }
        return later(now, cycle_ - t);
    }

private:
    int frameAt(int64_t now) const {
        if (frames_.size() < 2) return 0;
        const int64_t t = ((now - start_) % cycle_ + cycle_) % cycle_;
        int64_t acc = 0;
        for (size_t i = 0; i < delays_.size(); ++i) {
            acc += delays_[i];
            if (t < acc) return static_cast<int>(i);
        }
        return static_cast<int>(delays_.size()) - 1;
    }

    void load(const std::string& file) {
        std::string why;
        auto bytes = readWholeFile(file, &why);
        if (!bytes) {
            m_->problem("banner: " + file + ": " + why + "; showing no banner");
            return;
        }
        SDL_RWops* rw = SDL_RWFromConstMem(bytes->data(), static_cast<int>(bytes->size()));
        IMG_Animation* anim = rw ? IMG_LoadAnimationTyped_RW(rw, 1, "GIF") : nullptr;
        if (!anim || anim->count <= 0) {
            m_->problem("banner: " + file + ": cannot decode (" + IMG_GetError() + "); showing no banner");
            if (anim) IMG_FreeAnimation(anim);
            return;
        }
        // A whole GIF ends with its trailer byte; SDL_image keeps the frames
        // of a cut one that it could read.
        if (bytes->back() != 0x3B)
            m_->problem("banner: " + file + ": truncated; showing the " + std::to_string(anim->count) +
                        " frames it holds");
        const int pw = anim->w, ph = anim->h;
        w_ = pw / ppl_;
        h_ = ph / ppl_;
        for (int i = 0; i < anim->count; ++i) {
            SDL_Surface* argb = SDL_ConvertSurfaceFormat(anim->frames[i], SDL_PIXELFORMAT_ARGB8888, 0);
            if (!argb) break;
            cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pw, ph);
            cairo_surface_set_device_scale(s, ppl_, ppl_);
            unsigned char* dst = cairo_image_surface_get_data(s);
            const int stride = cairo_image_surface_get_stride(s);
            for (int y = 0; y < ph && y < argb->h; ++y) {
                const auto* src = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
                auto* out = reinterpret_cast<uint32_t*>(dst + y * stride);
                for (int x = 0; x < pw && x < argb->w; ++x) {
                    // Cairo wants premultiplied alpha.
                    const uint32_t p = src[x], a = p >> 24;
                    auto pm = [a](uint32_t c) { return (c * a + 127) / 255; };
                    out[x] = a << 24 | pm((p >> 16) & 0xFF) << 16 | pm((p >> 8) & 0xFF) << 8 | pm(p & 0xFF);
                }
            }
            cairo_surface_mark_dirty(s);
            SDL_FreeSurface(argb);
            frames_.push_back(s);
            delays_.push_back(anim->delays[i] > 0 ? anim->delays[i] : 100);
        }
        IMG_FreeAnimation(anim);
        cycle_ = 0;
        for (int d : delays_) cycle_ += d;
        if (cycle_ <= 0) cycle_ = 1;
    }

    ImplPtr m_;
    VbColor back_;
    int64_t start_;
    int ppl_ = 1;    // frame pixels per logical pixel
    int w_ = 0, h_ = 0;  // logical pixels
    std::vector<cairo_surface_t*> frames_;
    std::vector<int> delays_;
    int64_t cycle_ = 1;
    int painted_ = -1;
};

}  // namespace

std::unique_ptr<Component> makeAniGif(ImplPtr m, const Control& c, const std::string& file, int pixelsPerLogical) {
    return std::make_unique<AniGif>(std::move(m), c, file, pixelsPerLogical);
}

}  // namespace az
