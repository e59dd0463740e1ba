// The game's process under a real X server: SIGTERM ends it within half a
// second whatever it is doing (a dense tune, a compressed movie bomb, the
// fatal-error box up), SIGKILL too leaves nothing behind, and without a
// display it says so and ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

#include "runtime/sdl/process.h"
#include "runtime/sdl/sdl_window_system.h"
#include "support/bad_media.h"

namespace az {
namespace {

namespace fs = std::filesystem;
using namespace az::testing;
using Clock = std::chrono::steady_clock;

const fs::path kProgram(AZ_PROGRAM_DIR);

// The processes under PID, its children and theirs.
void descendants(pid_t pid, std::set<pid_t>& out) {
    std::error_code ec;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::ifstream in(task.path() / "children");
        for (pid_t child; in >> child;)
            if (out.insert(child).second) descendants(child, out);
    }
}

bool gone(pid_t pid) {
    // Orphans come to us (we are their subreaper): reap them when they die.
    ::waitpid(pid, nullptr, WNOHANG);
    return ::kill(pid, 0) != 0;
}

// A process of the game, started from its own folder.
struct Running {
    pid_t pid = -1;
    std::string what;
    Clock::time_point started;
};

// How it ended: its status, how long after the signal, and what it left.
struct Ending {
    int status = 0;
    std::chrono::milliseconds took{};
    std::set<pid_t> left;
};

Ending endWith(const Running& r, int sig) {
    std::set<pid_t> family;
    descendants(r.pid, family);
    const auto sent = Clock::now();
    ::kill(r.pid, sig);
    Ending e;
    // Only a guard against a hang: the bound itself is checked below.
    while (::waitpid(r.pid, &e.status, WNOHANG) != r.pid) {
        if (Clock::now() - sent > std::chrono::seconds(10)) {
            ::kill(r.pid, SIGKILL);
            ::waitpid(r.pid, &e.status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    e.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent);
    // What it started goes with it (dying may take a moment under load).
    const auto ended = Clock::now();
    for (pid_t p : family) {
        while (!gone(p) && Clock::now() - ended < std::chrono::seconds(2))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!gone(p)) {
            e.left.insert(p);
            ::kill(p, SIGKILL);
            ::waitpid(p, nullptr, 0);
        }
    }
    return e;
}

class Process : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::prctl(PR_SET_CHILD_SUBREAPER, 1); }
    static void TearDownTestSuite() { fs::remove_all(AZ_SCRATCH); }
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server";
    }

    // The game in a folder of its own beside the build, with FILE replaced.
    Running game(const std::string& what, const std::string& file, const std::string& bytes,
                 const char* audioDriver) {
        const fs::path dir = fs::path(AZ_SCRATCH) / std::to_string(folders_++);
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::error_code ec;
        fs::create_hard_link(AZ_GAME, dir / "agent-zaza", ec);
        if (ec) fs::copy_file(AZ_GAME, dir / "agent-zaza");
        fs::create_directory_symlink(kProgram / "assets", dir / "assets");
        for (const char* f : {"intro.swf", "outro.swf", "01.mid", "02.mid", "03.mid"})
            if (f != file) fs::copy_file(kProgram / f, dir / f, ec);
        spit(dir / file, bytes);
        Running r{-1, what, Clock::now()};
        r.pid = ::fork();
        if (r.pid == 0) {
            ::setenv("SDL_AUDIODRIVER", audioDriver, 1);
            const std::string exe = (dir / "agent-zaza").string();
            ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return r;
    }

    // A process showing the fatal-error box, as the game does.
    static Running errorBox() {
        Running r{-1, "the fatal-error box", Clock::now()};
        r.pid = ::fork();
        if (r.pid == 0) {
            guardProcess();
            SdlWindowSystem ws;
            ws.fatalError("Run-time error: a test");
            ::_exit(0);
        }
        return r;
    }

    int folders_ = 0;
};

