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

std::optional<Key> keyNamed(std::string_view n) {
    static const std::pair<const char*, Key> names[] = {
        {"space", Key::Space}, {"tab", Key::Tab},     {"shift+tab", Key::ShiftTab}, {"up", Key::Up},
        {"down", Key::Down},   {"left", Key::Left},   {"right", Key::Right},        {"home", Key::Home},
        {"end", Key::End},     {"pageup", Key::PageUp}, {"pagedown", Key::PageDown},
    };
    for (const auto& [name, k] : names)
        if (n == name) return k;
    return std::nullopt;
}

// ---------------------------------------------------------------- Scene

const Control* Scene::find(std::string_view n, int index) const {
    for (const auto& c : controls)
        if (c->name() == n && c->index() == index) return c.get();
    return nullptr;
}

Control* Scene::find(std::string_view n, int index) {
    return const_cast<Control*>(static_cast<const Scene&>(*this).find(n, index));
}

const Control* Scene::frameOf(const Control& c) const {
    if (c.frameOrder < 0) return nullptr;
    return controls[static_cast<size_t>(c.frameOrder)].get();
}

bool Scene::canFocus(const Control& c) const {
    if (c.kind() != ControlKind::CheckBox && c.kind() != ControlKind::OptionButton &&
        c.kind() != ControlKind::ListBox)
        return false;
    if (!c.p.visible || !c.p.enabled) return false;
    const Control* f = frameOf(c);
    return !f || (f->p.visible && f->p.enabled);
}

const Control* Scene::focused() const {
    if (focus < 0 || static_cast<size_t>(focus) >= controls.size()) return nullptr;
    const Control* c = controls[static_cast<size_t>(focus)].get();
    return canFocus(*c) ? c : nullptr;
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
            handlers_[{d.desc.window.name, h.control, h.event}] = &h;
    }
}

Runtime::~Runtime() = default;

std::string Runtime::programPath(std::string_view file) const {
    // The separator is added even when the folder already ends in one.
    return folder_ + "/" + std::string(file);
}

SceneRef Runtime::scene(std::string_view name) { return SceneRef(*this, std::string(name)); }

void Runtime::end() { throw ProgramEnd{}; }

std::vector<const Scene*> Runtime::scenes() const {
    std::vector<const Scene*> all;
    for (const auto& s : scenes_) all.push_back(s.get());
    return all;
}

const Scene& Runtime::loadHidden(std::string_view name) { return ensureLoaded(name); }

void Runtime::showEntry(const Scene& s, const Control& list, int entry) {
    Control& c = *slot(s.name()).controls.at(list.order);
    const int rows = std::max(1, (s.clientRect(c).h - 4) / kListItemHeight);
    if (entry < c.topIndex) c.topIndex = entry;
    if (entry >= c.topIndex + rows) c.topIndex = entry - rows + 1;
    changed(s);
}

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
    s.focus = -1;
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
    s.focus = -1;
    ws_.destroyWindow(s.window);
    s.window = 0;
    s.state = SceneState::Unloaded;
    s.loading = false;
}

void Runtime::raise(Scene& s, const std::string& control, EventKind ev, const Event& e) {
    auto it = handlers_.find({s.name(), control, ev});
    if (it == handlers_.end()) return;
    const HandlerBinding& h = *it->second;
    const SceneRef me(*this, s.name());
    if (h.fn)
        h.fn(*this, me, e);
    else
        run(h.steps, me, e);
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

Control* Runtime::hitTest(Scene& s, int x, int y) {
    return const_cast<Control*>(static_cast<const Runtime&>(*this).hitTest(static_cast<const Scene&>(s), x, y));
}

const Control* Runtime::hitTest(const Scene& s, int x, int y) const {
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
        Scene& scene = slot(s->name());
        Control* c = hitTest(scene, x, y);
        if (c && c->p.dragMode == 1) {
            Rect r = s->clientRect(*c);
            drag_ = Drag{s->name(), s->generation, c->order, x - r.x, y - r.y,
                         s->name(), x, y, r.w, r.h};
            return;
        }
        press_ = Press{s->name(), s->generation, c ? std::optional<size_t>(c->order) : std::nullopt, false, {}};
        if (!c) return;
        // A standard control takes the keyboard focus when pressed.
        if (scene.canFocus(*c)) setFocus(scene, c);
        if (c->kind() == ControlKind::ListBox) pressList(scene, *c, x, y);
    });
}

