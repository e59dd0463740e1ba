#include <set>

#include "runtime/runtime.h"

namespace az {

namespace {

bool eventFits(EventKind ev, ControlKind k) {
    switch (ev) {
    case EventKind::Click:
        return k == ControlKind::Label || k == ControlKind::Image || k == ControlKind::ListBox;
    case EventKind::Timer:
        return k == ControlKind::Timer;
    case EventKind::DragDrop:
        return k == ControlKind::Image;
    default:
        return false;
    }
}

}  // namespace

std::vector<std::string> validate(const std::vector<SceneDef>& defs) {
    std::vector<std::string> out;
    std::set<std::string> sceneNames;
    auto asset = [&](const std::string& where, int id) {
        if (id != 0 && (id < 1 || id > 45)) out.push_back(where + ": no asset " + std::to_string(id));
    };
    for (const auto& d : defs) {
        const std::string& sn = d.desc.window.name;
        if (!sceneNames.insert(sn).second) out.push_back(sn + ": described twice");
        asset(sn + " picture", d.desc.window.picture);
        asset(sn + " icon", d.desc.window.icon);

        std::set<std::pair<std::string, int>> seen;
        std::set<std::string> frames;
        for (const auto& c : d.desc.controls) {
            const std::string where = sn + "." + controlName(c.name, c.index);
            if (!seen.insert({c.name, c.index}).second) out.push_back(where + ": listed twice");
            if (c.kind == ControlKind::Frame) frames.insert(c.name);
            if (!c.container.empty() && !frames.count(c.container))
                out.push_back(where + ": its frame " + c.container + " is not listed before it");
            if (c.kind == ControlKind::Timer && c.interval == 0) out.push_back(where + ": timer without interval");
            asset(where + " picture", c.picture);
            asset(where + " mouse icon", c.mouseIcon);
            if (c.mousePointer == 99 && c.mouseIcon == 0) out.push_back(where + ": custom cursor without icon");
        }
        // Both plain controls and array elements must not share a name.
        for (const auto& c : d.desc.controls)
            if (c.index < 0)
                for (const auto& e : d.desc.controls)
                    if (e.name == c.name && e.index >= 0)
                        out.push_back(sn + "." + c.name + ": both a control and an array");

        std::set<std::pair<std::string, EventKind>> bound;
        for (const auto& h : d.handlers) {
            std::string where = sn + "." + (h.control.empty() ? "(scene)" : h.control) + " " + eventName(h.event);
            if (!h.fn) out.push_back(where + ": empty handler");
            if (!bound.insert({h.control, h.event}).second) out.push_back(where + ": bound twice");
            if (h.control.empty()) {
                if (h.event != EventKind::Load && h.event != EventKind::Unload)
                    out.push_back(where + ": a scene has only Load and Unload");
                continue;
            }
            const ControlDesc* found = nullptr;
            for (const auto& c : d.desc.controls)
                if (c.name == h.control) found = &c;
            if (!found) {
                out.push_back(where + ": no such control");
                continue;
            }
            if (!eventFits(h.event, found->kind))
                out.push_back(where + ": a " + kindName(found->kind) + " has no such event");
        }
    }
    return out;
}

}  // namespace az
