// The media components on small scenes: the menu's MIDI call sequence heard
// in the recorded output, the movie player's frames and sound, the banner's
// frames, and bad files of every kind.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "media/internal.h"
#include "media/media.h"
#include "runtime/painter.h"
#include "runtime/script.h"

namespace az {
namespace {

namespace fs = std::filesystem;

// ------------------------------------------------------------- fixtures

fs::path scratchDir() {
    static fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("az-media-test-" + std::to_string(::getpid()));
        fs::create_directories(d / "assets");
        return d;
    }();
    return dir;
}

// The scratch folder goes when the tests end, unless AZ_TEST_OUT is set
// (the folder for test output to look at): then its pictures and
// recordings stay.
class ScratchCleanup : public ::testing::Environment {
public:
    void TearDown() override {
        if (std::getenv("AZ_TEST_OUT"))
            std::printf("media test files kept in %s\n", scratchDir().c_str());
        else
            fs::remove_all(scratchDir());
    }
};
[[maybe_unused]] ::testing::Environment* const cleanup = ::testing::AddGlobalTestEnvironment(new ScratchCleanup);

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void spit(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

// A format 0 MIDI file at 120 bpm, 480 ticks a beat (1 tick = 1/960 s):
// a flute playing A4 for 0.5 s, then D#4 for 0.5 s, then the end.
std::string testTune() {
    std::string t;
    auto var = [&t](uint32_t v) {
        std::string s(1, char(v & 0x7F));
        while (v >>= 7) s.insert(s.begin(), char(0x80 | (v & 0x7F)));
        t += s;
    };
    auto ev = [&](uint32_t delta, std::initializer_list<int> bytes) {
        var(delta);
        for (int b : bytes) t += char(b);
    };
    ev(0, {0xFF, 0x51, 3, 0x07, 0xA1, 0x20});  // 500000 us a beat
    ev(0, {0xC0, 73});                           // flute
    ev(0, {0x90, 69, 110});
    ev(480, {0x80, 69, 0});
    ev(0, {0x90, 63, 110});
    ev(480, {0x80, 63, 0});
    ev(0, {0xFF, 0x2F, 0});
    std::string f = "MThd";
    f += std::string("\0\0\0\6\0\0\0\1\1\xE0", 10);
    f += "MTrk";
    uint32_t n = uint32_t(t.size());
    f += char(n >> 24);
    f += char(n >> 16);
    f += char(n >> 8);
    f += char(n);
    return f + t;
}

bool run(const std::string& cmd) { return std::system((cmd + " >/dev/null 2>&1").c_str()) == 0; }

// A 64 x 48 movie at 10 fps: 5 red frames, 5 green, 5 blue, with a 660 Hz
// tone for its 1.5 s; made with FFmpeg the way our movie tools make them.
const std::string& testMovie() {
    static std::string bytes = [] {
        fs::path out = scratchDir() / "fixture.swf";
        std::string cmd =
            "ffmpeg -y -v error -f lavfi -i color=c=red:s=64x48:r=10:d=0.5 -f lavfi -i color=c=lime:s=64x48:r=10:d=0.5 "
            "-f lavfi -i color=c=blue:s=64x48:r=10:d=0.5 -f lavfi -i sine=f=660:r=44100:d=1.5 "
            "-filter_complex [0:v][1:v][2:v]concat=n=3:v=1:a=0[v] -map [v] -map 3:a "
            "-c:v flv -q:v 2 -c:a libmp3lame -b:a 64k -f swf " + out.string();
        if (!run(cmd)) return std::string();
        return slurp(out);
    }();
    return bytes;
}

// The same movie as a zlib-compressed SWF.
std::string compressed(const std::string& fws) {
    uLongf cap = compressBound(uLong(fws.size() - 8));
    std::string body(cap, '\0');
    compress2(reinterpret_cast<Bytef*>(body.data()), &cap, reinterpret_cast<const Bytef*>(fws.data() + 8),
              uLong(fws.size() - 8), 9);
    body.resize(cap);
    std::string cws = fws.substr(0, 8);
    cws[0] = 'C';
    return cws + body;
}

// A 468 x 60 banner: frame 0 in columns of colour, frames 1 to 18 each a
// band of rows 10 to 49 of one grey level, with a transparent hole at the
// left where frame 0 must show through.
const std::string& testBanner() {
    static std::string bytes = [] {
        fs::path d = scratchDir() / "banner";
        fs::create_directories(d);
        std::string args = "/usr/bin/convert -dispose none -delay 10 -loop 0 ";
        if (!run("/usr/bin/convert -size 60x468 gradient:red-yellow -rotate 90 " + (d / "f0.png").string()))
            return std::string();
        args += (d / "f0.png").string();
        for (int i = 1; i < 19; ++i) {
            fs::path f = d / ("f" + std::to_string(i) + ".png");
            int g = 10 * i;
            std::string c = "rgb(0," + std::to_string(g) + "," + std::to_string(255 - g) + ")";
            if (!run("/usr/bin/convert -size 468x40 xc:'" + c + "' -alpha set -region 20x40+0+0 -alpha transparent " +
                     f.string()))
                return std::string();
            args += " ( " + f.string() + " -repage 468x60+0+10 )";
        }
        fs::path out = d / "banner.gif";
        std::string cmd = args + " " + out.string();
        // Parentheses for the shell.
        std::string quoted;
        for (char ch : cmd) quoted += (ch == '(' || ch == ')') ? std::string("\\") + ch : std::string(1, ch);
        if (!run(quoted)) return std::string();
        return slurp(out);
    }();
    return bytes;
}

// ------------------------------------------------------------ recordings

struct Wav {
    std::vector<float> s;  // interleaved stereo
    int rate = 0;
    bool load(const fs::path& p) {
        std::string b = slurp(p);
        if (b.size() < 44 || b.compare(0, 4, "RIFF") || b.compare(8, 4, "WAVE")) return false;
        rate = int(uint8_t(b[24]) | uint8_t(b[25]) << 8 | uint8_t(b[26]) << 16);
        uint32_t n = uint8_t(b[40]) | uint8_t(b[41]) << 8 | uint8_t(b[42]) << 16 | uint32_t(uint8_t(b[43])) << 24;
        if (n > b.size() - 44) return false;
        s.resize(n / 2);
        for (size_t i = 0; i < s.size(); ++i) {
            int16_t v = int16_t(uint8_t(b[44 + 2 * i]) | uint8_t(b[45 + 2 * i]) << 8);
            s[i] = v / 32768.0f;
        }
        return true;
    }
    size_t frames() const { return s.size() / 2; }
    size_t at(double ms) const { return std::min(frames(), size_t(ms * rate / 1000.0)); }
    double rms(double fromMs, double toMs) const {
        double sum = 0;
        size_t a = at(fromMs), b = at(toMs);
        for (size_t i = a; i < b; ++i) sum += double(s[2 * i]) * s[2 * i];
        return b > a ? std::sqrt(sum / double(b - a)) : 0;
    }
    // Magnitude of one frequency in a stretch (Goertzel), left channel.
    double tone(double hz, double fromMs, double toMs) const {
        size_t a = at(fromMs), b = at(toMs);
        double k = 2 * std::cos(2 * M_PI * hz / rate), s1 = 0, s2 = 0;
        for (size_t i = a; i < b; ++i) {
            double s0 = s[2 * i] + k * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        return b > a ? std::sqrt(s1 * s1 + s2 * s2 - k * s1 * s2) / double(b - a) : 0;
    }
};

// --------------------------------------------------------------- a stage

SceneDef testScene(const std::string& name) {
    SceneDef d;
    d.desc.window = WindowDesc{name, name, 6000, 3000, Border::FixedSingle, 0, 0x00663300, 0, true};
    return d;
}

// A menu that opens its tune the way the game's menu does, and closes it
// on unload; a timer of 500 ms counts its ticks.
SceneDef menuScene(std::string file, int* ticks) {
    SceneDef d = testScene("Menu");
    d.desc.controls = {midiControl("MMControl1").at(1200, 5760, 3540, 330), timer("Timer1", 500)};
    d.onLoad([file](Runtime& rt, const SceneRef&, const Event&) {
        ControlRef m = rt.scene("Menu").control("MMControl1");
        m.set("Notify", false);
        m.set("Wait", true);
        m.set("Shareable", false);
        m.set("DeviceType", std::string("Sequencer"));
        m.set("FileName", rt.programPath(file));
        m.set("Command", std::string("Open"));
        m.set("Command", std::string("Play"));
    });
    d.onUnload([](Runtime& rt, const SceneRef&, const Event&) {
        rt.scene("Menu").control("MMControl1").set("Command", std::string("Close"));
    });
    d.on("Timer1", EventKind::Timer, [ticks](Runtime&, const SceneRef&, const Event&) { ++*ticks; });
    return d;
}

// A scene playing a movie from its Load, the way the intro does.
SceneDef movieScene(std::string file, int* ticks, std::string back = "003366") {
    SceneDef d = testScene("Intro");
    d.desc.controls = {timer("Timer1", 500), moviePlayer("mov1").at(0, 0, 2400, 900).movieBack(back)};
    d.onLoad([file](Runtime& rt, const SceneRef&, const Event&) {
        ControlRef m = rt.scene("Intro").control("mov1");
        m.set("Movie", rt.programPath(file));
        m.call("Play");
    });
    d.on("Timer1", EventKind::Timer, [ticks](Runtime&, const SceneRef&, const Event&) { ++*ticks; });
    return d;
}

SceneDef bannerScene(int* ticks) {
    SceneDef d = testScene("Credits");
    d.desc.controls = {aniGif("AniGIF1").at(1440, 600, 6855, 975).pic(45).back(0x00C0C0C0).cursor(11),
                       timer("Timer1", 500)};
    d.on("Timer1", EventKind::Timer, [ticks](Runtime&, const SceneRef&, const Event&) { ++*ticks; });
    return d;
}

// A headless game with the media recording into a WAV file.
struct Stage {
    HeadlessHost host;
    std::unique_ptr<MediaSystem> media;
    std::vector<std::string> problems, notes;
    fs::path wav;

    Stage(std::vector<SceneDef> defs, const std::string& wavName = "", std::string soundfont = "")
        : host(withDesk(std::move(defs))) {
        MediaOptions o;
        o.audio = MediaOptions::Audio::Offline;
        if (!wavName.empty()) {
            wav = scratchDir() / wavName;
            o.wavOut = wav.string();
        }
        // The small soundfont keeps the tests quick; the game prefers FluidR3.
        o.soundfont = soundfont;
        if (soundfont.empty() && fs::exists("/usr/share/sounds/sf2/TimGM6mb.sf2"))
            o.soundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
        media = std::make_unique<MediaSystem>(host.clock(), o);
        media->setLogSink([this](MediaSystem::LogLevel l, const std::string& m) {
            (l == MediaSystem::LogLevel::Problem ? problems : notes).push_back(m);
        });
        media->attach(host.runtime());
        host.runtime().setProgramFolder(scratchDir().string());
    }
    // A plain scene stays shown under the one tested, so that hiding that
    // one does not end the game.
    static std::vector<SceneDef> withDesk(std::vector<SceneDef> defs) {
        defs.push_back(testScene("Desk"));
        return defs;
    }
    void start(const std::string& scene) {
        rt().start("Desk");
        rt().dispatch([&] { rt().scene(scene).show(); });
    }
    Runtime& rt() { return host.runtime(); }
    void wait(int64_t ms) {
        host.wait(ms);
        media->advanceTo(host.clock().now());
    }
    Component* component(const std::string& scene, const std::string& control) {
        const Scene* s = rt().find(scene);
        if (!s || !s->isLoaded()) return nullptr;
        const Control* c = s->find(control);
        return c ? c->component.get() : nullptr;
    }
    // Ends the recording and reads it back.
    Wav recording() {
        media.reset();
        Wav w;
        EXPECT_TRUE(w.load(wav));
        return w;
    }
};

// The pixel at x, y of a component painted alone into a W x H surface.
struct Canvas {
    cairo_surface_t* surf;
    int w, h;
    Canvas(int width, int height) : surf(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), w(width), h(height) {}
    ~Canvas() { cairo_surface_destroy(surf); }
    void paint(Component* c) {
        cairo_t* cr = cairo_create(surf);
        cairo_set_source_rgb(cr, 1, 0, 1);
        cairo_paint(cr);
        c->paint(cr, Rect{0, 0, w, h});
        cairo_destroy(cr);
        cairo_surface_flush(surf);
    }
    uint32_t at(int x, int y) const {
        auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(surf) +
                                                      y * cairo_image_surface_get_stride(surf));
        return row[x] & 0xFFFFFF;
    }
    void save(const std::string& name) const {
        cairo_surface_write_to_png(surf, (scratchDir() / name).c_str());
    }
};

// Rough colour match: each channel within TOL.
bool near(uint32_t a, uint32_t b, int tol = 40) {
    for (int sh : {0, 8, 16})
        if (std::abs(int((a >> sh) & 0xFF) - int((b >> sh) & 0xFF)) > tol) return false;
    return true;
}

// ------------------------------------------------------------------ MIDI

TEST(Midi, FileCheckerTellsWholeTunesFromDamagedOnes) {
    const std::string good = testTune();
    EXPECT_EQ(checkMidiFile(good), "");
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"cut in the header", good.substr(0, 10)},
        {"cut in the track", good.substr(0, good.size() - 5)},
        {"not MIDI", "RIFF0000WAVEfmt and so on"},
        {"track without its end", [&] {
             std::string b = good.substr(0, good.size() - 4);
             b[21] = char(uint8_t(b[21]) - 4);  // track length without the end event
             return b;
         }()},
    };
    for (const Case& c : cases) EXPECT_NE(checkMidiFile(c.bytes), "") << c.what;
}