void Runtime::setFocus(Scene& s, const Control* c) {
    const int f = c ? static_cast<int>(c->order) : -1;
    if (f == s.focus) return;
    s.focus = f;
    changed(s);
}

void Runtime::pressList(Scene& s, Control& list, int x, int y) {
    const Rect r = s.clientRect(list);
    const ListLayout l = listLayout(list, r);
    if (!l.scrollBar || x < l.up.x) return;  // the rows: selected at release
    press_->onScrollBar = true;
    bool moved = false;
    // The arrows scroll by a row, the track by a page; the thumb is held.
    if (l.up.contains(x, y))
        moved = list.scrollTo(list.topIndex - 1, r);
    else if (l.down.contains(x, y))
        moved = list.scrollTo(list.topIndex + 1, r);
    else if (l.thumb.contains(x, y))
        press_->thumbGrab = y - l.thumb.y;
    else if (l.track.contains(x, y)) {
        const bool above = l.thumb.h > 0 ? y < l.thumb.y : y < l.track.y + l.track.h / 2;
        moved = list.scrollTo(list.topIndex + (above ? -l.fullRows : l.fullRows), r);
    }
    if (moved) changed(s);
}

void Runtime::dragThumb(Scene& s, Control& list, int y) {
    const Rect r = s.clientRect(list);
    const ListLayout l = listLayout(list, r);
    const int span = l.track.h - l.thumb.h;
    if (l.thumb.h == 0 || span <= 0) return;
    const int pos = std::clamp(y - *press_->thumbGrab - l.track.y, 0, span);
    // The row whose thumb position lies nearest.
    if (list.scrollTo((pos * l.maxTop + span / 2) / span, r)) changed(s);
}

void Runtime::mouseWheel(std::string_view scene, int x, int y, int notches) {
    dispatch([&] {
        const Scene* found = find(scene);
        if (!found || found->state != SceneState::Shown || drag_) return;
        Scene& s = slot(scene);
        Control* c = hitTest(s, x, y);
        if (!c || c->kind() != ControlKind::ListBox) return;
        const Rect r = s.clientRect(*c);
        const ListLayout l = listLayout(*c, r);
        if (!l.scrollBar) return;
        // Three rows a notch, at most a page.
        const int step = std::min(3, l.fullRows);
        const int64_t rows = std::clamp<int64_t>(int64_t(notches) * step, -l.maxTop - 1, l.maxTop + 1);
        if (c->scrollTo(c->topIndex + static_cast<int>(rows), r)) changed(s);
    });
}

