#include "media/media.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <fluidsynth.h>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "media/internal.h"
#include "runtime/scale.h"
#include "runtime/script.h"

namespace az {

namespace {

// FluidSynth and FFmpeg would otherwise talk on stderr themselves; the game
// says what went wrong in its own single line.
void quietFluid(int, const char*, void*) {}

void quietLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        av_log_set_level(AV_LOG_QUIET);
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, quietFluid, nullptr);
    });
}

// The General MIDI soundfonts Debian installs, best first.
std::string findSoundfont() {
    const std::string dir = "/usr/share/sounds/sf2/";
    for (const char* name : {"FluidR3_GM.sf2", "TimGM6mb.sf2", "default-GM.sf2"}) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(dir + name, ec)) return dir + name;
    }
    std::error_code ec;
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (e.path().extension() == ".sf2" && e.is_regular_file(ec)) found.push_back(e.path().string());
    std::sort(found.begin(), found.end());
    return found.empty() ? std::string() : found.front();
}

void put16(std::FILE* f, uint16_t v) {
    unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}
void put32(std::FILE* f, uint32_t v) {
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    std::fwrite(b, 1, 4, f);
}

void audioCallback(void* user, Uint8* stream, int len) {
    auto* m = static_cast<MediaSystem::Impl*>(user);
    m->deviceBuffer(reinterpret_cast<float*>(stream), len / static_cast<int>(2 * sizeof(float)));
}

}  // namespace

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<std::string> readWholeFile(const std::string& path, std::string* why) {
    // Only a regular file is read: a folder, a pipe or a device put in its
    // place is refused before it is opened, and once more on what was opened.
    auto kindOf = [](mode_t mode) -> std::string {
        if (S_ISREG(mode)) return {};
        if (S_ISDIR(mode)) return "is a folder, not a file";
        if (S_ISFIFO(mode)) return "is a named pipe, not a file";
        if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a file";
        if (S_ISSOCK(mode)) return "is a socket, not a file";
        return "is not a regular file";
    };
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        *why = errno == ENOENT ? "missing" : std::string("cannot be read: ") + std::strerror(errno);
        return std::nullopt;
    }
    if (*why = kindOf(st.st_mode); !why->empty()) return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *why = errno == ENOENT ? "missing" : std::string("cannot be read: ") + std::strerror(errno);
        return std::nullopt;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &st) != 0) {
        *why = std::string("cannot be read: ") + std::strerror(errno);
        return std::nullopt;
    }
    if (*why = kindOf(st.st_mode); !why->empty()) return std::nullopt;
    if (st.st_size <= 0) {
        *why = "empty";
        return std::nullopt;
    }
    if (static_cast<uint64_t>(st.st_size) > kMaxMediaFile) {
        *why = "too big (" + std::to_string(st.st_size) + " bytes, more than " + std::to_string(kMaxMediaFile >> 20) +
               " MiB)";
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(st.st_size), '\0');
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *why = std::string("cannot be read: ") + std::strerror(errno);
            return std::nullopt;
        }
        if (n == 0) break;  // shrunk while being read: take what is there
        got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    if (bytes.empty()) {
        *why = "empty";
        return std::nullopt;
    }
    return bytes;
}

// ------------------------------------------------------------------ Impl

MediaSystem::Impl::Impl(Clock& c, MediaOptions o) : clock(c), opt(std::move(o)) {
    quietLibraries();
    sink = [](LogLevel, const std::string& msg) { std::fprintf(stderr, "agent-zaza: %s\n", msg.c_str()); };
    // Game time already gone by before the media came is not recorded.
    mixed = samplesAt(clock.now());
}

MediaSystem::Impl::~Impl() {
    if (device) SDL_CloseAudioDevice(device);
    if (sdlAudio) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    if (player) delete_fluid_player(player);
    if (synth) delete_fluid_synth(synth);
    if (settings) delete_fluid_settings(settings);
    closeWav();
}

void MediaSystem::Impl::problem(const std::string& msg) {
    if (sink) sink(LogLevel::Problem, msg);
}
void MediaSystem::Impl::note(const std::string& msg) {
    if (sink) sink(LogLevel::Note, msg);
}