class MidiPlayback : public ::testing::Test {
protected:
    void SetUp() override { spit(scratchDir() / "t1.mid", testTune()); }
    int ticks = 0;
};

TEST_F(MidiPlayback, MenuSequenceOpensPlaysAndCloseSilencesAtOnce) {
    Stage st({menuScene("t1.mid", &ticks)}, "close.wav");
    st.start("Menu");
    Component* midi = st.component("Menu", "MMControl1");
    ASSERT_NE(midi, nullptr);
    EXPECT_EQ(midi->property("DeviceType"), Value(std::string("Sequencer")));
    EXPECT_EQ(midi->property("FileName"), Value(st.rt().programPath("t1.mid")));
    EXPECT_EQ(midi->property("Mode"), Value(std::string("Playing")));
    st.wait(300);
    EXPECT_EQ(st.media->currentTune(), "t1.mid");
    // The menu hidden, the music goes on.
    st.rt().dispatch([&] { st.rt().scene("Menu").setVisible(false); });
    st.wait(100);
    EXPECT_EQ(st.media->currentTune(), "t1.mid");
    st.rt().dispatch([&] { st.rt().scene("Menu").unload(); });  // Close at 400 ms
    EXPECT_EQ(st.media->currentTune(), "");
    st.wait(600);
    EXPECT_TRUE(st.problems.empty()) << st.problems.front();
    Wav w = st.recording();
    EXPECT_GT(w.rms(100, 390), 0.01);
    EXPECT_GT(w.tone(880 / 2.0, 100, 390), 5 * w.tone(311.13, 100, 390)) << "A4 plays first";
    // Faded out within 5 ms of the close: no release, no reverb.
    EXPECT_LT(w.rms(405.1, 1000), 1e-4);
}

