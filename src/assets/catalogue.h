// The asset catalogue: every picture, cursor and icon of the game by id,
// decoded once on first use and shared by every scene.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/picture.h"

namespace az {

enum class AssetKind { Picture, Cursor, Icon, Vector, Animated };

struct AssetRecord {
    int id;
    AssetKind kind;
    int w, h;          // pixel size (the vector picture: none)
    bool transparent;  // has pixels that show what lies beneath
    int hotX, hotY;    // cursors
    const char* content;
};

const std::array<AssetRecord, kAssetCount>& assetRecords();
const AssetRecord& assetRecord(int id);

// The rendered file of an asset in the assets folder.
std::string assetFileName(int id, int w = 0, int h = 0);

class Catalogue : public PictureSource {
public:
    // folder: where the rendered pictures are (the program folder's assets/).
    // At a display scale the pictures come from the set rendered for it
    // (assets@2x/, assets@3x/ beside the folder); a fractional scale is made
    // from the next larger set, never by enlarging a smaller one. Every
    // picture carries its scale as its surface's device scale, so that it
    // measures in logical pixels.
    explicit Catalogue(std::string folder, double scale = 1.0);
    ~Catalogue() override;

    cairo_surface_t* picture(int asset, int w = 0, int h = 0) override;
    // An icon's small image.
    cairo_surface_t* smallIcon(int asset);
    // The animated picture's frames, each complete as it shows on screen.
    const std::vector<cairo_surface_t*>& frames(int asset);

    // A cursor, or an icon used as one (its hot spot at its centre).
    std::optional<CursorImage> cursorImage(int asset);

    // How often an asset file was decoded in this run.
    int decodes(int asset) const;
    const std::string& folder() const { return folder_; }
    double scale() const { return scale_; }

private:
    cairo_surface_t* load(const std::string& file, int countAs);
    // A picture decoded from the rendered set, brought to the display scale.
    cairo_surface_t* toScale(cairo_surface_t* rendered) const;

    std::string folder_;
    std::string setFolder_;  // where the rendered set of the scale lies
    double scale_ = 1.0;
    double setScale_ = 1.0;  // the scale that set is rendered at
    std::map<std::string, cairo_surface_t*> cache_;  // by file name
    std::map<int, std::vector<cairo_surface_t*>> frames_;
    std::map<int, int> decodes_;
};

// Decodes a picture file with SDL2_image into a premultiplied cairo surface;
// null with a message when it cannot.
cairo_surface_t* decodePicture(const std::string& path, std::string* error);

}  // namespace az
