#include "runtime/sdl/process.h"

#include <SDL.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/shm.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

namespace az {

namespace {

// The process that forks, seen from the child.
thread_local pid_t forking = 0;

void beforeFork() { forking = ::getpid(); }

void inForkedChild() {
    // Dies with the game; if the game is gone already, at once.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != forking) ::_exit(1);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

// The game keeps nothing between runs and writes nothing: on SIGTERM or
// SIGINT it ends at once, whatever its loop is doing (a handler, the
// fatal-error box that SDL shows from a forked child and waits for). The X
// server, the sound server and the kernel take back what it held.
void watchSignals(sigset_t set) {
    int sig = 0;
    while (::sigwait(&set, &sig) != 0) {
    }
    ::_exit(128 + sig);
}

// With no session bus in the environment libdbus would run dbus-launch to
// start one (SDL asks for the bus for its screen saver and input methods).
// The game needs none: it is told that there is none.
void keepOffSessionBus() {
    if (const char* a = std::getenv("DBUS_SESSION_BUS_ADDRESS"); a && *a) return;
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run) {
        // The bus libdbus would find by itself.
        struct stat st {};
        if (::stat((std::string(run) + "/bus").c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) return;
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

bool userChoseDriver() {
    const char* d = std::getenv("SDL_VIDEODRIVER");
    return d && *d;
}

}  // namespace

void guardProcess() {
    keepOffSessionBus();
    ::pthread_atfork(beforeFork, nullptr, inForkedChild);
    // Signals go to one thread of ours, and SDL leaves them alone.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread(watchSignals, set).detach();
}

std::optional<std::string> displayMissing() {
    if (userChoseDriver()) return std::nullopt;
    auto set = [](const char* var) {
        const char* v = std::getenv(var);
        return v && *v;
    };
    if (set("WAYLAND_DISPLAY")) return std::nullopt;
    if (!set("DISPLAY")) return "no display: DISPLAY is not set; the game needs a desktop to show its windows";
    // X11 alone: when it cannot be opened SDL would try Wayland, whose
    // library says so on stderr, and then drivers that show nothing.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    return std::nullopt;
}

std::optional<std::string> displayInvisible() {
    if (userChoseDriver()) return std::nullopt;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) return std::nullopt;
    const char* display = std::getenv("DISPLAY");
    return std::string("no display: cannot open the display ") + (display ? display : "") +
           "; the game needs a desktop to show its windows";
}

}  // namespace az

// SDL presents each window's picture through MIT-SHM segments that it
// makes readable and writable by every user (mode 0777). The game's
// segments are its own: whatever asks for one gets it for this user only.
// The X server attaches them with the game's own rights; where it cannot,
// SDL presents without shared memory.
extern "C" int shmget(key_t key, size_t size, int flags) {
    return static_cast<int>(::syscall(SYS_shmget, key, size, (flags & ~0777) | (flags & 0600)));
}