void Runtime::mouseMove(std::string_view sceneUnderPointer, int x, int y) {
    if (press_ && press_->thumbGrab && press_->scene == sceneUnderPointer && press_->order) {
        Scene& s = slot(press_->scene);
        if (s.state == SceneState::Shown && s.generation == press_->generation)
            dragThumb(s, *s.controls[*press_->order], y);
        return;
    }
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
            const Control* winner = hitTest(*target, x, y);
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
        if (p.onScrollBar) return;  // scrolling selects nothing
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
        chooseOption(s, c);
        return;
    case ControlKind::ListBox: {
        const Rect r = s.clientRect(c);
        const ListLayout l = listLayout(c, r);
        if (!l.rows.contains(x, y)) return;  // the border
        const int row = (y - l.rows.y) / kListItemHeight + c.topIndex;
        if (row >= static_cast<int>(c.items.size())) return;
        // A row only partly in view comes entirely into view.
        c.scrollIntoView(row, r);
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

void Runtime::chooseOption(Scene& s, Control& c) {
    for (auto& o : s.controls)
        if (o->kind() == ControlKind::OptionButton && o->p.container == c.p.container) o->p.value = 0;
    c.p.value = -1;
    changed(s);
}

void Runtime::moveListSelection(Scene& s, Control& list, int row) {
    const int n = static_cast<int>(list.items.size());
    if (n == 0) return;
    row = std::clamp(row, 0, n - 1);
    list.scrollIntoView(row, s.clientRect(list));
    changed(s);
    if (row == list.listIndex) return;
    list.listIndex = row;
    // Each move of the selection by keyboard raises Click, as a click would.
    raise(s, list.name(), EventKind::Click, Event{list.index(), nullptr});
}

// ------------------------------------------------------------ keyboard

namespace {

// Tab stops in description order; the option buttons of one container make
// one stop, the chosen one (or the first when none is chosen).
std::vector<Control*> tabStops(const Scene& s) {
    std::vector<Control*> stops;
    for (const auto& c : s.controls) {
        if (!s.canFocus(*c)) continue;
        if (c->kind() == ControlKind::OptionButton) {
            const Control* stop = nullptr;
            for (const auto& o : s.controls)
                if (o->kind() == ControlKind::OptionButton && o->p.container == c->p.container && s.canFocus(*o))
                    if (!stop || (o->p.value != 0 && stop->p.value == 0)) stop = o.get();
            if (stop != c.get()) continue;
        }
        stops.push_back(c.get());
    }
    return stops;
}

// The option buttons of the container of C, top to bottom, then left to right.
std::vector<Control*> optionGroup(const Scene& s, const Control& c) {
    std::vector<Control*> group;
    for (const auto& o : s.controls)
        if (o->kind() == ControlKind::OptionButton && o->p.container == c.p.container && s.canFocus(*o))
            group.push_back(o.get());
    std::stable_sort(group.begin(), group.end(), [](const Control* a, const Control* b) {
        return std::pair(a->p.top, a->p.left) < std::pair(b->p.top, b->p.left);
    });
    return group;
}

}  // namespace

void Runtime::keyDown(std::string_view scene, Key k) {
    dispatch([&] {
        const Scene* found = find(scene);
        if (!found || found->state != SceneState::Shown || drag_) return;
        Scene& s = slot(scene);
        Control* f = const_cast<Control*>(s.focused());
        if (k == Key::Tab || k == Key::ShiftTab) {
            const auto stops = tabStops(s);
            if (stops.empty()) return;
            const int n = static_cast<int>(stops.size());
            int at = -1;
            for (int i = 0; i < n && f; ++i)
                if (stops[size_t(i)] == f ||
                    (f->kind() == ControlKind::OptionButton && stops[size_t(i)]->kind() == ControlKind::OptionButton &&
                     stops[size_t(i)]->p.container == f->p.container))
                    at = i;
            int next = k == Key::Tab ? (at + 1) % n : (at < 0 ? n - 1 : (at + n - 1) % n);
            setFocus(s, stops[size_t(next)]);
            return;
        }
        if (!f) return;
        switch (f->kind()) {
        case ControlKind::CheckBox:
            if (k == Key::Space) {
                f->p.value = f->p.value == 1 ? 0 : 1;
                changed(s);
            }
            return;
        case ControlKind::OptionButton: {
            if (k == Key::Space) return chooseOption(s, *f);
            const bool back = k == Key::Up || k == Key::Left;
            if (!back && k != Key::Down && k != Key::Right) return;
            const auto group = optionGroup(s, *f);
            const auto it = std::find(group.begin(), group.end(), f);
            if (it == group.end()) return;
            const int n = static_cast<int>(group.size());
            const int i = static_cast<int>(it - group.begin());
            Control* to = group[size_t((i + (back ? n - 1 : 1)) % n)];
            setFocus(s, to);
            chooseOption(s, *to);
            return;
        }
        case ControlKind::ListBox: {
            const int caret = f->caretIndex();
            const int page = std::max(1, listLayout(*f, s.clientRect(*f)).fullRows - 1);
            switch (k) {
            case Key::Up:
            case Key::Left: return moveListSelection(s, *f, caret - 1);
            case Key::Down:
            case Key::Right: return moveListSelection(s, *f, caret + 1);
            case Key::Home: return moveListSelection(s, *f, 0);
            case Key::End: return moveListSelection(s, *f, static_cast<int>(f->items.size()) - 1);
            case Key::PageUp: return moveListSelection(s, *f, caret - page);
            case Key::PageDown: return moveListSelection(s, *f, caret + page);
            default: return;
            }
        }
        default:
            return;
        }
    });
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
        throw RuntimeError("control not found: " + scene_ + "." + controlName(name_, index_));
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
// A property or method the component does not have is a failing
// operation, as a misspelt control name is.
void ControlRef::set(std::string_view property, const Value& v) const {
    Control& c = resolve();
    if (!hasComponentProperty(c.kind(), property))
        throw RuntimeError(scene_ + "." + c.displayName() + " has no property " + std::string(property));
    if (c.component) c.component->setProperty(property, v);
}
void ControlRef::call(std::string_view method) const {
    Control& c = resolve();
    if (!hasComponentMethod(c.kind(), method))
        throw RuntimeError(scene_ + "." + c.displayName() + " has no method " + std::string(method));
    if (c.component) c.component->call(method);
}

}  // namespace az