TEST_F(MidiPlayback, TunePlaysOnceAndIsSilentAfterItsEnd) {
    Stage st({menuScene("t1.mid", &ticks)}, "once.wav");
    st.start("Menu");
    st.wait(700);
    EXPECT_EQ(st.media->currentTune(), "t1.mid");
    st.wait(800);  // the tune is 1 s long
    EXPECT_EQ(st.media->currentTune(), "");
    st.wait(4500);
    Wav w = st.recording();
    EXPECT_GT(w.rms(50, 450), 0.01);
    EXPECT_GT(w.tone(311.13, 550, 950), 5 * w.tone(440, 550, 950)) << "then D#4";
    // Not repeated: after the tail has died away, silence to the end.
    EXPECT_LT(w.rms(3000, 6000), 1e-3);
    EXPECT_LT(w.rms(3000, 6000), w.rms(50, 950) / 100);
    EXPECT_EQ(ticks, 12);
}

TEST_F(MidiPlayback, ReopeningStartsFromTheBeginning) {
    Stage st({menuScene("t1.mid", &ticks)}, "reopen.wav");
    st.start("Menu");
    st.wait(700);  // into the second note
    st.rt().dispatch([&] { st.rt().scene("Menu").unload(); });
    st.wait(300);
    st.rt().dispatch([&] { st.rt().scene("Menu").show(); });  // loads again: Open, Play at 1000 ms
    st.wait(1500);
    Wav w = st.recording();
    EXPECT_GT(w.tone(311.13, 620, 695), 5 * w.tone(440, 620, 695)) << "the second note when it closes";
    EXPECT_LT(w.rms(706, 990), 1e-4);
    // From 1000 ms the tune starts over with its first note, A4.
    EXPECT_GT(w.tone(440, 1050, 1450), 5 * w.tone(311.13, 1050, 1450));
    EXPECT_GT(w.tone(311.13, 1550, 1950), 5 * w.tone(440, 1550, 1950));
}

