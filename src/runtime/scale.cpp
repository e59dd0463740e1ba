#include "runtime/scale.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace az {

namespace {

double toQuarter(double v) { return std::round(v * 4.0) / 4.0; }

std::optional<double> number(const std::string& text) {
    // from_chars: the C decimal point whatever the desktop's locale says.
    double v = 0;
    const char* e = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), e, v);
    if (text.empty() || ec != std::errc() || p != e || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

std::optional<double> parseScale(const std::string& text) {
    auto v = number(text);
    if (!v) return std::nullopt;
    const double q = toQuarter(*v);
    if (q < kMinScale || q > kMaxScale) return std::nullopt;
    return q;
}

double scaleForDpi(double dpi) {
    if (!std::isfinite(dpi) || dpi <= 0) return 1.0;
    const double q = toQuarter(dpi / 96.0);
    return q < kMinScale ? kMinScale : q > kMaxScale ? kMaxScale : q;
}

double chooseScale(const ScaleSources& s) {
    for (const auto* text : {&s.option, &s.azScale, &s.gdkScale})
        if (*text)
            if (auto v = parseScale(**text)) return *v;
    if (s.xftDpi) return scaleForDpi(*s.xftDpi);
    return 1.0;
}

int renderedSetFor(double scale) { return scale <= 1 ? 1 : scale <= 2 ? 2 : 3; }

std::string renderedSetFolder(int set) { return set == 1 ? "assets" : "assets@" + std::to_string(set) + "x"; }

// By the centre of the device pixel: at 1.5 device pixel 355 spans logical
// 236.67 to 237.33 and belongs to 237.
int toLogical(int device, double scale) { return static_cast<int>(std::floor((device + 0.5) / scale + 1e-9)); }
int toDevice(int logical, double scale) { return static_cast<int>(std::ceil(logical * scale - 0.5 - 1e-9)); }

std::optional<double> xftDpiFromResources(const std::string& resources) {
    std::istringstream in(resources);
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "Xft.dpi:";
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        const auto b = value.find_first_not_of(" \t");
        const auto e = value.find_last_not_of(" \t\r");
        if (b == std::string::npos) return std::nullopt;
        return number(value.substr(b, e - b + 1));
    }
    return std::nullopt;
}

}  // namespace az
