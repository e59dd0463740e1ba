// The display scale: how many device pixels a logical pixel of the game
// takes. Every geometry of the game (window table, controls, hit test) stays
// in logical pixels; windows, pictures, text and cursors are drawn at the
// scale.
#pragma once

#include <optional>
#include <string>

namespace az {

constexpr double kMinScale = 1.0;
constexpr double kMaxScale = 3.0;

// A scale given as text ("2", "1.5"), rounded to a quarter; nullopt when it
// is not a number from 1 to 3.
std::optional<double> parseScale(const std::string& text);

// Where the scale comes from, strongest first.
struct ScaleSources {
    std::optional<std::string> option;     // --scale S
    std::optional<std::string> azScale;    // AZ_SCALE
    std::optional<std::string> gdkScale;   // GDK_SCALE
    std::optional<double> xftDpi;          // Xft.dpi of the X resources
};
// The first source that gives a valid scale, else 1. A bad --scale is the
// caller's to refuse; bad environment values are passed over.
double chooseScale(const ScaleSources& s);

// Xft.dpi from an X resource string ("Xft.dpi:\t192\n..."), if set.
std::optional<double> xftDpiFromResources(const std::string& resources);

// The scale a desktop at this dpi asks for: dpi / 96 to a quarter.
double scaleForDpi(double dpi);

// The scale of the pictures rendered at build time (1, 2 or 3) that a
// display scale draws from: its own, else the next larger.
int renderedSetFor(double scale);
// That set's folder: "assets", "assets@2x", "assets@3x".
std::string renderedSetFolder(int set);

// The logical pixel a device pixel's centre lies in, and the first device
// pixel of a logical one.
int toLogical(int device, double scale);
int toDevice(int logical, double scale);

}  // namespace az
