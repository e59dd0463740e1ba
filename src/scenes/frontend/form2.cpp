// Form2, the main menu: the music, the progress flag and the four word pictures.
#include "assets/ids.h"
#include "scenes/scenes.h"

namespace az {

SceneDef form2() {
    using namespace asset;
    SceneDef s;
    s.desc = {windowOf("Form2"),
              {
                  midiControl("MMControl1").at(1200, 5760, 3540, 330),
                  // The flag: "1" at every load, "0" once a story scene called the menu.
                  label("Label1").at(120, 6000, 255, 255).text("1").transparent(),
                  image("Image5").at(1800, 4080, 2175, 360).pic(WordOptions).cursor(HandCursor),
                  image("Image2").at(1560, 2160, 2490, 405).pic(WordPlay).cursor(HandCursor),
                  image("Image3").at(1680, 3000, 2355, 495).pic(WordMakers).cursor(HandCursor),
                  image("Image7").at(4920, 5280, 720, 960).pic(Badge),
                  image("Image4").at(2400, 4920, 1155, 360).pic(WordExit).cursor(HandCursor),
                  image("Image1").at(720, 360, 4215, 1320).pic(TitleLogo),
              }};

    // The options decide the music; reading them loads the options hidden.
    const Target tune = "MMControl1";
    s.onLoad({when(valueIs(onScene("Options", "Check1"), 1),
                   {
                       set(tune, "Notify", false),
                       set(tune, "Wait", true),
                       set(tune, "Shareable", false),
                       set(tune, "DeviceType", "Sequencer"),
                       when(valueIs(onScene("Options", "Option1"), -1), {setFile(tune, "FileName", "01.mid")}),
                       when(valueIs(onScene("Options", "Option2"), -1), {setFile(tune, "FileName", "02.mid")}),
                       when(valueIs(onScene("Options", "Option3"), -1), {setFile(tune, "FileName", "03.mid")}),
                       set(tune, "Command", "Open"),
                       set(tune, "Command", "Play"),
                   })});

    s.onUnload({set(tune, "Command", "Close")});

    // "HURÁ DO HRY": a new game with the flag "1", else back to the story.
    s.onClick("Image2", {when(captionIs("Label1", "1"), {showScene("Form5")}), hideScene()});

    // "STVOŘITELÉ"
    s.onClick("Image3", {showScene("Form4"), hideScene()});

    // "EGZIT"
    s.onClick("Image4", {showScene("Form3"), unloadScene()});

    // "NASTAVENÍ"
    s.onClick("Image5", {showScene("Options"), unloadScene()});
    return s;
}

}  // namespace az
