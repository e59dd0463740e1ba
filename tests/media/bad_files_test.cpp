// The whole game, headless, with one of the five files it reads put wrong
// in every way a player, a packager or someone hostile might: each run
// keeps its schedule, stays small and says in one line what is wrong.
//
// Each case runs in a child process, so that a hang is a failure (the child
// is killed) and its peak memory can be read when it ends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <thread>

#include "assets/catalogue.h"
#include "media/media.h"
#include "runtime/script.h"
#include "scenes/scenes.h"
#include "support/bad_media.h"

namespace az {
namespace {

namespace fs = std::filesystem;
using namespace az::testing;

const fs::path kProgram(AZ_PROGRAM_DIR);
const char* const kFiles[] = {"intro.swf", "outro.swf", "01.mid", "02.mid", "03.mid"};

fs::path scratch() {
    static fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("az-bad-files-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

class Cleanup : public ::testing::Environment {
public:
    void TearDown() override { fs::remove_all(scratch()); }
};
[[maybe_unused]] ::testing::Environment* const cleanup = ::testing::AddGlobalTestEnvironment(new Cleanup);

// ----------------------------------------------------------- the cases

// What a case puts in place of the file.
struct Case {
    std::string what;
    std::function<void(const fs::path&)> make;
    // What the one log line says (besides the file's name); empty when the
    // file plays and no line is written.
    std::string says;
    bool record = false;  // with a recording: checks that it sounds
};

std::vector<Case> cases(const std::string& file) {
    const bool midi = file.ends_with(".mid");
    const std::string good = slurp(kProgram / file);
    const std::string other = slurp(kProgram / (midi ? "intro.swf" : "01.mid"));
    std::vector<Case> c = {
        {"missing", [](const fs::path&) {}, "missing"},
        {"empty", [](const fs::path& p) { spit(p, ""); }, "empty"},
        {"cut short", [good](const fs::path& p) { spit(p, good.substr(0, good.size() / 2)); }, "truncated"},
        {"random bytes", [good](const fs::path& p) { spit(p, randomBytes(good.size(), 7)); }, "not a"},
        {"the wrong kind", [other](const fs::path& p) { spit(p, other); }, "not a"},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, "folder"},
        {"a named pipe", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }, "named pipe"},
        {"a link to /dev/zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, "device"},
        {"a link to /dev/urandom", [](const fs::path& p) { fs::create_symlink("/dev/urandom", p); }, "device"},
        {"too big", [](const fs::path& p) { fs::resize_file((std::ofstream(p), p), (64u << 20) + 1); }, "too big"},
    };
    if (midi) {
        c.push_back({"an absurd header", [good](const fs::path& p) {
                         std::string b = good;
                         b[10] = b[11] = char(0xFF);  // 65535 tracks
                         spit(p, b);
                     }, "tracks"});
        c.push_back({"a million notes", [](const fs::path& p) { spit(p, millionNotes()); }, "events"});
        c.push_back({"5000 tracks", [](const fs::path& p) { spit(p, manyTracks()); }, "5000 tracks"});
        c.push_back({"no note", [](const fs::path& p) { spit(p, midiFile(0, 1, 480, notes(0, 0))); }, "no note"});
        c.push_back({"SMPTE time", [](const fs::path& p) { spit(p, smpteTune()); }, "", true});
    } else {
        c.push_back({"an absurd header", [good](const fs::path& p) {
                         std::string b = good;
                         b[4] = b[5] = b[6] = b[7] = char(0xFF);  // 4 GiB
                         spit(p, b);
                     }, "truncated"});
        c.push_back({"compressed, declaring 4 GiB", [](const fs::path& p) { spit(p, cwsBomb(0xFFFFFFFFu)); },
                     "more than 64 MiB"});
        c.push_back({"compressed, zeros up to the cap", [](const fs::path& p) { spit(p, cwsBomb(64u << 20)); },
                     "FFmpeg"});
        c.push_back({"FWS and random bytes", [](const fs::path& p) {
                         std::string b = "FWS\x0A";
                         uint32_t n = (1u << 20) + 8;
                         for (int i = 0; i < 4; ++i) b += char((n >> (8 * i)) & 0xFF);
                         spit(p, b + randomBytes(1u << 20, 11));
                     }, "nothing"});
    }
    return c;
}

// ------------------------------------------------------ running the game

// The game as the driver runs it: headless, the sound mixed with game time.
class Game : public HeadlessHost {
public:
    Game() : HeadlessHost(gameScenes()) {}
    void setMedia(MediaSystem* m) { media_ = m; }
    void wait(int64_t ms) override {
        HeadlessHost::wait(ms);
        if (media_) media_->advanceTo(clock().now());
    }

private:
    MediaSystem* media_ = nullptr;
};

// The script each file is tried with: the intro for exactly 19998 ms, then
// the menu; the tunes 2 and 3 are chosen in the options; the end movie
// runs its 7000 ms. SOUNDS: the tune is expected to be heard.
std::string scriptFor(const std::string& file, bool sounds) {
    std::string s = "wait 19997\nexpect Form1 shown\nwait 1\nexpect Form1 unloaded\nexpect Form2 shown\n";
    if (file == "02.mid" || file == "03.mid")
        s += std::string("click Form2.Image5\nclick Options.Option") + file[1] + "\nclick Options.Label4\n";
    if (file.ends_with(".mid")) {
        s += "wait 1500\nexpect music " + (sounds ? file : std::string("none")) + "\n";
        if (sounds) s += "expect sound loud 1000\nwait 1000\nexpect sound silent 400\nexpect music none\n";
    }
    s += "wait 3000\nexpect Form2 shown\n";
    return s;
}

// The game stays small whatever the file: 40 to 120 MB resident at its
// peak. AddressSanitizer adds its shadow and keeps freed memory aside.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kMaxResidentKb = 2 * 200 * 1024;
#else
constexpr long kMaxResidentKb = 200 * 1024;
#endif

// The child is this program again, told what to run by its environment,
// reporting on a file descriptor of its own.
constexpr const char* kChildVar = "AZ_BAD_FILES_GAME";
constexpr int kReportFd = 9;

// Runs in the child: writes what happened to FD, one item a line.
[[noreturn]] void runGame(const fs::path& folder, const std::string& file, bool record, int fd) {
    std::string report;
    try {
        Catalogue pictures((kProgram / "assets").string());
        Game game;
        MediaOptions o;
        o.audio = MediaOptions::Audio::Offline;
        if (record) o.wavOut = (folder / "out.wav").string();
        if (fs::exists("/usr/share/sounds/sf2/TimGM6mb.sf2")) o.soundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
        MediaSystem media(game.clock(), o);
        media.setLogSink([&](MediaSystem::LogLevel l, const std::string& m) {
            if (l == MediaSystem::LogLevel::Problem) report += "line " + m + "\n";
        });
        game.setMedia(&media);
        media.attach(game.runtime());
        Runtime& rt = game.runtime();
        rt.setProgramFolder(folder.string());
        rt.setPictures(&pictures);
        rt.start();
        ScriptRunner runner(game);
        addMediaExpectations(runner, media);
        std::istringstream script(scriptFor(file, record));
        ScriptResult r = runner.run(script);
        if (r.exitCode) report += "script " + r.message + "\n";
        if (file == "outro.swf") {
            rt.dispatch([&] { rt.scene("theend").show(); });
            std::istringstream end("wait 6999\nexpect theend shown\nwait 1\nexpect theend unloaded\nexpect Form3 shown\n");
            if (ScriptResult e = runner.run(end); e.exitCode) report += "script " + e.message + "\n";
        }
        if (!rt.error().empty()) report += "script run-time error " + rt.error() + "\n";
    } catch (const std::exception& e) {
        report += std::string("script exception ") + e.what() + "\n";
    }
    report += "done\n";
    for (size_t at = 0; at < report.size();) {
        ssize_t n = ::write(fd, report.data() + at, report.size() - at);
        if (n <= 0) break;
        at += size_t(n);
    }
    ::_exit(0);
}

struct Outcome {
    bool finished = false;
    long maxRssKb = 0;
    std::vector<std::string> lines, failures;
};

// Forks the game; kills it when it has not ended within the guard time.
Outcome tryFile(const fs::path& folder, const std::string& file, const Case& c) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return {};
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A fresh process: its memory is the game's alone.
        ::dup2(fds[1], kReportFd);
        ::setenv(kChildVar, (folder.string() + "\n" + file + "\n" + (c.record ? "1" : "0")).c_str(), 1);
        ::execl("/proc/self/exe", "az_bad_files_tests", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
    std::string out;
    Outcome o;
    // Only a guard against a hang: a run takes a second or two.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    int status = 0;
    struct rusage use {};
    for (;;) {
        char buf[4096];
        ssize_t n;
        while ((n = ::read(fds[0], buf, sizeof buf)) > 0) out.append(buf, size_t(n));
        if (::wait4(pid, &status, WNOHANG, &use) == pid) break;
        if (std::chrono::steady_clock::now() > until) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &use);
            o.failures.push_back("hangs: killed after 120 s");
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0) out.append(buf, size_t(n));
    ::close(fds[0]);
    o.maxRssKb = use.ru_maxrss;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        if (line == "done") o.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        else if (line.starts_with("line ")) o.lines.push_back(line.substr(5));
        else if (line.starts_with("script ")) o.failures.push_back(line.substr(7));
    }
    return o;
}

TEST(BadFiles, EveryFileEveryWayTheGameKeepsItsScheduleStaysSmallSaysOneLine) {
    for (const char* f : kFiles)
        if (!fs::exists(kProgram / f)) GTEST_SKIP() << "the build has not made " << f;
    int n = 0;
    for (const std::string file : kFiles) {
        for (const Case& c : cases(file)) {
            SCOPED_TRACE(file + " " + c.what);
            const fs::path folder = scratch() / std::to_string(n++);
            fs::create_directories(folder);
            fs::create_directory_symlink(kProgram / "assets", folder / "assets");
            for (const char* g : kFiles)
                if (g != file) fs::copy_file(kProgram / g, folder / g);
            c.make(folder / file);
            Outcome o = tryFile(folder, file, c);
            EXPECT_TRUE(o.finished) << "the game did not run to its end";
            for (const std::string& f : o.failures) ADD_FAILURE() << f;
            EXPECT_LT(o.maxRssKb, kMaxResidentKb) << "peak resident memory in KB";
            if (c.says.empty()) {
                EXPECT_TRUE(o.lines.empty()) << o.lines.front();
            } else {
                EXPECT_EQ(o.lines.size(), 1u) << (o.lines.empty() ? "no line" : o.lines.back());
                if (!o.lines.empty()) {
                    EXPECT_NE(o.lines[0].find(file), std::string::npos) << o.lines[0];
                    EXPECT_NE(o.lines[0].find(c.says), std::string::npos) << o.lines[0];
                }
            }
            fs::remove_all(folder);
        }
    }
}

}  // namespace
}  // namespace az

int main(int argc, char** argv) {
    if (const char* game = std::getenv(az::kChildVar)) {
        std::istringstream in(game);
        std::string folder, file, record;
        std::getline(in, folder);
        std::getline(in, file);
        std::getline(in, record);
        az::runGame(folder, file, record == "1", az::kReportFd);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
