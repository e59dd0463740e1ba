#include "runtime/control.h"

#include <algorithm>

namespace az {

std::string formatValue(const Value& v) {
    if (const bool* b = std::get_if<bool>(&v)) return *b ? "true" : "false";
    if (const int64_t* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
    return "\"" + std::get<std::string>(v) + "\"";
}

ListLayout listLayout(const Control& c, const Rect& r) {
    ListLayout l;
    l.rows = {r.x + 2, r.y + 2, std::max(0, r.w - 4), std::max(0, r.h - 4)};
    l.fullRows = std::max(1, l.rows.h / kListItemHeight);
    const int n = static_cast<int>(c.items.size());
    l.maxTop = std::max(0, n - l.fullRows);
    l.scrollBar = n > l.fullRows;
    if (!l.scrollBar) return l;
    l.rows.w = std::max(0, l.rows.w - kScrollBarWidth);
    const int sx = l.rows.x + l.rows.w, sy = l.rows.y, sh = l.rows.h;
    // The arrows share a bar too short for both at full height.
    const int arrow = std::min(kScrollBarWidth, sh / 2);
    l.up = {sx, sy, kScrollBarWidth, arrow};
    l.down = {sx, sy + sh - arrow, kScrollBarWidth, arrow};
    l.track = {sx, sy + arrow, kScrollBarWidth, sh - 2 * arrow};
    constexpr int kMinThumb = 8;
    const int thumb = std::max(kMinThumb, l.track.h * l.fullRows / n);
    if (thumb <= l.track.h) {
        const int pos = (l.track.h - thumb) * std::clamp(c.topIndex, 0, l.maxTop) / std::max(1, l.maxTop);
        l.thumb = {sx, l.track.y + pos, kScrollBarWidth, thumb};
    }
    return l;
}

bool Control::scrollTo(int top, const Rect& r) {
    const int t = std::clamp(top, 0, listLayout(*this, r).maxTop);
    if (t == topIndex) return false;
    topIndex = t;
    return true;
}

bool Control::scrollIntoView(int row, const Rect& r) {
    const int rows = listLayout(*this, r).fullRows;
    if (row < topIndex) return scrollTo(row, r);
    if (row >= topIndex + rows) return scrollTo(row - rows + 1, r);
    return false;
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
    if (n == "TopIndex") return num(topIndex);
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
