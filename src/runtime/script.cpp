#include "runtime/script.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <limits>
#include <optional>
#include <istream>
#include <sstream>

#include "runtime/painter.h"

namespace az {

std::vector<std::string> splitWords(const std::string& line, std::string* error) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        if (line[i] == '#') break;  // a comment
        if (line[i] == '"') {
            size_t j = line.find('"', i + 1);
            if (j == std::string::npos) {
                if (error) *error = "unterminated quoted text";
                return {};
            }
            out.push_back(line.substr(i, j - i + 1));
            i = j + 1;
            continue;
        }
        size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r' && line[j] != '#') ++j;
        out.push_back(line.substr(i, j - i));
        i = j;
    }
    return out;
}

void HeadlessHost::wait(int64_t ms) {
    if (ms < 0 || ms > kMaxWaitMs) throw MalformedLine("a wait lasts 0 to " + std::to_string(kMaxWaitMs) + " ms");
    const int64_t now = clock_.now();
    if (now > std::numeric_limits<int64_t>::max() - ms) throw MalformedLine("game time would overflow");
    rt_.advanceTo(clock_, now + ms);
}

namespace {

// A failed expectation (exit 1) or a malformed line (exit 2).
struct Failure {
    int code;
    std::string message;
};

[[noreturn]] void malformed(const std::string& m) { throw Failure{2, m}; }

std::optional<int64_t> parseInt(const std::string& s) {
    int64_t v = 0;
    if (s.starts_with("&H") || s.starts_with("&h")) {
        auto [p, ec] = std::from_chars(s.data() + 2, s.data() + s.size(), v, 16);
        if (ec != std::errc() || p != s.data() + s.size() || s.size() == 2) return std::nullopt;
        return v;
    }
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

Value parseValue(const std::string& w) {
    if (w == "true") return true;
    if (w == "false") return false;
    if (w.size() >= 2 && w.front() == '"' && w.back() == '"') return w.substr(1, w.size() - 2);
    if (auto i = parseInt(w)) return *i;
    malformed("not a value: " + w + " (use true, false, a number or \"quoted text\")");
}

bool sameValue(const Value& a, const Value& b) {
    auto asNumber = [](const Value& v) -> std::optional<int64_t> {
        if (const bool* x = std::get_if<bool>(&v)) return *x ? -1 : 0;
        if (const int64_t* x = std::get_if<int64_t>(&v)) return *x;
        return std::nullopt;
    };
    if (a.index() == b.index()) return a == b;
    auto na = asNumber(a), nb = asNumber(b);
    return na && nb && *na == *nb;  // true is -1, as handlers write it
}

struct ControlName {
    std::string scene, control;
    int index = -1;
    std::string property;  // for expect
};

// SCENE.CONTROL, SCENE.CONTROL(INDEX), and with withProperty .PROPERTY after it.
ControlName parseControl(const std::string& w, bool withProperty) {
    ControlName n;
    size_t dot = w.find('.');
    if (dot == std::string::npos || dot == 0) malformed("expected SCENE.CONTROL, got " + w);
    n.scene = w.substr(0, dot);
    std::string rest = w.substr(dot + 1);
    if (withProperty) {
        // CONTROL.PROPERTY or CONTROL(i).PROPERTY; the property may hold dots or brackets.
        size_t end = rest.find_first_of(".(");
        if (end != std::string::npos && rest[end] == '(') end = rest.find(')', end) + 1;
        if (end == std::string::npos || end == 0 || end >= rest.size() || rest[end] != '.')
            malformed("expected SCENE.CONTROL.PROPERTY, got " + w);
        n.property = rest.substr(end + 1);
        rest = rest.substr(0, end);
        if (n.property.empty()) malformed("missing property in " + w);
    }
    size_t open = rest.find('(');
    if (open != std::string::npos) {
        if (rest.back() != ')') malformed("bad control index in " + w);
        auto idx = parseInt(rest.substr(open + 1, rest.size() - open - 2));
        if (!idx || *idx < 0) malformed("bad control index in " + w);
        n.index = static_cast<int>(*idx);
        rest = rest.substr(0, open);
    }
    if (rest.empty()) malformed("missing control name in " + w);
    n.control = rest;
    return n;
}

std::string display(const ControlName& n) {
    return n.scene + "." + controlName(n.control, n.index);
}

class Interpreter {
public:
    Interpreter(ScriptHost& host, const std::map<std::string, ExpectExtension>& ext)
        : host_(host), rt_(host.runtime()), ext_(ext) {}

    void run(const std::vector<std::string>& w) {
        const std::string& cmd = w[0];
        if (cmd == "click") return click(w);
        if (cmd == "drag") return drag(w);
        if (cmd == "select") return select(w);
        if (cmd == "close") return close(w);
        if (cmd == "key") return key(w);
        if (cmd == "wheel") return wheel(w);
        if (cmd == "wait") return wait(w);
        if (cmd == "expect") return expect(w);
        if (cmd == "screenshot") return screenshot(w);
        malformed("unknown command " + cmd);
    }

private:
    void arity(const std::vector<std::string>& w, size_t n, const char* usage) {
        if (w.size() != n) malformed(std::string("usage: ") + usage);
    }

    const Scene& shownScene(const std::string& name) {
        const Scene* s = rt_.find(name);
        if (!s) malformed("unknown scene " + name);
        if (rt_.ended()) throw Failure{1, "the game has ended"};
        if (s->state != SceneState::Shown)
            throw Failure{1, "scene " + name + " is " + stateName(s->state) + ", not shown"};
        return *s;
    }

    const Control& control(const ControlName& n, const Scene& s) {
        const Control* c = s.find(n.control, n.index);
        if (!c) {
            // Tell a misspelt name from an element of an array.
            if (!s.def) malformed("unknown control " + display(n));
            for (const auto& d : s.def->desc.controls)
                if (d.name == n.control)
                    malformed("control " + display(n) + " needs " +
                              (d.index >= 0 ? "an element index" : "no index"));
            malformed("unknown control " + display(n));
        }
        return *c;
    }

    std::pair<int, int> centre(const Scene& s, const Control& c) {
        Rect r = s.clientRect(c);
        return {r.x + r.w / 2, r.y + r.h / 2};
    }

    void press(const std::string& scene, int x, int y, const std::string& releaseScene, int rx, int ry) {
        rt_.mouseDown(scene, x, y);
        rt_.mouseMove(releaseScene, rx, ry);
        rt_.mouseUp(releaseScene, rx, ry);
        host_.settle();
    }

    void click(const std::vector<std::string>& w) {
        if (w.size() == 4) {
            const Scene* found = rt_.find(w[1]);
            if (!found) malformed("unknown scene " + w[1]);
            auto x = parseInt(w[2]), y = parseInt(w[3]);
            if (!x || !y) malformed("usage: click SCENE X Y");
            const WindowDesc& win = found->windowDesc();
            // No player can click outside the client area and reach the scene.
            if (*x < 0 || *y < 0 || *x >= win.widthPx() || *y >= win.heightPx())
                malformed(std::to_string(*x) + "," + std::to_string(*y) + " lies outside the client area of " + w[1] +
                          " (" + std::to_string(win.widthPx()) + " x " + std::to_string(win.heightPx()) + ")");
            const Scene& s = shownScene(w[1]);
            press(s.name(), int(*x), int(*y), s.name(), int(*x), int(*y));
            return;
        }
        arity(w, 2, "click SCENE.CONTROL | click SCENE X Y");
        ControlName n = parseControl(w[1], false);
        const Scene& s = shownScene(n.scene);
        auto [x, y] = centre(s, control(n, s));
        press(s.name(), x, y, s.name(), x, y);
    }

    void drag(const std::vector<std::string>& w) {
        arity(w, 3, "drag SCENE.CONTROL SCENE.CONTROL");
        ControlName a = parseControl(w[1], false), b = parseControl(w[2], false);
        const Scene& sa = shownScene(a.scene);
        const Scene& sb = shownScene(b.scene);
        auto [x1, y1] = centre(sa, control(a, sa));
        auto [x2, y2] = centre(sb, control(b, sb));
        press(sa.name(), x1, y1, sb.name(), x2, y2);
    }

    void select(const std::vector<std::string>& w) {
        arity(w, 3, "select SCENE.CONTROL INDEX");
        ControlName n = parseControl(w[1], false);
        auto idx = parseInt(w[2]);
        if (!idx) malformed("usage: select SCENE.CONTROL INDEX");
        const Scene& s = shownScene(n.scene);
        const Control& c = control(n, s);
        if (c.kind() != ControlKind::ListBox) malformed(display(n) + " is not a list box");
        if (*idx < 0 || *idx >= static_cast<int64_t>(c.items.size()))
            throw Failure{1, display(n) + " has no entry " + std::to_string(*idx) + " (it has " +
                                 std::to_string(c.items.size()) + ")"};
        const int row = static_cast<int>(*idx);
        // As a player does: the scroll bar's arrows bring the entry into view,
        // then a click on it.
        const Rect r = s.clientRect(c);
        const uint64_t gen = s.generation;
        for (size_t guard = c.items.size() + 1; guard > 0; --guard) {
            const ListLayout l = listLayout(c, r);
            const bool above = row < c.topIndex, below = row >= c.topIndex + l.fullRows;
            if (!l.scrollBar || (!above && !below)) break;
            const Rect& arrow = above ? l.up : l.down;
            const int x = arrow.x + arrow.w / 2, y = arrow.y + arrow.h / 2;
            const int top = c.topIndex;
            press(s.name(), x, y, s.name(), x, y);
            if (rt_.ended() || s.state != SceneState::Shown || s.generation != gen)
                throw Failure{1, "scrolling " + display(n) + " ended its scene"};
            if (c.topIndex == top) break;  // hidden or covered: the press went elsewhere
        }
        // The click goes where the entry stands, also on a list that is
        // hidden or covered: the press then reaches what lies there.
        const ListLayout l = listLayout(c, r);
        const int x = l.rows.x + l.rows.w / 2;
        const int y = std::clamp(l.rows.y + (row - c.topIndex) * kListItemHeight + kListItemHeight / 2, l.rows.y,
                                 l.rows.y + std::max(0, l.rows.h - 1));
        const bool inView = row >= c.topIndex && row < c.topIndex + l.fullRows;
        if (!inView && rt_.hitTest(s, x, y) == &c)
            throw Failure{1, display(n) + " cannot bring entry " + w[2] + " into view"};
        press(s.name(), x, y, s.name(), x, y);
    }

    void close(const std::vector<std::string>& w) {
        arity(w, 2, "close SCENE");
        // The close box is on the window: only a shown scene has one to click.
        const Scene& s = shownScene(w[1]);
        rt_.closeBox(s.name());
        host_.settle();
    }

    void key(const std::vector<std::string>& w) {
        arity(w, 3, "key SCENE space|tab|shift+tab|up|down|left|right|home|end|pageup|pagedown");
        auto k = keyNamed(w[2]);
        if (!k) malformed("no key named " + w[2] + " (space, tab, shift+tab, up, down, left, right, home, end, pageup, pagedown)");
        const Scene& s = shownScene(w[1]);
        rt_.keyDown(s.name(), *k);
        host_.settle();
    }

    void wheel(const std::vector<std::string>& w) {
        arity(w, 3, "wheel SCENE.CONTROL NOTCHES");
        ControlName n = parseControl(w[1], false);
        auto notches = parseInt(w[2]);
        constexpr int kMaxNotches = 1000;
        if (!notches || *notches < -kMaxNotches || *notches > kMaxNotches)
            malformed("usage: wheel SCENE.CONTROL NOTCHES (-1000 to 1000, negative up)");
        const Scene& s = shownScene(n.scene);
        auto [x, y] = centre(s, control(n, s));
        rt_.mouseWheel(s.name(), x, y, static_cast<int>(*notches));
        host_.settle();
    }

    void wait(const std::vector<std::string>& w) {
        arity(w, 2, "wait MS");
        auto ms = parseInt(w[1]);
        if (!ms || *ms < 0 || *ms > kMaxWaitMs)
            malformed("usage: wait MS (a whole number of milliseconds, at most " + std::to_string(kMaxWaitMs) +
                      ", a day)");
        host_.wait(*ms);
    }

    void expect(const std::vector<std::string>& w) {
        if (w.size() < 2) malformed("usage: expect SCENE.CONTROL.PROPERTY VALUE | expect SCENE STATE | expect ended");
        if (w[1] == "ended") {
            arity(w, 2, "expect ended");
            if (!rt_.ended()) throw Failure{1, "expected the game to have ended, it runs on"};
            return;
        }
        if (auto it = ext_.find(w[1]); it != ext_.end()) {
            std::vector<std::string> args(w.begin() + 2, w.end());
            if (auto err = it->second(host_, args)) throw Failure{1, *err};
            return;
        }
        if (w[1].find('.') == std::string::npos) {
            arity(w, 3, "expect SCENE unloaded|hidden|shown");
            const Scene* s = rt_.find(w[1]);
            if (!s) malformed("unknown scene " + w[1]);
            const std::string& want = w[2];
            if (want != "unloaded" && want != "hidden" && want != "shown")
                malformed("a scene is unloaded, hidden or shown, not " + want);
            std::string actual = stateName(s->state);
            if (actual != want) throw Failure{1, "expected " + w[1] + " " + want + ", it is " + actual};
            return;
        }
        arity(w, 3, "expect SCENE.CONTROL.PROPERTY VALUE");
        ControlName n = parseControl(w[1], true);
        Value want = parseValue(w[2]);
        const Scene* s = rt_.find(n.scene);
        if (!s) malformed("unknown scene " + n.scene);
        if (!s->isLoaded())
            throw Failure{1, "expected " + w[1] + " " + formatValue(want) + ", but " + n.scene + " is unloaded"};
        const Control& c = control(n, *s);
        auto actual = c.property(n.property);
        if (!actual) malformed(display(n) + " has no property " + n.property);
        if (!sameValue(*actual, want))
            throw Failure{1, "expected " + w[1] + " " + formatValue(want) + ", actual " + formatValue(*actual)};
    }

    void screenshot(const std::vector<std::string>& w) {
        arity(w, 3, "screenshot SCENE FILE.png");
        const Scene* s = rt_.find(w[1]);
        if (!s) malformed("unknown scene " + w[1]);
        if (w[2].find('\0') != std::string::npos) malformed("the file name holds a NUL byte");
        if (!s->isLoaded()) throw Failure{1, "scene " + w[1] + " is unloaded: nothing to take a picture of"};
        std::string err;
        if (!writeScenePng(rt_, *s, w[2], &err)) throw Failure{2, err};
    }

    ScriptHost& host_;
    Runtime& rt_;
    const std::map<std::string, ExpectExtension>& ext_;
};

}  // namespace

ScriptResult ScriptRunner::run(const std::string& script) {
    std::istringstream in(script);
    return run(in);
}

namespace {

// Runs the lines of one script; "include FILE" runs the lines of another
// in their place, FILE relative to the including script's folder. Empty when every line passed, else the failure with the
// line it happened on.
std::optional<ScriptResult> runLines(std::istream& in, Interpreter& interp, ScriptHost& host,
                                     const std::string& folder, int depth, int& commands) {
    auto failed = [](int code, const std::string& at, const std::string& msg) {
        ScriptResult r;
        r.exitCode = code;
        r.message = at + ": " + msg;
        return r;
    };
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::string at = "line " + std::to_string(lineNo);
        std::string err;
        auto words = splitWords(line, &err);
        if (!err.empty()) return failed(2, at, err);
        if (words.empty()) continue;
        if (words[0] == "include") {
            if (words.size() != 2) return failed(2, at, "usage: include FILE");
            if (depth >= 8) return failed(2, at, "include nested too deep");
            const std::string path = folder + "/" + words[1];
            std::ifstream part(path);
            if (!part) return failed(2, at, "cannot open " + words[1]);
            // Its own includes are found beside it.
            const std::string partFolder = path.substr(0, path.rfind('/'));
            if (auto r = runLines(part, interp, host, partFolder, depth + 1, commands)) {
                r->message = at + ": in " + words[1] + " " + r->message;
                return r;
            }
            continue;
        }
        try {
            interp.run(words);
            ++commands;
            Runtime& rt = host.runtime();
            if (rt.ended() && rt.exitCode() != 0)
                throw Failure{1, "the game stopped with a run-time error: " + rt.error()};
        } catch (const Failure& f) {
            return failed(f.code, at, f.message);
        } catch (const std::exception& e) {
            return failed(2, at, e.what());
        }
    }
    if (in.bad()) {
        ScriptResult r;
        r.exitCode = 2;
        r.message = "line " + std::to_string(lineNo + 1) + ": cannot read the script";
        return r;
    }
    return std::nullopt;
}

}  // namespace

ScriptResult ScriptRunner::run(std::istream& in) {
    Interpreter interp(host_, extensions_);
    int commands = 0;
    ScriptResult result = runLines(in, interp, host_, includeFolder_, 0, commands).value_or(ScriptResult{});
    result.commands = commands;
    return result;
}

}  // namespace az