bool MediaSystem::Impl::ensureSynth() {
    if (synth) return true;
    if (synthTried) return false;
    synthTried = true;
    std::string sf = opt.soundfont.empty() ? findSoundfont() : opt.soundfont;
    if (sf.empty()) {
        problem("music: no General MIDI soundfont in /usr/share/sounds/sf2 (install fluid-soundfont-gm); playing without music");
        return false;
    }
    settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", MediaSystem::kRate);
    fluid_settings_setnum(settings, "synth.gain", 0.5);
    // Offline, hours of game pass in moments: load only the samples played.
    // With a device the audio thread must not wait for the disk.
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", device ? 0 : 1);
    fluid_synth_t* made = new_fluid_synth(settings);
    if (!made || fluid_synth_sfload(made, sf.c_str(), 1) == FLUID_FAILED) {
        problem("music: cannot load the soundfont " + sf + "; playing without music");
        if (made) delete_fluid_synth(made);
        delete_fluid_settings(settings);
        settings = nullptr;
        return false;
    }
    // The audio thread takes it from here on.
    synth = made;
    sfPath = sf;
    note("music: soundfont " + sf);
    return true;
}

bool MediaSystem::Impl::tuneSounding() const {
    if (!playerOwner) return false;
    if (!listening()) return silentStart >= 0 && double(clock.now() - silentStart) < silentLength;
    // With a device: as the audio thread last saw it, or as it will be when
    // it has carried out what was given.
    if (device) return playIssued && (applied != issued || synthSounding);
    return playerSounding();
}

bool MediaSystem::Impl::playerSounding() const {
    if (!player || fluid_player_get_status(player) != FLUID_PLAYER_PLAYING) return false;
    // The player does not always say when it is done: its ticks do.
    const int total = fluid_player_get_total_ticks(player);
    return total <= 0 || fluid_player_get_current_tick(player) < total;
}

void MediaSystem::Impl::onSynth(std::function<void()> fn) {
    if (!device) {
        fn();
        return;
    }
    std::lock_guard lock(pendingMu);
    pending.push_back(std::move(fn));
    ++issued;
}

void MediaSystem::Impl::deviceBuffer(float* out, int frames) {
    std::vector<std::function<void()>> todo;
    uint64_t upTo;
    {
        std::lock_guard lock(mu);
        {
            std::lock_guard plock(pendingMu);
            todo.swap(pending);
            upTo = issued;
        }
        for (auto& fn : todo) fn();
        applied = upTo;
        synthSounding = playerSounding();
    }
    // The synthesiser and its player are this thread's alone: the handlers
    // go on meanwhile, however long it takes.
    synthesise(out, frames);
    std::lock_guard lock(mu);
    synthSounding = playerSounding();
    mixSources(out, frames);
    writeWav(out, frames);
    mixed += frames;
}

void MediaSystem::Impl::mix(float* out, int frames) {
    synthesise(out, frames);
    mixSources(out, frames);
}

void MediaSystem::Impl::synthesise(float* out, int frames) {
    std::fill(out, out + 2 * frames, 0.0f);
    if (synth) {
        quietSamples = playerSounding() ? 0 : quietSamples + frames;
        const float target = player ? 1.0f : 0.0f;
        // Nothing to hear any more: the synthesiser rests.
        if (synthLevel > 0 || target > 0 || quietSamples < 3 * MediaSystem::kRate) {
            if (synthBuf.size() < size_t(2 * frames)) synthBuf.resize(2 * frames);
            fluid_synth_write_float(synth, frames, synthBuf.data(), 0, 2, synthBuf.data(), 1, 2);
            constexpr float kStep = 1.0f / (MediaSystem::kRate / 200);  // 5 ms
            for (int i = 0; i < frames; ++i) {
                if (synthLevel < target) synthLevel = std::min(target, synthLevel + kStep);
                else if (synthLevel > target) synthLevel = std::max(target, synthLevel - kStep);
                out[2 * i] += synthBuf[2 * i] * synthLevel;
                out[2 * i + 1] += synthBuf[2 * i + 1] * synthLevel;
            }
        }
    }
}

void MediaSystem::Impl::mixSources(float* out, int frames) {
    for (SoundSource* s : sources) s->mixInto(out, frames);
}

