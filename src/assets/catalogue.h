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
    explicit Catalogue(std::string folder);
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

private:
    cairo_surface_t* load(const std::string& file, int countAs);

    std::string folder_;
    std::map<std::string, cairo_surface_t*> cache_;  // by file name
    std::map<int, std::vector<cairo_surface_t*>> frames_;
    std::map<int, int> decodes_;
};

// Decodes a picture file with SDL2_image into a premultiplied cairo surface;
// null with a message when it cannot.
cairo_surface_t* decodePicture(const std::string& path, std::string* error);

}  // namespace az
