// The scene runtime: one Scene per form name, their lifecycle, the handler
// table, timers, hit test, clicks and drag-and-drop. One thread, no SDL.
//
// Who holds what, and for how long:
// - The Runtime owns every Scene for the whole run; a Scene owns its
//   Controls, and a Control its media Component, from the scene's load to
//   its unload. Nothing else creates or destroys them.
// - Handlers reach scenes and controls by name only (SceneRef, ControlRef,
//   steps); they never hold a Scene or a Control.
// - The window system, the painter, the media system, the scenario driver
//   and the tests get const Scene and const Control pointers from find()
//   and hitTest(). Such a pointer is good until the next event is
//   dispatched: any handler may unload the scene and free its controls.
//   They read through it; what they change goes through the Runtime's
//   entry points (input, changed(), showEntry()).
// - Pictures come from the PictureSource, which owns them for its own
//   lifetime; a surface it hands out is borrowed for the one paint.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "runtime/clock.h"
#include "runtime/control.h"
#include "runtime/description.h"
#include "runtime/picture.h"
#include "runtime/steps.h"
#include "runtime/window_system.h"

namespace az {

class Runtime;
class ControlRef;
class SceneRef;

enum class SceneState { Unloaded, Hidden, Shown };
const char* stateName(SceneState s);

enum class EventKind { Load, Unload, Click, Timer, DragDrop };
const char* eventName(EventKind e);

// The keys that standard controls answer to.
enum class Key { Space, Tab, ShiftTab, Up, Down, Left, Right, Home, End, PageUp, PageDown };
// The key named as scripts name it ("space", "shift+tab", "pageup"), or nullopt.
std::optional<Key> keyNamed(std::string_view name);

struct Event {
    int index = -1;                      // element index of a control array
    const ControlRef* source = nullptr;  // the dragged control of a DragDrop
};

// A handler written as code gets the runtime, its own scene and the event.
// The game's scenes write theirs as steps instead (runtime/steps.h).
using Handler = std::function<void(Runtime&, const SceneRef& me, const Event&)>;

struct HandlerBinding {
    std::string control;  // empty for the scene's own Load and Unload
    EventKind event;
    Handler fn;           // either code ...
    Steps steps;          // ... or steps, checked against the descriptions
};

// A scene as the game is written: its description and its handlers.
struct SceneDef {
    SceneDesc desc;
    std::vector<HandlerBinding> handlers;

    SceneDef& on(std::string control, EventKind ev, Handler fn) {
        handlers.push_back({std::move(control), ev, std::move(fn), {}});
        return *this;
    }
    SceneDef& on(std::string control, EventKind ev, Steps steps) {
        handlers.push_back({std::move(control), ev, nullptr, std::move(steps)});
        return *this;
    }
    SceneDef& onLoad(Handler fn) { return on("", EventKind::Load, std::move(fn)); }
    SceneDef& onUnload(Handler fn) { return on("", EventKind::Unload, std::move(fn)); }
    SceneDef& onLoad(Steps steps) { return on("", EventKind::Load, std::move(steps)); }
    SceneDef& onUnload(Steps steps) { return on("", EventKind::Unload, std::move(steps)); }
    SceneDef& onClick(std::string control, Steps steps) { return on(std::move(control), EventKind::Click, std::move(steps)); }
    SceneDef& onTimer(std::string timer, Steps steps) { return on(std::move(timer), EventKind::Timer, std::move(steps)); }
    SceneDef& onDrop(std::string image, Steps steps) { return on(std::move(image), EventKind::DragDrop, std::move(steps)); }
};

// A failing operation on a scene or control: fatal for the program.
struct RuntimeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Makes the media component of a control when its scene loads.
using ComponentFactory =
    std::function<std::unique_ptr<Component>(const std::string& scene, const Control& c)>;

// The run-time state of one form name. Outside the Runtime a Scene is only
// ever seen const.
class Scene {
public:
    const SceneDef* def = nullptr;
    SceneState state = SceneState::Unloaded;
    bool loading = false;
    bool unloading = false;
    uint64_t generation = 0;  // counts loads; tells a rebuilt scene from the old one
    WindowId window = 0;
    std::vector<std::unique_ptr<Control>> controls;  // description order
    int focus = -1;  // the order of the control with the keyboard focus, -1 for none

