#include "runtime/control.h"

namespace az {

std::string formatValue(const Value& v) {
    if (const bool* b = std::get_if<bool>(&v)) return *b ? "true" : "false";
    if (const int64_t* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
    return "\"" + std::get<std::string>(v) + "\"";
}

std::string controlName(std::string_view name, int index) {
    std::string s(name);
    if (index < 0) return s;
    // Appended piece by piece: GCC 12 at -O3 sees a false overlap in
    // chained operator+ of std::string (-Wrestrict).
    s += '(';
    s += std::to_string(index);
    s += ')';
    return s;
}

std::string Control::displayName() const { return controlName(p.name, p.index); }

std::optional<Value> Control::property(std::string_view n) const {
    auto num = [](int64_t v) { return Value(v); };
    if (n == "Visible") return Value(p.visible);
    if (n == "Enabled") return Value(p.enabled);
    if (n == "Caption") return Value(p.caption);
    if (n == "Tag") return Value(p.tag);
    if (n == "ToolTipText") return Value(p.toolTip);
    if (n == "Alignment") return num(p.alignment);
    if (n == "ForeColor") return num(p.effectiveForeColor());
    if (n == "BackColor") return num(p.effectiveBackColor());
    if (n == "BackStyle") return num(p.effectiveBackStyle());
    if (n == "Left") return num(p.left);
    if (n == "Top") return num(p.top);
    if (n == "Width") return num(p.width);
    if (n == "Height") return num(p.height);
    if (n == "Picture") return num(p.picture);
    if (n == "MousePointer") return num(p.mousePointer);
    if (n == "MouseIcon") return num(p.mouseIcon);
    if (n == "DragMode") return num(p.dragMode);
    if (n == "Interval") return num(p.interval);
    if (n == "Index") return num(p.index);
    if (n == "Value") {
        if (p.kind == ControlKind::OptionButton) return Value(p.value != 0);
        return num(p.value);
    }
    if (n == "ListIndex") return num(listIndex);
    if (n == "ListCount") return num(static_cast<int64_t>(items.size()));
    if (n.starts_with("List(") && n.ends_with(")")) {
        try {
            size_t i = std::stoul(std::string(n.substr(5, n.size() - 6)));
            if (i < items.size()) return Value(items[i]);
        } catch (...) {
        }
        return std::nullopt;
    }
    if (component) return component->property(n);
    return std::nullopt;
}

}  // namespace az
