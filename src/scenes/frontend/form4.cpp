// Form4, the credits: the makers, their addresses and their banner.
#include "assets/ids.h"
#include "scenes/palette.h"
#include "scenes/scenes.h"

namespace az {

SceneDef form4() {
    using namespace asset;
    using namespace palette;
    auto role = [&](const char* name) { return label(name).fore(amber).transparent().verdana(); };
    auto names = [&](const char* name) { return label(name).fore(white).transparent().verdana(); };
    SceneDef s;
    s.desc = {windowOf("Form4"),
              {
                  aniGif("AniGIF1").at(1440, 6000, 6855, 975).pic(Banner).back(lightGrey).cursor(HandCursor),
                  image("Image4").at(3600, 2160, 2355, 495).pic(WordMakers),
                  names("Label11").at(3480, 4680, 2295, 255).align(align::centre).text("studio.zaza@example.com"),
                  role("Label10").at(1320, 4320, 3015, 255).align(align::centre).text("Na internetu:"),
                  names("Label9").at(3480, 4320, 2535, 255).align(align::centre).text("www.example.com/zaza"),
                  role("Label8").at(4320, 7680, 975, 255).text("<< Jít zpět").cursor(HandCursor),
                  image("Image3").at(9120, 7200, 720, 960).pic(Badge),
                  image("Image1").at(2760, 360, 4215, 1320).pic(TitleLogo),
                  names("Label6").at(2280, 3840, 4095, 255).align(align::centre).text("Bajt ze Studia Zaza"),
                  role("Label5").at(360, 3840, 3975, 255).align(align::centre).text("Programové zpracování:"),
                  names("Label4").at(2040, 3360, 5655, 255).align(align::centre).text("Tužka, Štětec"),
                  role("Label3").at(960, 3360, 2535, 255).text("Návrh a zpracování grafiky:"),
                  names("Label2").at(3120, 2880, 3495, 255).align(align::centre).text("Štětec, Tužka"),
                  role("Label1").at(2280, 2880, 1455, 255).align(align::centre).text("Scénář:"),
              }};

    // "<< Jít zpět": the menu was only hidden, its music plays on.
    s.onClick("Label8", {hideScene(), showScene("Form2")});
    return s;
}

}  // namespace az
