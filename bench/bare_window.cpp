// The floor the game's start-up is measured against: a bare SDL2 program
// that opens a window of the intro's size, fills it and puts it on screen,
// then one of the menu's size, and sleeps in the event wait until killed.
// It reports each frame on AZ_TRACE_FD as the game does.
#include <SDL.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

int traceFd = -1;

void trace(const char* what) {
    if (traceFd < 0) return;
    const auto mono = std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count();
    char line[96];
    const int n = std::snprintf(line, sizeof line, "present %s 0 %lld\n", what, static_cast<long long>(mono));
    if (n > 0 && write(traceFd, line, static_cast<size_t>(n)) < 0) traceFd = -1;
}

SDL_Window* openWindow(const char* caption, int w, int h) {
    SDL_Window* win = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h, SDL_WINDOW_SHOWN);
    if (!win) return nullptr;
    SDL_Surface* s = SDL_GetWindowSurface(win);
    if (s) {
        SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0x33, 0x66));
        SDL_UpdateWindowSurface(win);
    }
    return win;
}

}  // namespace

int main(int, char**) {
    if (const char* fd = std::getenv("AZ_TRACE_FD")) traceFd = std::atoi(fd);
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "bare-window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* first = openWindow("Intro", 374, 393);
    if (!first) return 1;
    trace("Intro");
    SDL_Window* second = openWindow("Menu", 382, 424);
    if (!second) return 1;
    trace("Menu");
    SDL_Event ev;
    while (SDL_WaitEvent(&ev))
        if (ev.type == SDL_QUIT) break;
    SDL_DestroyWindow(second);
    SDL_DestroyWindow(first);
    SDL_Quit();
    return 0;
}
