// What the game's process does about its surroundings: signals, the
// programs it might start, the display it needs and the memory it shares
// with the X server (a program linking this file makes every System V
// shared memory segment it asks for its user's alone, see process.cpp).
#pragma once

#include <optional>
#include <string>

namespace az {

// Run first thing in main, before any thread starts:
//  - SIGTERM and SIGINT end the game at once in any state (a handler
//    busy, the fatal-error box up);
//  - every process forked by the game or its libraries (SDL's message box)
//    dies with it, whatever ended the game;
//  - no session bus is started for the libraries (D-Bus autolaunch runs
//    dbus-launch) when the desktop has none.
void guardProcess();

// Why the game cannot open its windows, before trying: no display at all.
// Empty when a display is there or the user chose SDL's video driver. With
// only an X display SDL is held to it.
std::optional<std::string> displayMissing();

// After SDL's video started: the display it opened is none the player can
// see (SDL's offscreen or dummy driver, not asked for by the user).
std::optional<std::string> displayInvisible();

}  // namespace az