// Half a second from the signal to the end. Built with AddressSanitizer
// the game is several times bigger, and giving all that memory back takes
// the kernel longer.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kEndMs = 2 * 500;
#else
constexpr int kEndMs = 500;
#endif

void expectEndsAtOnce(const Running& r, int sig) {
    SCOPED_TRACE(r.what);
    ASSERT_GT(r.pid, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(r.pid, &status, WNOHANG), 0) << "it has ended by itself, status " << status;
    Ending e = endWith(r, sig);
    EXPECT_LE(e.took.count(), kEndMs) << "ms from the signal to the end";
    EXPECT_TRUE(WIFSIGNALED(e.status) || WIFEXITED(e.status));
    EXPECT_TRUE(e.left.empty()) << e.left.size() << " processes of the game left behind";
}

void sleepUntil(Clock::time_point t) { std::this_thread::sleep_until(t); }

TEST_F(Process, SigtermEndsTheGameAtOnceWhateverItDoes) {
    for (const char* f : {"intro.swf", "01.mid"})
        if (!fs::exists(kProgram / f)) GTEST_SKIP() << "the build has not made " << f;
    // All at once: the tunes play only when the menu comes, after 20 s.
    const std::string bomb = cwsBomb(64u << 20);
    Running inflating = game("the movie bomb inflating", "intro.swf", bomb, "dummy");
    Running bombed = game("the movie bomb loaded", "intro.swf", bomb, "dummy");
    Running million = game("a million notes, audio device", "01.mid", millionNotes(), "dummy");
    Running dense = game("a dense chord, audio device", "01.mid", chord(240000), "dummy");
    Running mute = game("a dense chord, no audio device", "01.mid", chord(240000), "no-such-driver");
    Running box = errorBox();

    sleepUntil(inflating.started + std::chrono::milliseconds(150));
    expectEndsAtOnce(inflating, SIGTERM);
    sleepUntil(bombed.started + std::chrono::seconds(3));
    expectEndsAtOnce(bombed, SIGTERM);
    sleepUntil(box.started + std::chrono::seconds(3));
    expectEndsAtOnce(box, SIGTERM);
    // The menu came at 19998 ms and plays what it can.
    for (Running* r : {&million, &dense, &mute}) {
        sleepUntil(r->started + std::chrono::seconds(22));
        expectEndsAtOnce(*r, SIGTERM);
    }
}

TEST_F(Process, SigkillLeavesNoErrorBoxBehind) {
    Running box = errorBox();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    std::set<pid_t> family;
    descendants(box.pid, family);
    EXPECT_FALSE(family.empty()) << "the box is shown by a child";
    expectEndsAtOnce(box, SIGKILL);
}

TEST_F(Process, WithoutADisplayOneLineAndExitOne) {
    if (!fs::exists(AZ_GAME)) GTEST_SKIP();
    struct Case {
        const char* display;
    } cases[] = {{nullptr}, {":9999"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.display ? c.display : "no DISPLAY");
        const std::string err = (fs::path(AZ_SCRATCH) / "no-display.txt").string();
        fs::create_directories(AZ_SCRATCH);
        const auto start = Clock::now();
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (c.display) ::setenv("DISPLAY", c.display, 1);
            else ::unsetenv("DISPLAY");
            ::unsetenv("WAYLAND_DISPLAY");
            ::unsetenv("SDL_VIDEODRIVER");
            ::setenv("SDL_AUDIODRIVER", "dummy", 1);
            std::freopen(err.c_str(), "w", stderr);
            ::execl(AZ_GAME, AZ_GAME, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        while (::waitpid(pid, &status, WNOHANG) != pid) {
            if (Clock::now() - start > std::chrono::seconds(2)) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                ADD_FAILURE() << "still running after 2 s";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
        const std::string said = slurp(err);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("display"), std::string::npos) << said;
    }
}

}  // namespace
}  // namespace az