    const std::string& name() const { return def->desc.window.name; }
    const WindowDesc& windowDesc() const { return def->desc.window; }
    bool isLoaded() const { return state != SceneState::Unloaded; }
    const Control* find(std::string_view name, int index = -1) const;
    Control* find(std::string_view name, int index = -1);
    // The control's rectangle in client pixels (frames' items included).
    Rect clientRect(const Control& c) const;
    const Control* frameOf(const Control& c) const;
    // A standard control that can take the keyboard focus now: a check box,
    // option button or list box, visible and enabled, in a visible frame.
    bool canFocus(const Control& c) const;
    // The control with the keyboard focus, or null.
    const Control* focused() const;
};

// Checks every handler binding, container and asset id against the
// descriptions. Returns the problems found, empty when all is well.
std::vector<std::string> validate(const std::vector<SceneDef>& defs);

class Runtime {
public:
    Runtime(std::vector<SceneDef> defs, WindowSystem& ws, Clock& clock);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    void setComponentFactory(ComponentFactory f) { factory_ = std::move(f); }
    void setProgramFolder(std::string folder) { folder_ = std::move(folder); }
    void setPictures(PictureSource* p) { pictures_ = p; }
    PictureSource* pictures() const { return pictures_; }
    // The display scale the scenes are painted at (windows, screenshots).
    // Geometry, input and hit test stay in logical pixels whatever it is.
    void setScale(double s) { scale_ = s; }
    double scale() const { return scale_; }
    // The program folder with the separator and a file name appended.
    std::string programPath(std::string_view file) const;

    // --- what handlers use ---------------------------------------------
    SceneRef scene(std::string_view name);
    // Ends the program at once: no Unload handler runs, nothing more is delivered.
    [[noreturn]] void end();

    // --- the program ------------------------------------------------------
    void start(std::string_view first = "Form1");
    bool ended() const { return ended_; }
    int exitCode() const { return exitCode_; }
    const std::string& error() const { return error_; }  // the fatal error, if any
    Clock& clock() { return clock_; }
    WindowSystem& windowSystem() { return ws_; }

    // Observation without loading anything (scripts, tests, painter).
    const Scene* find(std::string_view name) const;
    SceneState state(std::string_view name) const;
    std::vector<const Scene*> scenes() const;
    bool hasHandler(const std::string& scene, const std::string& control, EventKind ev) const;

    // --- input from the window system ---------------------------------
    // Coordinates are client pixels of the scene's window.
    void mouseDown(std::string_view scene, int x, int y);
    // The release: the scene under the pointer (empty when outside every
    // window of the game) and the point in its client area.
    void mouseUp(std::string_view sceneUnderPointer, int x, int y);
    void mouseMove(std::string_view sceneUnderPointer, int x, int y);
    void closeBox(std::string_view scene);
    // The wheel turned over a point of the scene: NOTCHES, positive towards
    // the player (the list scrolls down).
    void mouseWheel(std::string_view scene, int x, int y, int notches);
    // A key pressed while the scene's window is active.
    void keyDown(std::string_view scene, Key k);

    // --- timers ------------------------------------------------------------
    std::optional<int64_t> nextDue() const;
    // Delivers every tick due at the clock's present time, in order.
    void deliverDueTicks();
    // Manual clock only: steps game time to t, delivering each tick at its time.
    void advanceTo(ManualClock& clock, int64_t t);

    // --- hit test, cursors, drag ---------------------------------------
    const Control* hitTest(const Scene& s, int x, int y) const;
    // The cursor asset at a point of a shown scene, 0 for the default arrow.
    int cursorAt(std::string_view scene, int x, int y) const;
    // The tooltip of the control at a point of a shown scene, empty for none.
    std::string toolTipAt(std::string_view scene, int x, int y) const;
    struct Drag {
        std::string scene;
        uint64_t generation = 0;
        size_t order = 0;
        int offsetX = 0, offsetY = 0;
        std::string pointerScene;  // where the pointer is now
        int pointerX = 0, pointerY = 0;
        int w = 0, h = 0;
    };
    const std::optional<Drag>& drag() const { return drag_; }

    // A list box scrolls so that one of its entries is in view, as the
    // player scrolls it before clicking the entry.
    void showEntry(const Scene& s, const Control& list, int entry);
    // Something on the scene changed on screen by itself (a component's
    // frame): its window is painted again.
    void changed(const Scene& s);

