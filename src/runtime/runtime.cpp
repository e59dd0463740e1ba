#include "runtime/runtime.h"

#include <algorithm>
#include <cstdio>

namespace az {

namespace {

// Thrown by End: unwinds every handler and nested load at once.
struct ProgramEnd {};

}  // namespace

const char* stateName(SceneState s) {
    switch (s) {
    case SceneState::Unloaded: return "unloaded";
    case SceneState::Hidden: return "hidden";
    case SceneState::Shown: return "shown";
    }
    return "?";
}

const char* eventName(EventKind e) {
    switch (e) {
    case EventKind::Load: return "Load";
    case EventKind::Unload: return "Unload";
    case EventKind::Click: return "Click";
    case EventKind::Timer: return "Timer";
    case EventKind::DragDrop: return "DragDrop";
    }
    return "?";
}

// ---------------------------------------------------------------- Scene

Control* Scene::find(std::string_view n, int index) const {
    for (const auto& c : controls)
        if (c->name() == n && c->index() == index) return c.get();
    return nullptr;
}

const Control* Scene::frameOf(const Control& c) const {
    if (c.frameOrder < 0) return nullptr;
    return controls[static_cast<size_t>(c.frameOrder)].get();
}

Rect Scene::clientRect(const Control& c) const {
    Rect r = c.rectInContainer();
    if (const Control* f = frameOf(c)) {
        Rect fr = f->rectInContainer();
        r.x += fr.x;
        r.y += fr.y;
    }
    return r;
}

// -------------------------------------------------------------- Runtime

Runtime::Runtime(std::vector<SceneDef> defs, WindowSystem& ws, Clock& clock)
    : defs_(std::move(defs)), ws_(ws), clock_(clock) {
    auto problems = validate(defs_);
    if (!problems.empty()) {
        std::string msg = "the scene descriptions do not match their handlers:";
        for (const auto& p : problems) msg += "\n  " + p;
        throw std::logic_error(msg);
    }
    for (const auto& d : defs_) {
        auto s = std::make_unique<Scene>();
        s->def = &d;
        scenes_.push_back(std::move(s));
        for (const auto& h : d.handlers)
            handlers_[{d.desc.window.name, h.control, h.event}] = &h.fn;
    }
}

Runtime::~Runtime() = default;

std::string Runtime::programPath(std::string_view file) const {
    // The separator is added even when the folder already ends in one.
    return folder_ + "/" + std::string(file);
}

SceneRef Runtime::scene(std::string_view name) { return SceneRef(*this, std::string(name)); }

void Runtime::end() { throw ProgramEnd{}; }

const Scene* Runtime::find(std::string_view name) const {
    for (const auto& s : scenes_)
        if (s->name() == name) return s.get();
    return nullptr;
}

SceneState Runtime::state(std::string_view name) const {
    const Scene* s = find(name);
    if (!s) throw RuntimeError("no scene named " + std::string(name));
    return s->state;
}

bool Runtime::hasHandler(const std::string& scene, const std::string& control,
                         EventKind ev) const {
    return handlers_.count({scene, control, ev}) > 0;
}

Scene& Runtime::slot(std::string_view name) {
    for (auto& s : scenes_)
        if (s->name() == name) return *s;
    throw RuntimeError("no scene named " + std::string(name));
}

void Runtime::start(std::string_view first) {
    dispatch([&] { show(first); });
}

void Runtime::dispatch(const std::function<void()>& f) {
    if (ended_) return;
    ++depth_;
    try {
        f();
    } catch (const ProgramEnd&) {
        --depth_;
        finish(0);
        return;
    } catch (const std::exception& e) {
        --depth_;
        error_ = e.what();
        std::fprintf(stderr, "agent-zaza: run-time error: %s\n", e.what());
        ws_.fatalError(std::string("Run-time error: ") + e.what());
        finish(1);
        return;
    }
    --depth_;
    if (depth_ == 0) endCheck();
}

void Runtime::endCheck() {
    if (ended_) return;
    // The program ends when no scene is loaded any more, and also when the
    // scenes still loaded are all hidden: no process without a window.
    for (const auto& s : scenes_)
        if (s->state == SceneState::Shown) return;
    finish(0);
}

void Runtime::finish(int code) {
    if (ended_) return;
    ended_ = true;
    exitCode_ = code;
    drag_.reset();
    press_.reset();
    // The process ends: windows and components go without Unload handlers.
    for (auto& s : scenes_)
        if (s->isLoaded()) destroy(*s);
}

// ----------------------------------------------------------- lifecycle

Scene& Runtime::ensureLoaded(std::string_view name) {
    if (ended_) throw ProgramEnd{};
    Scene& s = slot(name);
    if (!s.isLoaded()) load(s);  // a scene that is loading is reached as it is
    return s;
}

void Runtime::load(Scene& s) {
    const SceneDesc& d = s.def->desc;
    s.state = SceneState::Hidden;
    s.loading = true;
    const uint64_t gen = ++s.generation;
    s.window = ws_.createWindow(s.name(), d.window);

    s.controls.clear();
    s.controls.reserve(d.controls.size());
    for (size_t i = 0; i < d.controls.size(); ++i) {
        auto c = std::make_unique<Control>(d.controls[i]);
        c->order = i;
        s.controls.push_back(std::move(c));
    }
    for (auto& c : s.controls) {
        if (!c->p.container.empty())
            for (const auto& f : s.controls)
                if (f->kind() == ControlKind::Frame && f->name() == c->p.container)
                    c->frameOrder = static_cast<int>(f->order);
        if (c->kind() == ControlKind::Timer && c->p.enabled) {
            c->nextDue = clock_.now() + c->p.interval;
            c->startSeq = ++timerStarts_;
        }
        if ((c->kind() == ControlKind::Movie || c->kind() == ControlKind::Midi ||
             c->kind() == ControlKind::AniGif) && factory_)
            c->component = factory_(s.name(), *c);
    }

    raise(s, "", EventKind::Load, Event{});
    if (s.generation == gen && s.isLoaded()) s.loading = false;
}

void Runtime::show(std::string_view name) {
    Scene& s = ensureLoaded(name);
    if (!s.isLoaded()) return;
    s.state = SceneState::Shown;
    ws_.showWindow(s.window);
}

void Runtime::hide(std::string_view name) {
    Scene& s = ensureLoaded(name);
    if (!s.isLoaded()) return;
    s.state = SceneState::Hidden;
    ws_.hideWindow(s.window);
    if (press_ && press_->scene == s.name()) press_.reset();
}

void Runtime::unload(std::string_view name) {
    Scene& s = slot(name);
    if (!s.isLoaded() || s.unloading) return;
    s.unloading = true;
    try {
        raise(s, "", EventKind::Unload, Event{});
    } catch (...) {
        s.unloading = false;
        throw;
    }
    s.unloading = false;
    destroy(s);
}

void Runtime::destroy(Scene& s) {
    if (drag_ && drag_->scene == s.name()) drag_.reset();  // ends without a drop
    if (press_ && press_->scene == s.name()) press_.reset();
    s.controls.clear();  // timers with their pending ticks, components, controls
    ws_.destroyWindow(s.window);
    s.window = 0;
    s.state = SceneState::Unloaded;
    s.loading = false;
}

void Runtime::raise(Scene& s, const std::string& control, EventKind ev, const Event& e) {
    auto it = handlers_.find({s.name(), control, ev});
    if (it == handlers_.end()) return;
    (*it->second)(*this, e);
}

void Runtime::changed(const Scene& s) {
    if (s.isLoaded()) ws_.invalidate(s.window);
}

void Runtime::closeBox(std::string_view scene) {
    dispatch([&] { unload(scene); });
}

// --------------------------------------------------------------- timers

void Runtime::setTimerEnabled(Control& t, bool on) {
    if (on == t.p.enabled) return;  // starting a running timer changes nothing
    t.p.enabled = on;
    if (on) {
        t.nextDue = clock_.now() + t.p.interval;
        t.startSeq = ++timerStarts_;
    }
}

namespace {
struct DueTick {
    Scene* scene;
    Control* timer;
};
}  // namespace

static std::optional<DueTick> earliest(const std::vector<std::unique_ptr<Scene>>& scenes) {
    std::optional<DueTick> best;
    for (const auto& s : scenes) {
        if (!s->isLoaded()) continue;
        for (const auto& c : s->controls) {
            if (c->kind() != ControlKind::Timer || !c->p.enabled || c->p.interval == 0) continue;
            // Ticks due at the same game time come in the order their timers
            // were started: in real time the one started later falls due a
            // moment later.
            if (!best || c->nextDue < best->timer->nextDue ||
                (c->nextDue == best->timer->nextDue && c->startSeq < best->timer->startSeq))
                best = DueTick{s.get(), c.get()};
        }
    }
    return best;
}

std::optional<int64_t> Runtime::nextDue() const {
    if (ended_) return std::nullopt;
    auto d = earliest(scenes_);
    if (!d) return std::nullopt;
    return d->timer->nextDue;
}

void Runtime::deliverDueTicks() {
    while (!ended_) {
        const int64_t now = clock_.now();
        auto d = earliest(scenes_);
        if (!d || d->timer->nextDue > now) return;
        Control& t = *d->timer;
        const int64_t due = t.nextDue;
        const int64_t iv = t.p.interval;
        // Drift-free: the next tick is one period after this one was due.
        // Periods missed while the game was busy collapse into this one tick.
        t.nextDue = due + iv;
        if (t.nextDue <= now) t.nextDue = due + iv * ((now - due) / iv + 1);
        std::string scene = d->scene->name();
        std::string name = t.name();
        dispatch([&] { raise(slot(scene), name, EventKind::Timer, Event{}); });
    }
}

void Runtime::advanceTo(ManualClock& clock, int64_t t) {
    while (!ended_) {
        auto due = nextDue();
        if (!due || *due > t) break;
        if (*due > clock.now()) clock.set(*due);
        deliverDueTicks();
    }
    if (clock.now() < t) clock.set(t);
}

// ------------------------------------------------------------- hit test

Control* Runtime::hitTest(const Scene& s, int x, int y) const {
    auto takesPart = [&](const Control& c) {
        if (!c.p.visible || !c.p.enabled) return false;
        switch (c.kind()) {
        case ControlKind::Shape:
        case ControlKind::Line:
        case ControlKind::Timer:
        case ControlKind::Midi:
            return false;
        default:
            break;
        }
        if (const Control* f = s.frameOf(c))
            if (!f->p.visible || !f->p.enabled) return false;
        return true;
    };
    // Windowed controls first, first listed wins.
    for (const auto& c : s.controls) {
        if (c->frameOrder >= 0 || !isWindowed(c->kind()) || !takesPart(*c)) continue;
        if (!s.clientRect(*c).contains(x, y)) continue;
        if (c->kind() == ControlKind::Frame) {
            for (const auto& item : s.controls)
                if (item->frameOrder == static_cast<int>(c->order) && takesPart(*item) &&
                    s.clientRect(*item).contains(x, y))
                    return item.get();
        }
        return c.get();
    }
    // Then labels and images, anywhere in their rectangles.
    for (const auto& c : s.controls) {
        if (c->frameOrder >= 0 || !takesPart(*c)) continue;
        if (c->kind() != ControlKind::Label && c->kind() != ControlKind::Image) continue;
        if (s.clientRect(*c).contains(x, y)) return c.get();
    }
    return nullptr;
}

int Runtime::cursorAt(std::string_view scene, int x, int y) const {
    if (drag_) return 0;
    const Scene* s = find(scene);
    if (!s || s->state != SceneState::Shown) return 0;
    const Control* c = hitTest(*s, x, y);
    if (!c || c->p.mousePointer != 99 || c->kind() == ControlKind::Frame) return 0;
    return c->p.mouseIcon;
}

std::string Runtime::toolTipAt(std::string_view scene, int x, int y) const {
    if (drag_) return {};
    const Scene* s = find(scene);
    if (!s || s->state != SceneState::Shown) return {};
    const Control* c = hitTest(*s, x, y);
    return c ? c->p.toolTip : std::string();
}

// ------------------------------------------------------ clicks and drag

void Runtime::mouseDown(std::string_view scene, int x, int y) {
    dispatch([&] {
        press_.reset();
        drag_.reset();
        const Scene* s = find(scene);
        if (!s || s->state != SceneState::Shown) return;
        Control* c = hitTest(*s, x, y);
        if (c && c->p.dragMode == 1) {
            Rect r = s->clientRect(*c);
            drag_ = Drag{s->name(), s->generation, c->order, x - r.x, y - r.y,
                         s->name(), x, y, r.w, r.h};
            return;
        }
        press_ = Press{s->name(), s->generation, c ? std::optional<size_t>(c->order) : std::nullopt};
    });
}

void Runtime::mouseMove(std::string_view sceneUnderPointer, int x, int y) {
    if (!drag_) return;
    drag_->pointerScene = std::string(sceneUnderPointer);
    drag_->pointerX = x;
    drag_->pointerY = y;
}

void Runtime::mouseUp(std::string_view sceneUnderPointer, int x, int y) {
    dispatch([&] {
        if (drag_) {
            Drag d = *drag_;
            drag_.reset();
            Scene& src = slot(d.scene);
            if (!src.isLoaded() || src.generation != d.generation) return;
            const Scene* target = find(sceneUnderPointer);
            if (!target || target->state != SceneState::Shown) return;
            Control* winner = hitTest(*target, x, y);
            Control* source = src.controls[d.order].get();
            if (!winner || winner == source) return;
            ControlRef sourceRef(*this, src.name(), source->name(), source->index());
            raise(slot(target->name()), winner->name(), EventKind::DragDrop,
                  Event{winner->index(), &sourceRef});
            return;
        }
        if (!press_) return;
        Press p = *press_;
        press_.reset();
        if (p.scene != sceneUnderPointer || !p.order) return;
        Scene& s = slot(p.scene);
        if (s.state != SceneState::Shown || s.generation != p.generation) return;
        Control* c = hitTest(s, x, y);
        if (!c || c->order != *p.order) return;
        click(s, *c, x, y);
    });
}

void Runtime::click(Scene& s, Control& c, int x, int y) {
    switch (c.kind()) {
    case ControlKind::CheckBox:
        c.p.value = c.p.value == 1 ? 0 : 1;
        changed(s);
        return;
    case ControlKind::OptionButton:
        for (auto& o : s.controls)
            if (o->kind() == ControlKind::OptionButton && o->p.container == c.p.container)
                o->p.value = 0;
        c.p.value = -1;
        changed(s);
        return;
    case ControlKind::ListBox: {
        Rect r = s.clientRect(c);
        const int row = (y - r.y - 2) / kListItemHeight + c.topIndex;
        if (y - r.y < 2 || row < 0 || row >= static_cast<int>(c.items.size())) return;
        (void)x;
        c.listIndex = row;
        changed(s);
        raise(s, c.name(), EventKind::Click, Event{c.index(), nullptr});
        return;
    }
    case ControlKind::Label:
    case ControlKind::Image:
        raise(s, c.name(), EventKind::Click, Event{c.index(), nullptr});
        return;
    default:
        return;  // frames and components swallow the click
    }
}

// ------------------------------------------------------------ SceneRef

ControlRef SceneRef::control(std::string_view name, int index) const {
    return ControlRef(*rt_, name_, std::string(name), index);
}

bool SceneRef::visible() const { return rt_->ensureLoaded(name_).state == SceneState::Shown; }

void SceneRef::setVisible(bool v) const {
    if (v)
        rt_->show(name_);
    else
        rt_->hide(name_);
}

// ---------------------------------------------------------- ControlRef

Control& ControlRef::resolve() const {
    Scene& s = rt_->ensureLoaded(scene_);
    Control* c = s.find(name_, index_);
    if (!c) {
        std::string n = scene_ + "." + name_;
        if (index_ >= 0) n += "(" + std::to_string(index_) + ")";
        throw RuntimeError("control not found: " + n);
    }
    return *c;
}

template <class F>
void ControlRef::write(F&& f) const {
    Control& c = resolve();
    const ControlDesc before = c.p;
    const size_t items = c.items.size();
    f(c);
    // Writing what a control already shows changes nothing on screen; a
    // timer shows nothing at all.
    if (c.kind() == ControlKind::Timer || (c.p == before && c.items.size() == items)) return;
    rt_->changed(rt_->ensureLoaded(scene_));
}

bool ControlRef::visible() const { return resolve().p.visible; }
void ControlRef::setVisible(bool v) const {
    write([&](Control& c) { c.p.visible = v; });
}
bool ControlRef::enabled() const { return resolve().p.enabled; }
void ControlRef::setEnabled(bool v) const {
    write([&](Control& c) {
        if (c.kind() == ControlKind::Timer)
            rt_->setTimerEnabled(c, v);
        else
            c.p.enabled = v;
    });
}
std::string ControlRef::caption() const { return resolve().p.caption; }
void ControlRef::setCaption(std::string text) const {
    write([&](Control& c) { c.p.caption = std::move(text); });
}
void ControlRef::setForeColor(VbColor color) const {
    write([&](Control& c) {
        c.p.foreColor = color;
        c.p.hasForeColor = true;
    });
}
void ControlRef::setAlignment(int a) const {
    write([&](Control& c) { c.p.alignment = a; });
}
std::string ControlRef::tag() const { return resolve().p.tag; }
int ControlRef::value() const { return resolve().p.value; }
int ControlRef::listIndex() const { return resolve().listIndex; }
void ControlRef::addItem(std::string item) const {
    write([&](Control& c) {
        if (c.kind() != ControlKind::ListBox) throw RuntimeError("AddItem on " + c.displayName());
        c.items.push_back(std::move(item));
    });
}
void ControlRef::set(std::string_view property, const Value& v) const {
    Control& c = resolve();
    if (c.component) c.component->setProperty(property, v);
}
void ControlRef::call(std::string_view method) const {
    Control& c = resolve();
    if (c.component) c.component->call(method);
}

}  // namespace az
