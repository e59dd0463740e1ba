// The SDL2 window system: one window per loaded scene, input routed to the
// runtime in client pixels, each scene painted by the painter and presented.
#pragma once

#include <SDL.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "runtime/picture.h"
#include "runtime/runtime.h"

namespace az {

class SdlWindowSystem : public WindowSystem {
public:
    SdlWindowSystem();
    ~SdlWindowSystem() override;

    void attach(Runtime& rt) { rt_ = &rt; }
    // Cursors and icons come from the asset catalogue.
    void setImageSource(std::function<std::optional<CursorImage>(int asset, int size)> f) {
        images_ = std::move(f);
    }
    // The display scale: windows are this many times their size in the
    // window table and painted at it; input comes back in logical pixels.
    // Set before the first window.
    void setScale(double s) { scale_ = s; }
    double scale() const { return scale_; }
    // Xft.dpi of the display's X resources, if the desktop sets it.
    static std::optional<double> desktopDpi();
    // Something that animates (movies, banners) asks to be woken this often.
    void setFrameInterval(std::function<int()> f) { frameInterval_ = std::move(f); }

    WindowId createWindow(const std::string& scene, const WindowDesc& w) override;
    void destroyWindow(WindowId id) override;
    void showWindow(WindowId id) override;
    void hideWindow(WindowId id) override;
    void invalidate(WindowId id) override;
    void fatalError(const std::string& message) override;

    // Runs the game until it ends: sleeps in the event wait until the next
    // timer tick or input, delivers it, repaints what changed.
    void run(Clock& clock);
    // Runs for a while (scripts in real windows), or until the game ends.
    void runFor(Clock& clock, int64_t ms);
    // Handles what is pending without waiting and repaints.
    void pump(Clock& clock) { runFor(clock, 0); }
    void repaintAll();
    // The SDL window of a scene's window, for tests; null when it has none.
    SDL_Window* sdlWindow(WindowId id) {
        Window* w = byId(id);
        return w ? w->sdl : nullptr;
    }

private:
    struct Window {
        std::string scene;
        SDL_Window* sdl = nullptr;
        bool dirty = true;
        bool visible = false;
        bool placed = false;  // centred once, when first shown
    };

    Window* byId(WindowId id);
    Window* bySdlId(Uint32 id);
    std::optional<std::pair<WindowId, SDL_Point>> windowUnder(SDL_Point global);
    // A point of a window's client area on the screen.
    static SDL_Point globalPoint(SDL_Window* win, int x, int y);
    void handle(const SDL_Event& ev);
    void present(WindowId id, Window& w);
    void updateCursor(const std::string& scene, int x, int y);
    void step(Clock& clock, int64_t until);
    void applyX11Hints(SDL_Window* win);
    static void centre(SDL_Window* win);
    void showToolTip(const std::string& text, SDL_Point at);
    void trace(const std::string& scene);
    void hideToolTip();

    // The pointer at rest shows the tooltip of what lies under it.
    struct Rest {
        std::string scene;
        int x = 0, y = 0;  // logical pixels
        Uint32 since = 0;
        bool shown = false;
    };
    Rest rest_;
    SDL_Window* tip_ = nullptr;

    Runtime* rt_ = nullptr;
    std::map<WindowId, Window> windows_;
    std::vector<WindowId> zorder_;  // bottom to top, as we raised them
    WindowId next_ = 1;
    std::function<std::optional<CursorImage>(int, int)> images_;
    std::function<int()> frameInterval_;
    std::map<int, SDL_Cursor*> cursors_;
    SDL_Cursor* arrow_ = nullptr;
    int currentCursor_ = -1;
    double scale_ = 1.0;
    std::string dragWindowScene_;
    const Clock* clock_ = nullptr;  // the loop's, for the trace
    int traceFd_ = -1;
};

}  // namespace az
