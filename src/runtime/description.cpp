#include "runtime/description.h"

#include <stdexcept>

namespace az {

const char* kindName(ControlKind k) {
    switch (k) {
    case ControlKind::Label: return "Label";
    case ControlKind::Image: return "Image";
    case ControlKind::Frame: return "Frame";
    case ControlKind::Shape: return "Shape";
    case ControlKind::Line: return "Line";
    case ControlKind::CheckBox: return "CheckBox";
    case ControlKind::OptionButton: return "OptionButton";
    case ControlKind::ListBox: return "ListBox";
    case ControlKind::Timer: return "Timer";
    case ControlKind::Movie: return "MoviePlayer";
    case ControlKind::Midi: return "MidiControl";
    case ControlKind::AniGif: return "AniGif";
    }
    return "?";
}

bool isWindowed(ControlKind k) {
    switch (k) {
    case ControlKind::Frame:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::ListBox:
    case ControlKind::Movie:
    case ControlKind::Midi:
    case ControlKind::AniGif:
        return true;
    default:
        return false;
    }
}

int ControlDesc::effectiveBackStyle() const {
    if (backStyle >= 0) return backStyle;
    return kind == ControlKind::Shape ? 0 : 1;
}

VbColor ControlDesc::effectiveBackColor() const {
    if (hasBackColor) return backColor;
    switch (kind) {
    case ControlKind::Shape:
    case ControlKind::ListBox:
        return sysColor(5);
    default:
        return sysColor(15);
    }
}

VbColor ControlDesc::effectiveForeColor() const {
    if (hasForeColor) return foreColor;
    return kind == ControlKind::ListBox ? sysColor(8) : sysColor(18);
}

static ControlDesc make(std::string name, ControlKind kind) {
    ControlDesc d;
    d.name = std::move(name);
    d.kind = kind;
    return d;
}

ControlDesc label(std::string name) { return make(std::move(name), ControlKind::Label); }
ControlDesc image(std::string name) { return make(std::move(name), ControlKind::Image); }
ControlDesc frame(std::string name) { return make(std::move(name), ControlKind::Frame); }
ControlDesc shapeCtl(std::string name) { return make(std::move(name), ControlKind::Shape); }
ControlDesc line(std::string name) { return make(std::move(name), ControlKind::Line); }
ControlDesc checkBox(std::string name) { return make(std::move(name), ControlKind::CheckBox); }
ControlDesc optionButton(std::string name) { return make(std::move(name), ControlKind::OptionButton); }
ControlDesc listBox(std::string name) { return make(std::move(name), ControlKind::ListBox); }
ControlDesc timer(std::string name, unsigned intervalMs) {
    ControlDesc d = make(std::move(name), ControlKind::Timer);
    d.interval = intervalMs;
    return d;
}
ControlDesc moviePlayer(std::string name) { return make(std::move(name), ControlKind::Movie); }
ControlDesc midiControl(std::string name) {
    ControlDesc d = make(std::move(name), ControlKind::Midi);
    d.visible = false;  // no on-screen presence
    return d;
}
ControlDesc aniGif(std::string name) { return make(std::move(name), ControlKind::AniGif); }

const std::vector<WindowDesc>& windowTable() {
    using B = Border;
    const VbColor face = sysColor(15);
    static const std::vector<WindowDesc> table = {
        {"Form1", "Intro", 5610, 5895, B::FixedSingle, 1, sysColor(7), 0, true},
        {"Form2", "Menu", 5730, 6360, B::FixedSingle, 1, 0x00000000, 42, true},
        {"Form3", "Opustit hru ??", 3765, 1785, B::FixedToolWindow, 1, 0x00663300, 0, false},
        {"Form4", "Stvořitelé", 9915, 8220, B::FixedSingle, 1, 0x00000000, 0, true},
        {"Form5", "V kanclu", 9915, 8595, B::FixedSingle, 0, 0x00000000, 0, true},
        {"Form6", "Před domem", 9885, 8490, B::FixedSingle, 6, face, 0, true},
        {"Form7", "Mapa městečka", 10770, 8910, B::FixedSingle, 1, 0x00000000, 0, true},
        {"Form8", "Tržnice", 9915, 8580, B::FixedSingle, 7, face, 0, true},
        {"Form9", "Obchodník", 9855, 8535, B::FixedSingle, 8, face, 0, true},
        {"Options", "Options", 9690, 7170, B::FixedSingle, 1, 0x00000000, 0, true},
        {"Form10", "Před továrnou", 9900, 8490, B::FixedSingle, 2, face, 0, true},
        {"Form11", "Ve městě", 9870, 8505, B::FixedSingle, 3, face, 0, true},
        {"Form12", "U ufounů", 9870, 8505, B::FixedSingle, 4, face, 0, true},
        {"late", "O několik hodin později ...", 9405, 7365, B::FixedSingle, 0, 0x00663300, 0, true},
        {"kancl2", "V kanclu", 9945, 7770, B::FixedSingle, 0, 0x00000000, 0, true},
        {"theend", "The end", 10050, 7590, B::FixedSingle, 0, 0x00663300, 0, true},
    };
    return table;
}

const WindowDesc& windowOf(const std::string& formName) {
    for (const auto& w : windowTable())
        if (w.name == formName) return w;
    throw std::invalid_argument("no scene named " + formName);
}

}  // namespace az