TEST_F(MidiPlayback, DefaultSoundfontIsTheBestInstalled) {
    ManualClock clock;
    MediaSystem media(clock);
    std::vector<std::string> notes;
    media.setLogSink([&](MediaSystem::LogLevel l, const std::string& m) {
        if (l == MediaSystem::LogLevel::Note) notes.push_back(m);
    });
    HeadlessWindowSystem ws;
    SceneDef menu = menuScene("t1.mid", &ticks);
    Runtime rt({menu}, ws, clock);
    rt.setProgramFolder(scratchDir().string());
    media.attach(rt);
    rt.start("Menu");
    ASSERT_EQ(notes.size(), 1u);
    if (fs::exists("/usr/share/sounds/sf2/FluidR3_GM.sf2")) {
        EXPECT_EQ(media.soundfont(), "/usr/share/sounds/sf2/FluidR3_GM.sf2");
    }
    EXPECT_NE(notes[0].find(media.soundfont()), std::string::npos);
}

// ----------------------------------------------------------------- movie

class MoviePlayback : public ::testing::Test {
protected:
    void SetUp() override {
        if (testMovie().empty()) GTEST_SKIP() << "ffmpeg cannot make the test movie";
        spit(scratchDir() / "m.swf", testMovie());
        spit(scratchDir() / "mc.swf", compressed(testMovie()));
    }
    int ticks = 0;
};