int64_t samplesAt(int64_t ms) {
    constexpr int64_t kLimit = INT64_MAX / MediaSystem::kRate;
    return std::clamp(ms, -kLimit, kLimit) * MediaSystem::kRate / 1000;
}

int64_t later(int64_t at, int64_t ms) {
    if (ms > 0 && at > INT64_MAX - ms) return INT64_MAX;
    return at + ms;
}

void MediaSystem::Impl::advanceToLocked(int64_t gameMs) {
    const int64_t target = samplesAt(gameMs);
    // Nobody hears it: time passes, nothing is synthesised.
    if (!listening()) {
        mixed = std::max(mixed, target);
        return;
    }
    constexpr int kChunk = 1024;
    if (scratch.size() < 2 * kChunk) scratch.resize(2 * kChunk);
    while (mixed < target) {
        int n = static_cast<int>(std::min<int64_t>(kChunk, target - mixed));
        mix(scratch.data(), n);
        writeWav(scratch.data(), n);
        mixed += n;
    }
}

void MediaSystem::Impl::sync() {
    if (device || !live) return;  // the device's thread mixes as it plays
    std::lock_guard lock(mu);
    advanceToLocked(clock.now());
}

void MediaSystem::Impl::openWav() {
    if (opt.wavOut.empty()) return;
    wav = std::fopen(opt.wavOut.c_str(), "wb");
    if (!wav) {
        problem("cannot write the audio recording " + opt.wavOut + ": " + std::strerror(errno));
        return;
    }
    // Sizes are filled in when the recording closes.
    std::fwrite("RIFF", 1, 4, wav);
    put32(wav, 0);
    std::fwrite("WAVEfmt ", 1, 8, wav);
    put32(wav, 16);
    put16(wav, 1);  // PCM
    put16(wav, 2);
    put32(wav, MediaSystem::kRate);
    put32(wav, MediaSystem::kRate * 4);
    put16(wav, 4);
    put16(wav, 16);
    std::fwrite("data", 1, 4, wav);
    put32(wav, 0);
}

void MediaSystem::Impl::writeWav(const float* data, int frames) {
    if (!wav) return;
    // A WAV file holds at most 4 GiB of samples (6 hours 45 minutes).
    constexpr uint64_t kMaxFrames = (UINT32_MAX - 36) / 4;
    if (wavFrames + uint64_t(frames) > kMaxFrames) {
        closeWav();
        problem("the audio recording " + opt.wavOut + " is full (4 GiB); it stops here");
        return;
    }
    int16_t buf[2 * 1024];
    for (int done = 0; done < frames;) {
        int n = std::min(frames - done, 1024);
        for (int i = 0; i < 2 * n; ++i) {
            float v = std::clamp(data[2 * done + i], -1.0f, 1.0f);
            buf[i] = static_cast<int16_t>(std::lrint(v * 32767.0f));
        }
        std::fwrite(buf, sizeof(int16_t), 2 * n, wav);
        done += n;
    }
    wavFrames += frames;
}

void MediaSystem::Impl::closeWav() {
    if (!wav) return;
    const uint64_t bytes = wavFrames * 4;
    std::fseek(wav, 4, SEEK_SET);
    put32(wav, static_cast<uint32_t>(std::min<uint64_t>(36 + bytes, UINT32_MAX)));
    std::fseek(wav, 40, SEEK_SET);
    put32(wav, static_cast<uint32_t>(std::min<uint64_t>(bytes, UINT32_MAX)));
    std::fclose(wav);
    wav = nullptr;
}

// The sound libraries under SDL (ALSA) write their own complaints to
// stderr when there is no device; the game says it in one line instead.
class QuietStderr {
public:
    QuietStderr() {
        std::fflush(stderr);
        saved_ = dup(2);
        int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) dup2(null, 2);
        if (null >= 0) close(null);
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            dup2(saved_, 2);
            close(saved_);
        }
    }

private:
    int saved_ = -1;
};

