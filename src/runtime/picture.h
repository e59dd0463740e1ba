// Pictures as the painter and the window system get them.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace az {

// Pictures, cursors and icons are named by asset ids 1 to kAssetCount.
constexpr int kAssetCount = 45;

// Where the painter gets its pictures: decoded once, shared, owned by the source.
class PictureSource {
public:
    virtual ~PictureSource() = default;
    // The picture of an asset at natural size, or scaled to w x h when the
    // asset is drawn to a size (the vector picture). Null when it is missing.
    virtual cairo_surface_t* picture(int asset, int w = 0, int h = 0) = 0;
};

// A cursor or an icon for the window system: straight (not premultiplied)
// 0xAARRGGBB pixels.
struct CursorImage {
    std::vector<uint32_t> argb;
    int w = 0, h = 0;
    int hotX = 0, hotY = 0;
};

}  // namespace az