TEST_F(MoviePlayback, ShowsFromFirstFrameScaledCentredAndStopsWithItsScene) {
    // The player is 160 x 60; the 64 x 48 movie shows at 80 x 60 in the middle.
    Stage st({movieScene("m.swf", &ticks)}, "movie.wav");
    st.start("Intro");
    Component* mov = st.component("Intro", "mov1");
    ASSERT_NE(mov, nullptr);
    EXPECT_EQ(st.media->movieShowing(st.rt(), "Intro", "mov1"), "m.swf");
    EXPECT_TRUE(mov->animating());
    Canvas cv(160, 60);
    struct Step {
        int64_t at;
        uint32_t colour;
        int frame;
    } steps[] = {{0, 0xFF0000, 0}, {450, 0xFF0000, 4}, {550, 0x00FF00, 5}, {1450, 0x0000FF, 14}, {3000, 0x0000FF, 14}};
    for (const Step& s : steps) {
        st.wait(s.at - st.host.clock().now());
        cv.paint(mov);
        EXPECT_TRUE(near(cv.at(80, 30), s.colour)) << s.at << " ms: " << std::hex << cv.at(80, 30);
        EXPECT_TRUE(near(cv.at(41, 2), s.colour)) << s.at << " ms";
        EXPECT_EQ(cv.at(38, 30), 0x003366u) << "the spare area at the left";
        EXPECT_EQ(cv.at(121, 30), 0x003366u) << "the spare area at the right";
        EXPECT_EQ(mov->property("FrameNum"), Value(int64_t(s.frame))) << s.at << " ms";
        if (s.at == 0) cv.save("movie-first.png");
        if (s.at == 550) cv.save("movie-green.png");
    }
    EXPECT_FALSE(mov->animating()) << "played once, holding its last frame";
    EXPECT_EQ(st.media->movieShowing(st.rt(), "Intro", "mov1"), "m.swf");
    st.rt().dispatch([&] { st.rt().scene("Intro").unload(); });
    EXPECT_EQ(st.media->movieShowing(st.rt(), "Intro", "mov1"), "");
    st.wait(500);
    EXPECT_TRUE(st.problems.empty()) << st.problems.front();
    Wav w = st.recording();
    // Its sound plays with it, and stops.
    EXPECT_GT(w.tone(660, 100, 1400), 20 * w.tone(440, 100, 1400));
    EXPECT_GT(w.rms(100, 1400), 0.05);
    EXPECT_LT(w.rms(1600, 3500), 1e-3);
}

TEST_F(MoviePlayback, UnloadingStopsTheSoundAtOnce) {
    Stage st({movieScene("m.swf", &ticks)}, "movie-unload.wav");
    st.start("Intro");
    st.wait(600);
    st.rt().dispatch([&] { st.rt().scene("Intro").unload(); });
    st.wait(600);
    Wav w = st.recording();
    EXPECT_GT(w.rms(100, 590), 0.05);
    EXPECT_LT(w.rms(606, 1200), 1e-4);
}

TEST_F(MoviePlayback, CompressedMovieKeepsAllItsFrames) {
    for (const char* file : {"m.swf", "mc.swf"}) {
        Stage st({movieScene(file, &ticks)});
        st.start("Intro");
        Component* mov = st.component("Intro", "mov1");
        ASSERT_NE(mov, nullptr) << file;
        EXPECT_EQ(mov->property("TotalFrames"), Value(int64_t(15))) << file;
        st.wait(2000);
        EXPECT_EQ(mov->property("FrameNum"), Value(int64_t(14))) << file;
        Canvas cv(160, 60);
        cv.paint(mov);
        EXPECT_TRUE(near(cv.at(80, 30), 0x0000FF)) << file << " ends on its last (blue) frame";
        EXPECT_TRUE(st.problems.empty()) << file << ": " << st.problems.front();
    }
}

TEST_F(MoviePlayback, WithoutBackgroundColourTheMovieOwnIsUsed) {
    Stage st({movieScene("m.swf", &ticks, "")});
    st.start("Intro");
    Canvas cv(160, 60);
    cv.paint(st.component("Intro", "mov1"));
    // FFmpeg's SWF writer sets no background colour: black.
    EXPECT_EQ(cv.at(5, 30), 0x000000u);
    EXPECT_TRUE(near(cv.at(80, 30), 0xFF0000));
}

// ---------------------------------------------------------------- banner

uint32_t bannerPixel(Canvas& cv, int x, int y) { return cv.at(x - 5, y + 2); }