void MediaSystem::Impl::openDevice() {
    std::string why;
    {
        QuietStderr quiet;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            why = std::string("no sound: cannot start SDL audio: ") + SDL_GetError();
        } else {
            sdlAudio = true;
            SDL_AudioSpec want{}, have{};
            want.freq = MediaSystem::kRate;
            want.format = AUDIO_F32SYS;
            want.channels = 2;
            want.samples = 2048;
            want.callback = audioCallback;
            want.userdata = this;
            device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
            if (!device) {
                why = std::string("no sound: cannot open the audio device: ") + SDL_GetError();
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                sdlAudio = false;
            }
        }
    }
    if (!why.empty()) {
        problem(why + "; the game runs on without it");
        return;
    }
    SDL_PauseAudioDevice(device, 0);
}

void MediaSystem::Impl::addSource(SoundSource* s) {
    std::lock_guard lock(mu);
    sources.push_back(s);
}

void MediaSystem::Impl::removeSource(SoundSource* s) {
    std::lock_guard lock(mu);
    std::erase(sources, s);
}

// ----------------------------------------------------------- MediaSystem

MediaSystem::MediaSystem(Clock& clock, MediaOptions options)
    : impl_(std::make_shared<Impl>(clock, std::move(options))) {
    impl_->openWav();
    if (impl_->opt.audio == MediaOptions::Audio::Device) impl_->openDevice();
}

MediaSystem::~MediaSystem() {
    // Close the device before the rest goes away, then record the tail.
    if (impl_->device) {
        SDL_CloseAudioDevice(impl_->device);
        impl_->device = 0;
    } else {
        impl_->sync();
    }
    std::lock_guard lock(impl_->mu);
    impl_->live = false;
    impl_->closeWav();
    impl_->rt = nullptr;
}

ComponentFactory MediaSystem::factory() {
    std::shared_ptr<Impl> m = impl_;
    return [m](const std::string&, const Control& c) -> std::unique_ptr<Component> {
        switch (c.kind()) {
        case ControlKind::Midi: return makeMidiControl(m, c);
        case ControlKind::Movie: return makeMoviePlayer(m, c);
        case ControlKind::AniGif: {
            // The banner rendered for the display scale (or the next larger).
            const int set = renderedSetFor(m->rt ? m->rt->scale() : 1.0);
            std::string file = renderedSetFolder(set) + "/" + std::to_string(c.p.picture) + ".gif";
            return makeAniGif(m, c, m->rt ? m->rt->programPath(file) : file, set);
        }
        default: return nullptr;
        }
    };
}

void MediaSystem::attach(Runtime& rt) {
    impl_->rt = &rt;
    rt.setComponentFactory(factory());
}

void MediaSystem::advanceTo(int64_t gameMs) {
    std::lock_guard lock(impl_->mu);
    impl_->advanceToLocked(gameMs);
}

int MediaSystem::pump() {
    impl_->sync();
    if (!impl_->rt) return 0;
    const int64_t now = impl_->clock.now();
    std::optional<int64_t> next;
    for (const auto& s : impl_->rt->scenes()) {
        if (s->state != SceneState::Shown) continue;
        bool changed = false;
        for (const auto& c : s->controls) {
            auto* a = dynamic_cast<AnimatedComponent*>(c->component.get());
            if (!a || !c->p.visible) continue;
            if (a->frameChanged(now)) changed = true;
            if (auto t = a->nextChange(now)) next = next ? std::min(*next, *t) : *t;
        }
        if (changed) impl_->rt->changed(*s);
    }
    if (!next) return 0;
    return static_cast<int>(std::clamp<int64_t>(*next - now, 1, 1000));
}

std::string MediaSystem::currentTune() {
    impl_->sync();
    std::lock_guard lock(impl_->mu);
    if (impl_->live && impl_->tuneSounding()) return impl_->tune;
    return {};
}

std::optional<double> MediaSystem::recordedLevel(int64_t ms) {
    impl_->sync();
    std::lock_guard lock(impl_->mu);
    if (!impl_->wav || ms <= 0) return std::nullopt;
    std::fflush(impl_->wav);
    const int64_t frames = ms * MediaSystem::kRate / 1000;
    if (frames > static_cast<int64_t>(impl_->wavFrames)) return std::nullopt;
    // Listen to the file itself: 16-bit stereo after a 44-byte header.
    std::ifstream in(impl_->opt.wavOut, std::ios::binary);
    in.seekg(44 + static_cast<std::streamoff>((impl_->wavFrames - frames) * 4));
    std::vector<int16_t> pcm(static_cast<size_t>(frames) * 2);
    in.read(reinterpret_cast<char*>(pcm.data()), static_cast<std::streamsize>(pcm.size() * sizeof(int16_t)));
    if (!in) return std::nullopt;
    double sum = 0;
    for (int16_t v : pcm) sum += (v / 32768.0) * (v / 32768.0);
    return std::sqrt(sum / static_cast<double>(pcm.size()));
}

