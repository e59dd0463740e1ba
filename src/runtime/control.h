// Run-time state of one control: its design values, changed by handlers.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "runtime/description.h"

namespace az {

// A property value as handlers and scripts see it.
using Value = std::variant<bool, int64_t, std::string>;
std::string formatValue(const Value& v);

// Height of one list box entry in pixels.
constexpr int kListItemHeight = 13;

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// Width of a list box's vertical scroll bar and height of its arrows.
constexpr int kScrollBarWidth = 16;

// Where the parts of a list box lie, in the same pixels as its rectangle:
// the rows and, when the items do not fit, a standard vertical scroll bar.
struct ListLayout {
    Rect rows;              // the area inside the border that the rows use
    int fullRows = 1;       // rows that fit entirely
    int maxTop = 0;         // the highest first visible row
    bool scrollBar = false;
    Rect up, down, track;   // the arrows and the track between them
    Rect thumb;             // empty when the track is too short to hold one
};
class Control;
ListLayout listLayout(const Control& list, const Rect& r);

// A media component living inside a control (movie, MIDI, GIF). The runtime
// creates one when its scene loads and destroys it when the scene unloads.
class Component {
public:
    virtual ~Component() = default;
    virtual void setProperty(std::string_view name, const Value& v) = 0;
    virtual void call(std::string_view method) = 0;
    // Read a property for scripts and tests; nullopt when unknown.
    virtual std::optional<Value> property(std::string_view name) const = 0;
    // Draws the component into its rectangle (client pixels), clipped to it.
    virtual void paint(cairo_t*, const Rect&) {}
    // True while it changes on screen by itself (a movie or a banner
    // playing): its window is then repainted every frame.
    virtual bool animating() const { return false; }
};

// A control's name as messages show it: Name, or Name(i) for an element of
// a control array.
std::string controlName(std::string_view name, int index);

class Control {
public:
    explicit Control(const ControlDesc& d) : desc(&d), p(d) {}

    const ControlDesc* desc;   // the design entry
    // The properties as they are now: a copy of the design entry at load,
    // changed by handlers (through ControlRef) and by the player's clicks.
    ControlDesc p;
    size_t order = 0;          // place in the description
    int frameOrder = -1;       // the order of its Frame, -1 when on the scene

    // List box
    std::vector<std::string> items;
    int listIndex = -1;
    int topIndex = 0;
    // The row the keyboard moves from: the selection, else the first row.
    int caretIndex() const { return listIndex >= 0 ? listIndex : 0; }
    // Scrolls so that the row is entirely in view; true when it moved.
    bool scrollIntoView(int row, const Rect& r);
    // Scrolls to the given first row, kept within range; true when it moved.
    bool scrollTo(int top, const Rect& r);

    int64_t nextDue = 0;  // timer: game time of the next tick while enabled
    uint64_t startSeq = 0;  // timer: when it was started, in start order
    std::unique_ptr<Component> component;

    ControlKind kind() const { return p.kind; }
    const std::string& name() const { return p.name; }
    int index() const { return p.index; }
    bool isArrayElement() const { return p.index >= 0; }
    std::string displayName() const;  // Name or Name(i)

    // Rectangle in client pixels of its container.
    Rect rectInContainer() const {
        return {twipsToPx(p.left), twipsToPx(p.top), twipsToPx(p.width), twipsToPx(p.height)};
    }

    // Generic read by property name, as scripts use it.
    std::optional<Value> property(std::string_view name) const;
};

}  // namespace az
