// Options: music on or off and one of three tunes, read by the menu's load.
#include "assets/ids.h"
#include "scenes/palette.h"
#include "scenes/scenes.h"

namespace az {

SceneDef options() {
    using namespace asset;
    using namespace palette;
    SceneDef s;
    s.desc = {windowOf("Options"),
              {
                  optionButton("Option3").at(3120, 5640, 1095, 195).text("Midi 03").fore(white).back(black).verdana(),
                  optionButton("Option2").at(3120, 5040, 975, 195).text("Midi 02").fore(white).back(black).verdana(),
                  optionButton("Option1").at(3120, 4440, 975, 195).text("Midi 01").fore(white).back(black).verdana()
                      .val(-1),
                  checkBox("Check1").at(5280, 3240, 1095, 255).text("Zapnout").fore(white).back(black).verdana().val(1)
                      .cursor(HandCursor),
                  image("Image5").at(3600, 2400, 2175, 360).pic(WordOptions),
                  image("Image4").at(5760, 4200, 1860, 1470).pic(MusicSheets),
                  label("Label1").at(2520, 3840, 1335, 255).text("Vyber si song :").fore(amber).transparent().verdana(),
                  image("Image3").at(8880, 6120, 720, 960).pic(Badge),
                  label("Label4").at(4320, 6600, 1215, 255).text("<< zpátky").fore(amber).transparent().verdana()
                      .cursor(HandCursor),
                  label("Label2").at(3000, 3240, 615, 255).text("Hudba").fore(amber).transparent().verdana(),
                  image("Image1").at(2520, 480, 4215, 1320).pic(TitleLogo),
              }};

    // "<< zpátky": the menu loads again with these settings, then they go.
    s.onClick("Label4", {showScene("Form2"), unloadScene()});
    return s;
}

}  // namespace az