TEST(Banner, AnimatesWithoutClearingAndLoops) {
    if (testBanner().empty()) GTEST_SKIP() << "ImageMagick cannot make the test banner";
    spit(scratchDir() / "assets" / "45.gif", testBanner());
    int ticks = 0;
    Stage st({bannerScene(&ticks)});
    st.start("Credits");
    Component* gif = st.component("Credits", "AniGIF1");
    ASSERT_NE(gif, nullptr);
    EXPECT_TRUE(gif->animating());
    EXPECT_EQ(gif->property("FrameCount"), Value(int64_t(19)));
    Canvas f0(457, 65), f5(457, 65);
    f0.paint(gif);
    st.wait(550);
    EXPECT_EQ(gif->property("Frame"), Value(int64_t(5)));
    f5.paint(gif);
    f0.save("banner-0.png");
    f5.save("banner-5.png");
    // Centred at natural size: the background shows in 2 rows above and 3 below.
    EXPECT_EQ(f5.at(200, 0), 0xC0C0C0u);
    EXPECT_EQ(f5.at(200, 1), 0xC0C0C0u);
    EXPECT_EQ(f5.at(200, 62), 0xC0C0C0u);
    EXPECT_NE(f5.at(200, 2), 0xC0C0C0u);
    for (int x : {5, 100, 300, 461}) {
        for (int y : {0, 5, 9, 50, 59}) EXPECT_EQ(bannerPixel(f5, x, y), bannerPixel(f0, x, y)) << x << "," << y;
        // In the band, frame 5's grey-blue, except in its transparent hole.
        uint32_t want = x < 20 ? bannerPixel(f0, x, 30) : 0x0032CD;
        EXPECT_TRUE(near(bannerPixel(f5, x, 30), want, 8)) << x << ": " << std::hex << bannerPixel(f5, x, 30);
    }
    // The cycle is 1.9 s and repeats for as long as the scene is loaded.
    st.rt().dispatch([&] { st.rt().scene("Credits").setVisible(false); });
    st.wait(1900 * 50);
    EXPECT_EQ(gif->property("Frame"), Value(int64_t(5)));
    EXPECT_TRUE(st.problems.empty());
}

TEST(Banner, GameBannerKeepsFrameZeroOutsideItsBand) {
    fs::path asset = fs::path(AZ_PROGRAM_DIR) / "assets" / "45.gif";
    if (!fs::exists(asset)) GTEST_SKIP() << asset << " is not built";
    fs::path folder = scratchDir() / "game";
    fs::create_directories(folder / "assets");
    fs::copy_file(asset, folder / "assets" / "45.gif", fs::copy_options::overwrite_existing);
    int ticks = 0;
    Stage st({bannerScene(&ticks)});
    st.rt().setProgramFolder(folder.string());
    st.start("Credits");
    Component* gif = st.component("Credits", "AniGIF1");
    ASSERT_NE(gif, nullptr);
    EXPECT_EQ(gif->property("FrameCount"), Value(int64_t(19)));
    Canvas f0(457, 65), f5(457, 65);
    f0.paint(gif);
    st.wait(500);
    f5.paint(gif);
    f0.save("game-banner-0.png");
    f5.save("game-banner-5.png");
    int differ = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 5; x < 462; ++x) {
            if (y < 10 || y >= 50) EXPECT_EQ(bannerPixel(f5, x, y), bannerPixel(f0, x, y)) << x << "," << y;
            else differ += bannerPixel(f5, x, y) != bannerPixel(f0, x, y);
        }
    EXPECT_GT(differ, 0) << "the band moves";
}

// ------------------------------------------------ the game's own media files

// The tunes and movies the build makes, when it has made them.
TEST(GameFiles, TunesAndMoviesPlay) {
    const fs::path bin(AZ_PROGRAM_DIR);
    int checked = 0;
    for (const char* tune : {"01.mid", "02.mid", "03.mid"}) {
        if (!fs::exists(bin / tune)) continue;
        SCOPED_TRACE(tune);
        ++checked;
        EXPECT_EQ(checkMidiFile(slurp(bin / tune)), "");
        int ticks = 0;
        Stage st({menuScene(tune, &ticks)}, std::string("game-") + tune + ".wav");
        st.rt().setProgramFolder(bin.string());
        st.start("Menu");
        st.wait(3000);
        EXPECT_EQ(st.media->currentTune(), tune);
        EXPECT_TRUE(st.problems.empty());
        Wav w = st.recording();
        EXPECT_GT(w.rms(500, 3000), 0.01);
    }
    struct Movie {
        const char* file;
        int w, h;
    } movies[] = {{"intro.swf", 377, 393}, {"outro.swf", 249, 113}};
    for (const Movie& m : movies) {
        if (!fs::exists(bin / m.file)) continue;
        SCOPED_TRACE(m.file);
        ++checked;
        int ticks = 0;
        Stage st({movieScene(m.file, &ticks, "FF00FF")}, std::string("game-") + m.file + ".wav");
        st.rt().setProgramFolder(bin.string());
        st.start("Intro");
        Component* mov = st.component("Intro", "mov1");
        ASSERT_NE(mov, nullptr);
        st.wait(2000);
        EXPECT_GT(std::get<int64_t>(*mov->property("FrameNum")), 0);
        // Painted at its own size, the movie covers the whole rectangle.
        Canvas cv(m.w, m.h);
        cv.paint(mov);
        for (auto [x, y] : {std::pair{0, 0}, {m.w - 1, 0}, {0, m.h - 1}, {m.w - 1, m.h - 1}, {m.w / 2, m.h / 2}})
            EXPECT_NE(cv.at(x, y), 0xFF00FFu) << x << "," << y;
        cv.save(std::string("game-") + m.file + ".png");
        EXPECT_TRUE(st.problems.empty());
        Wav w = st.recording();
        EXPECT_GT(w.rms(0, 2000), 0.005) << "with its sound";
    }
    if (!checked) GTEST_SKIP() << "the build has not made the tunes and movies";
}

