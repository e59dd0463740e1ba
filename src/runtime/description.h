// Scene descriptions: the immutable design data of a scene, written as
// compiled-in tables in each scene's source file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace az {

enum class ControlKind {
    Label,
    Image,
    Frame,
    Shape,
    Line,
    CheckBox,
    OptionButton,
    ListBox,
    Timer,
    Movie,   // the movie player component
    Midi,    // the MIDI sequencer component
    AniGif,  // the animated GIF component
};

const char* kindName(ControlKind k);

// Windowed controls lie above labels, images, shapes and lines.
bool isWindowed(ControlKind k);

// Colours are &H00BBGGRR; &H800000nn names system colour nn.
using VbColor = uint32_t;
constexpr VbColor kSystemColor = 0x80000000u;
constexpr VbColor sysColor(unsigned n) { return kSystemColor | n; }

// Alignment of a label's text.
namespace align {
constexpr int left = 0, right = 1, centre = 2;
}

struct Font {
    std::string face = "MS Sans Serif";
    bool bold = false;
    bool operator==(const Font&) const = default;
};

// Design-time properties of one control. Twips throughout, as designed.
// Every kind uses the part of it that it has.
struct ControlDesc {
    std::string name;
    ControlKind kind = ControlKind::Label;
    int index = -1;           // element index in a control array, -1 for none
    std::string container;    // the Frame holding it; empty for the scene
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    bool enabled = true;

    std::string caption;
    int backStyle = -1;       // -1: the kind's default (label 1, shape 0)
    VbColor backColor = 0;
    bool hasBackColor = false;
    VbColor foreColor = 0;
    bool hasForeColor = false;
    int alignment = 0;
    Font font;

    int picture = 0;          // asset id, 0 for none
    bool stretch = false;
    std::string tag;
    int dragMode = 0;
    std::string toolTip;
    int mousePointer = 0;
    int mouseIcon = 0;        // asset id

    int shape = 0;            // 0 rectangle, 2 oval, 4 rounded rectangle
    VbColor borderColor = sysColor(8);
    int borderWidth = 1;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;

    int value = 0;            // check box 0/1; option button 0 or -1 (true)
    unsigned interval = 0;    // timer period in ms

    std::string movieBackground;  // movie player: "RRGGBB", empty for the movie's own

    bool operator==(const ControlDesc&) const = default;

    // Fluent setters so that descriptions read like the design tables.
    ControlDesc& at(int l, int t, int w, int h) { left = l; top = t; width = w; height = h; return *this; }
    ControlDesc& element(int i) { index = i; return *this; }
    ControlDesc& in(std::string frame) { container = std::move(frame); return *this; }
    ControlDesc& hidden() { visible = false; return *this; }
    ControlDesc& disabled() { enabled = false; return *this; }
    ControlDesc& text(std::string c) { caption = std::move(c); return *this; }
    ControlDesc& transparent() { backStyle = 0; return *this; }
    ControlDesc& opaque() { backStyle = 1; return *this; }
    ControlDesc& filled() { backStyle = 1; return *this; }
    ControlDesc& back(VbColor c) { backColor = c; hasBackColor = true; return *this; }
    ControlDesc& fore(VbColor c) { foreColor = c; hasForeColor = true; return *this; }
    ControlDesc& align(int a) { alignment = a; return *this; }
    ControlDesc& verdana(bool b = false) { font = {"Verdana", b}; return *this; }
    ControlDesc& sansBold() { font = {"MS Sans Serif", true}; return *this; }
    ControlDesc& pic(int asset) { picture = asset; return *this; }
    ControlDesc& stretched() { stretch = true; return *this; }
    ControlDesc& withTag(std::string t) { tag = std::move(t); return *this; }
    ControlDesc& draggable() { dragMode = 1; return *this; }
    ControlDesc& tip(std::string t) { toolTip = std::move(t); return *this; }
    ControlDesc& cursor(int asset) { mousePointer = 99; mouseIcon = asset; return *this; }
    ControlDesc& iconOnly(int asset) { mouseIcon = asset; return *this; }  // stored, no effect
    ControlDesc& figure(int s) { shape = s; return *this; }
    ControlDesc& border(VbColor c, int w = 1) { borderColor = c; borderWidth = w; return *this; }
    ControlDesc& ends(int ax1, int ay1, int ax2, int ay2) { x1 = ax1; y1 = ay1; x2 = ax2; y2 = ay2; return *this; }
    ControlDesc& val(int v) { value = v; return *this; }
    ControlDesc& movieBack(std::string rgb) { movieBackground = std::move(rgb); return *this; }

    // Resolved defaults of the kind.
    int effectiveBackStyle() const;
    VbColor effectiveBackColor() const;
    VbColor effectiveForeColor() const;
};

// One constructor per kind; the name is the design name.
ControlDesc label(std::string name);
ControlDesc image(std::string name);
ControlDesc frame(std::string name);
ControlDesc shapeCtl(std::string name);
ControlDesc line(std::string name);
ControlDesc checkBox(std::string name);
ControlDesc optionButton(std::string name);
ControlDesc listBox(std::string name);
ControlDesc timer(std::string name, unsigned intervalMs);
ControlDesc moviePlayer(std::string name);
ControlDesc midiControl(std::string name);
ControlDesc aniGif(std::string name);

enum class Border { FixedSingle, FixedToolWindow };

struct WindowDesc {
    std::string name;        // the form name
    std::string caption;
    int clientWidthTwips = 0, clientHeightTwips = 0;
    Border border = Border::FixedSingle;
    int picture = 0;         // background asset, 0 for none
    VbColor backColor = sysColor(15);
    int icon = 0;            // window icon asset, 0 for the system default
    bool taskbar = true;

    int widthPx() const { return clientWidthTwips / 15; }
    int heightPx() const { return clientHeightTwips / 15; }
};

struct SceneDesc {
    WindowDesc window;
    std::vector<ControlDesc> controls;  // design order: first listed on top
};

// The window table of the sixteen scenes, in the registry's order.
const std::vector<WindowDesc>& windowTable();
const WindowDesc& windowOf(const std::string& formName);

constexpr int twipsToPx(int twips) { return twips / 15; }

}  // namespace az
