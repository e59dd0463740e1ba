#include "assets/catalogue.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "runtime/scale.h"

namespace az {

namespace {
constexpr AssetKind P = AssetKind::Picture, C = AssetKind::Cursor, I = AssetKind::Icon,
                    V = AssetKind::Vector, A = AssetKind::Animated;
}

const std::array<AssetRecord, kAssetCount>& assetRecords() {
    static const std::array<AssetRecord, kAssetCount> records = {{
        {1, P, 961, 808, false, 0, 0, "dark brick wall"},
        {2, P, 661, 573, false, 0, 0, "street before the power plant"},
        {3, P, 661, 573, false, 0, 0, "town street with three musicians"},
        {4, P, 661, 573, false, 0, 0, "landing site with the saucer"},
        {5, P, 48, 64, false, 0, 0, "the maker's badge"},
        {6, P, 661, 573, false, 0, 0, "street before the agent's house"},
        {7, P, 661, 573, false, 0, 0, "market"},
        {8, P, 661, 573, false, 0, 0, "merchant's stall"},
        {9, C, 32, 32, true, 15, 8, "double-headed horizontal arrow"},
        {10, C, 32, 32, true, 4, 16, "gloved hand pinching, from the side"},
        {11, C, 32, 32, true, 12, 1, "gloved pointing hand"},
        {12, C, 32, 32, true, 15, 4, "gloved hand pinching, upright"},
        {13, C, 32, 32, true, 24, 7, "gloved hand pinching, tilted"},
        {14, C, 32, 32, true, 12, 1, "pointing hand with a prohibition sign"},
        {15, C, 32, 32, true, 15, 14, "thin cross-hair"},
        {16, P, 66, 60, true, 0, 0, "the permit"},
        {17, P, 172, 344, true, 0, 0, "the agent, mouth open"},
        {18, P, 145, 24, true, 0, 0, "NASTAVENÍ"},
        {19, P, 166, 27, true, 0, 0, "HURÁ DO HRY"},
        {20, P, 157, 33, true, 0, 0, "STVOŘITELÉ"},
        {21, P, 77, 24, true, 0, 0, "EGZIT"},
        {22, P, 281, 88, true, 0, 0, "title logo"},
        {23, P, 162, 384, true, 0, 0, "the lieutenant"},
        {24, P, 155, 343, true, 0, 0, "the agent"},
        {25, P, 171, 135, true, 0, 0, "the agent's speech bubble"},
        {26, P, 207, 139, true, 0, 0, "the lieutenant's speech bubble"},
        {27, P, 67, 72, true, 0, 0, "box of cigars"},
        {28, P, 71, 48, true, 0, 0, "cap, peak right"},
        {29, P, 60, 46, true, 0, 0, "bunch of keys"},
        {30, P, 59, 43, true, 0, 0, "blue pistol"},
        {31, P, 60, 52, true, 0, 0, "wad of banknotes"},
        {32, P, 71, 48, true, 0, 0, "cap, peak left"},
        {33, P, 149, 60, true, 0, 0, "CITY MAP"},
        {34, P, 533, 406, true, 0, 0, "town map"},
        {35, P, 196, 145, true, 0, 0, "the monkey shot"},
        {36, P, 109, 145, true, 0, 0, "the monkey vendor"},
        {37, P, 243, 337, true, 0, 0, "the agent aiming"},
        {38, P, 124, 98, true, 0, 0, "sheets of music"},
        {39, P, 539, 76, true, 0, 0, "O NĚKOLIK MINUT POZDĚJI ..."},
        {40, I, 32, 32, true, 0, 0, "stop sign"},
        {41, I, 32, 32, true, 0, 0, "radiation sign"},
        {42, I, 32, 32, true, 0, 0, "crescent moon"},
        {43, I, 32, 32, true, 0, 0, "smiley"},
        {44, V, 0, 0, false, 0, 0, "office interior"},
        {45, A, 468, 60, false, 0, 0, "the maker's animated banner"},
    }};
    return records;
}

const AssetRecord& assetRecord(int id) {
    if (id < 1 || id > kAssetCount) throw std::out_of_range("no asset " + std::to_string(id));
    return assetRecords()[static_cast<size_t>(id - 1)];
}

std::string assetFileName(int id, int w, int h) {
    char buf[32];
    if (id == 44) {
        std::snprintf(buf, sizeof buf, "44-%dx%d.png", w, h);
    } else if (id == 45) {
        std::snprintf(buf, sizeof buf, "45.gif");
    } else {
        std::snprintf(buf, sizeof buf, "%02d.png", id);
    }
    return buf;
}

static cairo_surface_t* fromSdl(SDL_Surface* loaded) {
    SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    if (!s) return nullptr;
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, s->w, s->h);
    cairo_surface_flush(out);
    unsigned char* dst = cairo_image_surface_get_data(out);
    const int stride = cairo_image_surface_get_stride(out);
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y) {
        const uint32_t* src = reinterpret_cast<const uint32_t*>(static_cast<const unsigned char*>(s->pixels) + y * s->pitch);
        uint32_t* d = reinterpret_cast<uint32_t*>(dst + y * stride);
        for (int x = 0; x < s->w; ++x) {
            // cairo wants premultiplied alpha.
            uint32_t p = src[x];
            uint32_t a = p >> 24;
            auto pm = [a](uint32_t c) { return (c * a + 127) / 255; };
            d[x] = a << 24 | pm((p >> 16) & 0xFF) << 16 | pm((p >> 8) & 0xFF) << 8 | pm(p & 0xFF);
        }
    }
    SDL_UnlockSurface(s);
    SDL_FreeSurface(s);
    cairo_surface_mark_dirty(out);
    return out;
}