// With a real audio device (SDL's dummy one here) the device's thread
// pulls the mix, and the recording is made from what it pulls.
TEST(Device, DeviceThreadPlaysTheTune) {
    spit(scratchDir() / "t1.mid", testTune());
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    int ticks = 0;
    SceneDef menu = menuScene("t1.mid", &ticks);
    SteadyClock clock;
    HeadlessWindowSystem ws;
    MediaOptions o;
    o.audio = MediaOptions::Audio::Device;
    o.wavOut = (scratchDir() / "device.wav").string();
    auto media = std::make_unique<MediaSystem>(clock, o);
    std::vector<std::string> problems;
    media->setLogSink([&](MediaSystem::LogLevel l, const std::string& m) {
        if (l == MediaSystem::LogLevel::Problem) problems.push_back(m);
    });
    SceneDef desk = testScene("Desk");
    Runtime rt({menu, desk}, ws, clock);
    rt.setProgramFolder(scratchDir().string());
    media->attach(rt);
    if (!media->hasDevice()) GTEST_SKIP() << "no SDL audio device";
    rt.start("Desk");
    rt.dispatch([&] { rt.scene("Menu").show(); });
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    bool heard = false;
    while (std::chrono::steady_clock::now() < until) {
        heard = heard || media->currentTune() == "t1.mid";
        media->pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(heard);
    EXPECT_EQ(media->currentTune(), "");
    rt.dispatch([&] { rt.scene("Menu").unload(); });
    media.reset();
    EXPECT_TRUE(problems.empty());
    Wav w;
    ASSERT_TRUE(w.load(scratchDir() / "device.wav"));
    EXPECT_GT(w.frames(), size_t(44100));
    EXPECT_GT(w.rms(0, 1500), 0.005);
}

// --------------------------------------------------------- bad media files

enum class Damage { Missing, Empty, Truncated, Random };

TEST(BadFiles, SceneLoadsTimersKeepTimeOneLineSaysWhy) {
    const std::string movie = testMovie(), banner = testBanner(), tune = testTune();
    struct File {
        const char* name;
        std::string good;
    } files[] = {{"01.mid", tune}, {"02.mid", tune}, {"03.mid", tune}, {"intro.swf", movie}, {"outro.swf", compressed(movie)},
                 {"assets/45.gif", banner}};
    std::mt19937 rng(45);
    for (const File& f : files) {
        if (f.good.empty()) continue;
        for (Damage d : {Damage::Missing, Damage::Empty, Damage::Truncated, Damage::Random}) {
            const char* dn[] = {"missing", "empty", "truncated", "random"};
            SCOPED_TRACE(std::string(f.name) + " " + dn[int(d)]);
            fs::path dir = scratchDir() / "bad";
            fs::remove_all(dir);
            fs::create_directories(dir / "assets");
            std::string bytes;
            switch (d) {
            case Damage::Missing: break;
            case Damage::Empty: spit(dir / f.name, ""); break;
            case Damage::Truncated: spit(dir / f.name, f.good.substr(0, f.good.size() / 2)); break;
            case Damage::Random:
                bytes.resize(f.good.size());
                for (char& c : bytes) c = char(rng());
                spit(dir / f.name, bytes);
                break;
            }
            int ticks = 0;
            std::string file = f.name;
            SceneDef def = file.ends_with(".mid") ? menuScene(file, &ticks)
                           : file.ends_with(".swf") ? movieScene(file, &ticks)
                                                    : bannerScene(&ticks);
            const std::string scene = def.desc.window.name;
            Stage st({def});
            st.rt().setProgramFolder(dir.string());
            st.start(scene);
            EXPECT_EQ(st.rt().state(scene), SceneState::Shown);
            for (int i = 0; i < 8; ++i) {
                st.wait(250);
                if (auto* c = st.component(scene, def.desc.controls[0].name))
                    if (Canvas cv(100, 40); true) cv.paint(c);
            }
            EXPECT_EQ(ticks, 4) << "the timer keeps its schedule";
            EXPECT_EQ(st.media->currentTune(), "");
            ASSERT_EQ(st.problems.size(), 1u);
            EXPECT_NE(st.problems[0].find(fs::path(f.name).filename().string()), std::string::npos) << st.problems[0];
            st.rt().dispatch([&] { st.rt().scene(scene).unload(); });
            EXPECT_EQ(st.problems.size(), 1u);
        }
    }
}

TEST(BadFiles, NoSoundfontNoMusicOneLine) {
    spit(scratchDir() / "t1.mid", testTune());
    int ticks = 0;
    Stage st({menuScene("t1.mid", &ticks)}, "", (scratchDir() / "no-such.sf2").string());
    st.start("Menu");
    st.wait(1000);
    st.rt().dispatch([&] { st.rt().scene("Menu").unload(); });
    st.rt().dispatch([&] { st.rt().scene("Menu").show(); });
    st.wait(1000);
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(st.media->currentTune(), "");
    ASSERT_EQ(st.problems.size(), 1u);
    EXPECT_NE(st.problems[0].find("no-such.sf2"), std::string::npos) << st.problems[0];
}

// ------------------------------------------------------ huge game times

// The driver may be asked to wait for absurd times; the media's clock
// follows without overflow (UBSan watches) and without mixing hours that
// nobody hears.
TEST(Clock, HugeGameTimesKeepTheMediaClockInRange) {
    spit(scratchDir() / "t1.mid", testTune());
    if (!testMovie().empty()) spit(scratchDir() / "intro.swf", testMovie());
    // The game's own banner, when built (making the test one takes long).
    if (const fs::path game = fs::path(AZ_PROGRAM_DIR) / "assets" / "45.gif"; fs::exists(game))
        fs::copy_file(game, scratchDir() / "assets" / "45.gif", fs::copy_options::overwrite_existing);
    int t1 = 0, t2 = 0, t3 = 0;
    Stage st({menuScene("t1.mid", &t1), movieScene("intro.swf", &t2), bannerScene(&t3)});
    st.start("Menu");
    st.rt().dispatch([&] { st.rt().scene("Intro").show(); });
    st.rt().dispatch([&] { st.rt().scene("Credits").show(); });
    EXPECT_EQ(st.media->currentTune(), "t1.mid");
    int64_t last = 0;
    for (int64_t t : {int64_t(1) << 40, int64_t(1) << 50, INT64_MAX / 44100 + 1, INT64_MAX / 2, INT64_MAX - 1000,
                      INT64_MAX}) {
        SCOPED_TRACE(t);
        st.host.clock().set(t);
        st.media->advanceTo(t);
        const int next = st.media->pump();
        EXPECT_GE(next, 0);
        EXPECT_LE(next, 1000);
        EXPECT_EQ(st.media->currentTune(), "") << "the tune is long over";
        for (const char* scene : {"Intro", "Credits"})
            if (Component* c = st.component(scene, scene == std::string("Intro") ? "mov1" : "AniGIF1")) {
                Canvas cv(100, 40);
                cv.paint(c);
                c->property("FrameNum");
                c->property("Frame");
            }
        EXPECT_GE(st.media->mixedSamples(), last);
        last = st.media->mixedSamples();
    }
    EXPECT_GT(last, 0);
}

// ------------------------------------------------------------- the driver

TEST(Driver, ExpectsMusicAndMovies) {
    spit(scratchDir() / "01.mid", testTune());
    if (!testMovie().empty()) spit(scratchDir() / "intro.swf", testMovie());
    int t1 = 0, t2 = 0;
    Stage st({menuScene("01.mid", &t1), movieScene("intro.swf", &t2)});
    st.start("Menu");
    ScriptRunner runner(st.host);
    addMediaExpectations(runner, *st.media);
    struct Case {
        const char* script;
        int exit;
    } cases[] = {
        {"expect music 01.mid\nwait 400\nexpect music 01.mid\n", 0},
        {"expect music 02.mid\n", 1},
        {"expect movie Intro.mov1 none\n", 0},
        {"expect music\n", 2},  // malformed lines
        {"expect movie Nowhere.mov1 none\n", 2},
        {"wait 1000\nexpect music none\n", 0},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.script);
        EXPECT_EQ(runner.run(in).exitCode, c.exit) << c.script;
    }
    if (testMovie().empty()) return;
    st.rt().dispatch([&] { st.rt().scene("Intro").show(); });
    for (auto [script, exit] : {std::pair{"expect movie Intro.mov1 intro.swf\n", 0},
                                std::pair{"expect movie Intro.mov1 outro.swf\n", 1}}) {
        std::istringstream in(script);
        EXPECT_EQ(runner.run(in).exitCode, exit) << script;
    }
}

}  // namespace
}  // namespace az
