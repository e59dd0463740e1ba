// What the runtime needs from a window system. The runtime owns the scenes;
// the window system owns the windows and feeds input back to the runtime.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "runtime/description.h"

namespace az {

using WindowId = int;

class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // A new window, hidden, centred on the screen.
    virtual WindowId createWindow(const std::string& scene, const WindowDesc& w) = 0;
    virtual void destroyWindow(WindowId id) = 0;
    // Visible, on top of the others and active.
    virtual void showWindow(WindowId id) = 0;
    virtual void hideWindow(WindowId id) = 0;
    // Something on the window changed; repaint at the next frame.
    virtual void invalidate(WindowId id) = 0;
    // A fatal run-time error: tell the player.
    virtual void fatalError(const std::string& message) = 0;
};

// A window system without a display, for tests and scripts. It keeps the
// windows' state so that tests can look at it.
class HeadlessWindowSystem : public WindowSystem {
public:
    struct Window {
        std::string scene;
        WindowDesc desc;
        bool visible = false;
        int dirty = 0;
    };

    WindowId createWindow(const std::string& scene, const WindowDesc& w) override {
        WindowId id = next_++;
        windows_[id] = Window{scene, w, false, 1};
        return id;
    }
    void destroyWindow(WindowId id) override {
        windows_.erase(id);
        std::erase(zorder_, id);
    }
    void showWindow(WindowId id) override {
        windows_.at(id).visible = true;
        std::erase(zorder_, id);
        zorder_.push_back(id);
    }
    void hideWindow(WindowId id) override { windows_.at(id).visible = false; }
    void invalidate(WindowId id) override { windows_.at(id).dirty++; }
    void fatalError(const std::string& message) override { errors.push_back(message); }

    const std::map<WindowId, Window>& windows() const { return windows_; }
    // The scene of the topmost visible window, or empty.
    std::string topScene() const {
        for (auto it = zorder_.rbegin(); it != zorder_.rend(); ++it)
            if (windows_.at(*it).visible) return windows_.at(*it).scene;
        return {};
    }

    std::vector<std::string> errors;

private:
    WindowId next_ = 1;
    std::map<WindowId, Window> windows_;
    std::vector<WindowId> zorder_;  // bottom to top
};

}  // namespace az