    // Loads a scene hidden outside the event loop, without the end check:
    // for drawing a scene as its load leaves it (the gallery).
    const Scene& loadHidden(std::string_view name);

    // Runs one event from outside (input, tick, start) with the fatal-error
    // handling and the program end check after it.
    void dispatch(const std::function<void()>& f);

private:
    friend class SceneRef;
    friend class ControlRef;
    Scene& ensureLoaded(std::string_view name);
    void show(std::string_view name);
    void hide(std::string_view name);
    void unload(std::string_view name);
    void setTimerEnabled(Control& t, bool on);
    Control* hitTest(Scene& s, int x, int y);

    Scene& slot(std::string_view name);
    void load(Scene& s);
    void destroy(Scene& s);
    void raise(Scene& s, const std::string& control, EventKind ev, const Event& e);
    void run(const Steps& steps, const SceneRef& me, const Event& e);
    bool holds(const Test& t, const SceneRef& me, const Event& e);
    void click(Scene& s, Control& c, int x, int y);
    void pressList(Scene& s, Control& list, int x, int y);
    void dragThumb(Scene& s, Control& list, int y);
    void chooseOption(Scene& s, Control& option);
    void moveListSelection(Scene& s, Control& list, int row);
    void setFocus(Scene& s, const Control* c);
    void finish(int code);
    void endCheck();

    std::vector<SceneDef> defs_;
    std::vector<std::unique_ptr<Scene>> scenes_;
    std::map<std::tuple<std::string, std::string, EventKind>, const HandlerBinding*> handlers_;
    WindowSystem& ws_;
    Clock& clock_;
    ComponentFactory factory_;
    std::string folder_;
    PictureSource* pictures_ = nullptr;
    double scale_ = 1.0;
    bool ended_ = false;
    int exitCode_ = 0;
    std::string error_;
    int depth_ = 0;  // nesting of dispatch
    uint64_t timerStarts_ = 0;  // counts timer starts, to order ticks due together

    struct Press {
        std::string scene;
        uint64_t generation = 0;
        std::optional<size_t> order;  // the control pressed, none for the background
        bool onScrollBar = false;      // a list box's scroll bar: no selection, no Click
        std::optional<int> thumbGrab;  // the thumb held, this far below its top edge
    };
    std::optional<Press> press_;
    std::optional<Drag> drag_;
};

// A scene as handlers reach it: every access gets or loads it.
class SceneRef {
public:
    SceneRef(Runtime& rt, std::string name) : rt_(&rt), name_(std::move(name)) {}
    ControlRef control(std::string_view name, int index = -1) const;
    void show() const { rt_->show(name_); }
    void unload() const { rt_->unload(name_); }
    bool visible() const;
    void setVisible(bool v) const;
    const std::string& name() const { return name_; }

private:
    Runtime* rt_;
    std::string name_;
};

// A control as handlers reach it, by scene name, control name and index.
class ControlRef {
public:
    ControlRef(Runtime& rt, std::string scene, std::string name, int index = -1)
        : rt_(&rt), scene_(std::move(scene)), name_(std::move(name)), index_(index) {}

    bool visible() const;
    void setVisible(bool v) const;
    bool enabled() const;
    void setEnabled(bool v) const;  // on a timer: starts or stops it
    std::string caption() const;
    void setCaption(std::string c) const;
    void setForeColor(VbColor c) const;
    void setAlignment(int a) const;
    std::string tag() const;
    int value() const;  // check box 0/1, option button -1 (true) or 0
    int listIndex() const;
    void addItem(std::string item) const;
    // Media components: a property write and a method call.
    void set(std::string_view property, const Value& v) const;
    void set(std::string_view property, const char* text) const { set(property, Value(std::string(text))); }
    void set(std::string_view property, const std::string& text) const { set(property, Value(text)); }
    void set(std::string_view property, bool b) const { set(property, Value(b)); }
    void call(std::string_view method) const;

    const std::string& sceneName() const { return scene_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; }

private:
    Control& resolve() const;
    template <class F>
    void write(F&& f) const;

    Runtime* rt_;
    std::string scene_, name_;
    int index_;
};

}  // namespace az