cairo_surface_t* decodePicture(const std::string& path, std::string* error) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) {
        if (error) *error = path + ": " + IMG_GetError();
        return nullptr;
    }
    cairo_surface_t* out = fromSdl(loaded);
    SDL_FreeSurface(loaded);
    if (!out && error) *error = path + ": cannot convert the picture";
    return out;
}

Catalogue::Catalogue(std::string folder, double scale) : folder_(std::move(folder)), scale_(scale) {
    const int set = renderedSetFor(scale);
    setScale_ = set;
    // assets/ -> assets@2x/ beside it.
    setFolder_ = set == 1 ? folder_ : folder_ + renderedSetFolder(set).substr(6);
}

cairo_surface_t* Catalogue::toScale(cairo_surface_t* rendered) const {
    if (!rendered) return nullptr;
    if (setScale_ == scale_) {
        cairo_surface_set_device_scale(rendered, scale_, scale_);
        return rendered;
    }
    // Down from the larger set, smoothly, to the pixels of this scale.
    const int w = cairo_image_surface_get_width(rendered), h = cairo_image_surface_get_height(rendered);
    const int lw = static_cast<int>(std::lround(w / setScale_)), lh = static_cast<int>(std::lround(h / setScale_));
    const int dw = std::max(1, static_cast<int>(std::lround(lw * scale_)));
    const int dh = std::max(1, static_cast<int>(std::lround(lh * scale_)));
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, dw, dh);
    cairo_t* cr = cairo_create(out);
    cairo_scale(cr, double(dw) / w, double(dh) / h);
    cairo_set_source_surface(cr, rendered, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(rendered);
    cairo_surface_set_device_scale(out, double(dw) / lw, double(dh) / lh);
    return out;
}

Catalogue::~Catalogue() {
    for (auto& [f, s] : cache_)
        if (s) cairo_surface_destroy(s);
    for (auto& [id, v] : frames_)
        for (auto* s : v) cairo_surface_destroy(s);
}

cairo_surface_t* Catalogue::load(const std::string& file, int countAs) {
    auto it = cache_.find(file);
    if (it != cache_.end()) return it->second;
    std::string err;
    cairo_surface_t* s = toScale(decodePicture(setFolder_ + "/" + file, &err));
    if (!s) std::fprintf(stderr, "agent-zaza: picture missing: %s\n", err.c_str());
    decodes_[countAs]++;
    cache_[file] = s;
    return s;
}

cairo_surface_t* Catalogue::picture(int asset, int w, int h) {
    const AssetRecord& r = assetRecord(asset);
    if (r.kind == AssetKind::Vector) {
        // Pre-rendered at the sizes it is drawn at; any other size uses the
        // nearest and is scaled by the painter.
        if (!((w == 686 && h == 613) || (w == 694 && h == 547))) {
            w = 686;
            h = 613;
        }
        return load(assetFileName(asset, w, h), asset);
    }
    if (r.kind == AssetKind::Icon && w == 16 && h == 16) return smallIcon(asset);
    if (r.kind == AssetKind::Animated) {
        const auto& f = frames(asset);
        return f.empty() ? nullptr : f.front();
    }
    return load(assetFileName(asset), asset);
}

cairo_surface_t* Catalogue::smallIcon(int asset) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d-16.png", asset);
    return load(buf, asset);
}

const std::vector<cairo_surface_t*>& Catalogue::frames(int asset) {
    auto it = frames_.find(asset);
    if (it != frames_.end()) return it->second;
    std::vector<cairo_surface_t*>& out = frames_[asset];
    decodes_[asset]++;
    std::string path = setFolder_ + "/" + assetFileName(asset);
    IMG_Animation* anim = IMG_LoadAnimation(path.c_str());
    if (!anim) {
        std::fprintf(stderr, "agent-zaza: picture missing: %s: %s\n", path.c_str(), IMG_GetError());
        return out;
    }
    for (int i = 0; i < anim->count; ++i)
        if (cairo_surface_t* s = toScale(fromSdl(anim->frames[i]))) out.push_back(s);
    IMG_FreeAnimation(anim);
    return out;
}

std::optional<CursorImage> Catalogue::cursorImage(int asset) {
    const AssetRecord& r = assetRecord(asset);
    if (r.kind != AssetKind::Cursor && r.kind != AssetKind::Icon) return std::nullopt;
    cairo_surface_t* s = picture(asset);
    if (!s) return std::nullopt;
    CursorImage img;
    img.w = cairo_image_surface_get_width(s);
    img.h = cairo_image_surface_get_height(s);
    // The hot spot is the same point of the drawing at every scale.
    img.hotX = r.kind == AssetKind::Cursor ? static_cast<int>(std::lround(r.hotX * img.w / double(r.w))) : img.w / 2;
    img.hotY = r.kind == AssetKind::Cursor ? static_cast<int>(std::lround(r.hotY * img.h / double(r.h))) : img.h / 2;
    img.argb.resize(size_t(img.w) * size_t(img.h));
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            uint32_t p = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
            uint32_t a = p >> 24;
            auto un = [a](uint32_t c) { return a ? std::min<uint32_t>(255, (c * 255 + a / 2) / a) : 0; };
            img.argb[size_t(y) * size_t(img.w) + size_t(x)] =
                a << 24 | un((p >> 16) & 0xFF) << 16 | un((p >> 8) & 0xFF) << 8 | un(p & 0xFF);
        }
    return img;
}

int Catalogue::decodes(int asset) const {
    auto it = decodes_.find(asset);
    return it == decodes_.end() ? 0 : it->second;
}

}  // namespace az