bool MediaSystem::hasDevice() const { return impl_->device != 0; }

std::string MediaSystem::soundfont() const { return impl_->sfPath; }

int64_t MediaSystem::mixedSamples() const { return impl_->mixed; }

void MediaSystem::setLogSink(LogSink sink) { impl_->sink = std::move(sink); }

std::string MediaSystem::movieShowing(const Runtime& rt, const std::string& scene, const std::string& control) {
    const Scene* s = rt.find(scene);
    if (!s || !s->isLoaded()) return {};
    const Control* c = s->find(control);
    if (!c || !c->component) return {};
    auto v = c->component->property("Showing");
    if (!v) return {};
    if (const std::string* str = std::get_if<std::string>(&*v)) return *str;
    return {};
}

// ------------------------------------------------------------ the driver

void addMediaExpectations(ScriptRunner& runner, MediaSystem& media) {
    auto shown = [](const std::string& s) { return s.empty() ? std::string("none") : s; };
    runner.addExpect("music", [&media, shown](ScriptHost&, const std::vector<std::string>& a)
                                  -> std::optional<std::string> {
        if (a.size() != 1) throw MalformedLine("usage: expect music FILE|none");
        std::string actual = shown(media.currentTune());
        if (actual == a[0]) return std::nullopt;
        return "expected music " + a[0] + ", it is " + actual;
    });
    // The recording itself: sound (a tune or a movie) or silence over the
    // last MS of game time.
    runner.addExpect("sound", [&media](ScriptHost&, const std::vector<std::string>& a)
                                  -> std::optional<std::string> {
        // A WAV file holds at most 4 GiB of 16-bit stereo samples.
        constexpr long kLongestMs = long(0xFFFFFFFFu / 4) * 1000 / MediaSystem::kRate;
        char* end = nullptr;
        const long ms = a.size() == 2 ? std::strtol(a[1].c_str(), &end, 10) : 0;
        if (a.size() != 2 || (a[0] != "loud" && a[0] != "silent") || ms <= 0 || *end || ms > kLongestMs)
            throw MalformedLine("usage: expect sound loud|silent MS (1 to " + std::to_string(kLongestMs) +
                                " ms, what a recording can hold)");
        auto level = media.recordedLevel(ms);
        if (!level) return "no recording of the last " + a[1] + " ms (run with --audio-out)";
        // Silence is below -60 dB; a tune sounds well above -40 dB.
        const bool loud = *level > 0.01, silent = *level < 0.001;
        if ((a[0] == "loud" && loud) || (a[0] == "silent" && silent)) return std::nullopt;
        char buf[96];
        std::snprintf(buf, sizeof buf, "expected %s sound over the last %ld ms, its level is %.4f", a[0].c_str(), ms,
                      *level);
        return std::string(buf);
    });
    runner.addExpect("movie", [&media, shown](ScriptHost& host, const std::vector<std::string>& a)
                                  -> std::optional<std::string> {
        if (a.size() != 2) throw MalformedLine("usage: expect movie SCENE.CONTROL FILE|none");
        size_t dot = a[0].find('.');
        if (dot == std::string::npos || dot == 0 || dot + 1 == a[0].size())
            throw MalformedLine("usage: expect movie SCENE.CONTROL FILE|none");
        const std::string scene = a[0].substr(0, dot), control = a[0].substr(dot + 1);
        if (!host.runtime().find(scene)) throw MalformedLine("unknown scene " + scene);
        std::string actual = shown(media.movieShowing(host.runtime(), scene, control));
        if (actual == a[1]) return std::nullopt;
        return "expected movie " + a[0] + " " + a[1] + ", it is " + actual;
    });
}

}  // namespace az
