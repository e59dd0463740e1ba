// Form7, the town map: five place names around a picture of the town.
// Every place name has a grey twin lying exactly over it; while the twin is
// shown it takes the click and does nothing, so the place is locked. The
// story scenes lock and unlock places by showing and hiding the grey twins.
// A click on a reachable place unloads the map, so every visit starts again
// from these design values plus what the scenes wrote since.
#include "assets/ids.h"
#include "scenes/palette.h"
#include "scenes/scenes.h"

namespace az {

namespace {

constexpr VbColor kGrey = palette::lightGrey;
constexpr VbColor kWhite = palette::white;

// A place name: bold, transparent, the pointing hand over it.
ControlDesc place(const char* name, int left, int top, int width, const char* text, VbColor colour) {
    return label(name).at(left, top, width, 255).text(text).sansBold().fore(colour).transparent().cursor(asset::HandCursor);
}

// The underline of a place name, in the window colour, 2 pixels wide.
ControlDesc underline(const char* name, int left, int y) {
    return line(name).ends(left, y, left + 1800, y).border(sysColor(5), 2);
}

}  // namespace

SceneDef form7() {
    SceneDef s;
    s.desc = {windowOf("Form7"),
              {
                  // The grey twins: shown means locked. Only "Domov" is open at first.
                  place("Label10", 6360, 1800, 1575, "Elektrárna", kGrey),
                  place("Label9", 8640, 4440, 1095, "Město", kGrey),
                  place("Label8", 1440, 1440, 855, "Domov", kGrey).hidden(),
                  place("Label7", 840, 7080, 1215, "Konopný Trh", kGrey),
                  place("Label6", 720, 3360, 975, "Obchodník", kGrey),
                  // The place names that lead somewhere.
                  place("Label5", 8640, 4440, 615, "Město", kWhite),
                  place("Label4", 840, 7080, 1095, "Konopný Trh", kWhite),
                  place("Label3", 720, 3360, 975, "Obchodník", kWhite),
                  place("Label2", 6360, 1800, 975, "Elektrárna", kWhite),
                  place("Label1", 1440, 1440, 615, "Domov", kWhite),
                  // "CITY MAP"
                  image("Image2").at(8280, 7800, 2235, 900).pic(asset::CityMapWord),
                  // Every place stays underlined, open or locked.
                  underline("Line5", 1440, 1680),
                  underline("Line4", 6360, 2040),
                  underline("Line3", 720, 3600),
                  underline("Line2", 840, 7320),
                  underline("Line1", 8640, 4680),
                  // The town from above.
                  image("Image1").at(1320, 1800, 7995, 6090).pic(asset::TownMap),
              }};

    // Each place name that leads somewhere: the map goes, the place comes.
    s.onClick("Label1", {unloadScene(), showScene("Form6")});   // "Domov"
    s.onClick("Label2", {unloadScene(), showScene("Form10")});  // "Elektrárna"
    s.onClick("Label3", {unloadScene(), showScene("Form9")});   // "Obchodník"
    s.onClick("Label4", {unloadScene(), showScene("Form8")});   // "Konopný Trh"
    s.onClick("Label5", {unloadScene(), showScene("Form11")});  // "Město"
    return s;
}

}  // namespace az
