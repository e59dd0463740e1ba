#include "runtime/script.h"

#include <charconv>
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
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
        out.push_back(line.substr(i, j - i));
        i = j;
    }
    return out;
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

    Control& control(const ControlName& n, const Scene& s) {
        Control* c = s.find(n.control, n.index);
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
            const Scene& s = shownScene(w[1]);
            auto x = parseInt(w[2]), y = parseInt(w[3]);
            if (!x || !y) malformed("usage: click SCENE X Y");
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
        Control& c = control(n, s);
        if (c.kind() != ControlKind::ListBox) malformed(display(n) + " is not a list box");
        if (*idx < 0 || *idx >= static_cast<int64_t>(c.items.size()))
            throw Failure{1, display(n) + " has no entry " + std::to_string(*idx) + " (it has " +
                                 std::to_string(c.items.size()) + ")"};
        Rect r = s.clientRect(c);
        const int rows = std::max(1, (r.h - 4) / kListItemHeight);
        // Scroll the entry into view first, as a player would.
        if (*idx < c.topIndex) c.topIndex = int(*idx);
        if (*idx >= c.topIndex + rows) c.topIndex = int(*idx) - rows + 1;
        int x = r.x + r.w / 2;
        int y = r.y + 2 + (int(*idx) - c.topIndex) * kListItemHeight + kListItemHeight / 2;
        press(s.name(), x, y, s.name(), x, y);
    }

    void close(const std::vector<std::string>& w) {
        arity(w, 2, "close SCENE");
        const Scene* s = rt_.find(w[1]);
        if (!s) malformed("unknown scene " + w[1]);
        if (rt_.ended()) throw Failure{1, "the game has ended"};
        if (s->state == SceneState::Unloaded) throw Failure{1, "scene " + w[1] + " has no window"};
        rt_.closeBox(w[1]);
        host_.settle();
    }

    void wait(const std::vector<std::string>& w) {
        arity(w, 2, "wait MS");
        auto ms = parseInt(w[1]);
        if (!ms || *ms < 0) malformed("usage: wait MS (a whole number of milliseconds)");
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

ScriptResult ScriptRunner::run(std::istream& in) {
    ScriptResult result;
    Interpreter interp(host_, extensions_);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        std::string err;
        auto words = splitWords(line, &err);
        if (!err.empty()) {
            result.exitCode = 2;
            result.message = "line " + std::to_string(lineNo) + ": " + err;
            return result;
        }
        if (words.empty() || words[0].starts_with("#")) continue;
        try {
            interp.run(words);
            ++result.commands;
            Runtime& rt = host_.runtime();
            if (rt.ended() && rt.exitCode() != 0)
                throw Failure{1, "the game stopped with a run-time error: " + rt.error()};
        } catch (const Failure& f) {
            result.exitCode = f.code;
            result.message = "line " + std::to_string(lineNo) + ": " + f.message;
            return result;
        } catch (const std::exception& e) {
            result.exitCode = 2;
            result.message = "line " + std::to_string(lineNo) + ": " + e.what();
            return result;
        }
    }
    return result;
}

}  // namespace az
