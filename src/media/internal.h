// What the media components share inside the library.
#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "media/media.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;

namespace az {

class MidiControl;

// A source of sound mixed into the output (a playing movie).
class SoundSource {
public:
    virtual ~SoundSource() = default;
    // Adds FRAMES stereo frames of 44100 Hz float samples to OUT.
    virtual void mixInto(float* out, int frames) = 0;
};

// A component that changes its picture by itself.
class AnimatedComponent : public Component {
public:
    // Whether the picture at game time NOW differs from the one painted or
    // reported last; it is then taken as reported.
    virtual bool frameChanged(int64_t now) = 0;
    // Game time of the next change after NOW, nullopt when none will come.
    virtual std::optional<int64_t> nextChange(int64_t now) = 0;
};

// The file name at the end of a path ("01.mid").
std::string baseName(const std::string& path);

// Reads a whole file; on failure says why.
std::optional<std::string> readWholeFile(const std::string& path, std::string* why);

// Checks a Standard MIDI File: header, chunks within the file, events
// well formed. Empty when fine, otherwise what is wrong.
std::string checkMidiFile(const std::string& bytes);

// The instruments a well-formed Standard MIDI File asks for: (bank,
// program) pairs, bank 128 for the percussion channel.
std::vector<std::pair<int, int>> midiInstruments(const std::string& bytes);

struct MediaSystem::Impl {
    Impl(Clock& c, MediaOptions o);
    ~Impl();

    Clock& clock;
    MediaOptions opt;
    Runtime* rt = nullptr;
    LogSink sink;
    // False once the MediaSystem is gone: components that outlive it stop
    // mixing and recording.
    bool live = true;

    // Everything the audio thread touches is guarded by this lock: the
    // synthesiser, the tune's player, the sound sources and the recording.
    std::mutex mu;

    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    bool synthTried = false;
    std::string sfPath;

    // With a device, the soundfont is read by this thread from the start,
    // so that the menu does not wait for it; only its headers stay in
    // memory, each instrument's samples are read when a tune asks for it.
    // The thread touches nothing else; ensureSynth() joins it.
    struct Loaded {
        fluid_settings_t* settings = nullptr;
        fluid_synth_t* synth = nullptr;
        std::string path, problem, note;
    };
    std::thread loader;
    Loaded loaded;
    void startLoading();
    static Loaded loadSynth(const std::string& soundfont, bool spareChannels);

    // A tune's instruments are read in on this thread before it plays, on
    // channels the tunes do not use (device mode).
    std::thread warmer;
    uint64_t playerSerial = 0;  // counts the players opened
    bool playPending = false;   // Play given, the instruments still coming
    static constexpr int kSpareChannel = 16;

    fluid_player_t* player = nullptr;
    const MidiControl* playerOwner = nullptr;
    std::string tune;  // the player's file name
    // The synthesiser's share of the mix: 1 while a tune is open, 0 after
    // it is closed. Closing fades it out in a few ms and the synthesiser
    // then runs on unheard until its tails die away.
    float synthLevel = 0;
    int64_t quietSamples = 0;  // since the last tune stopped sounding
    std::vector<float> synthBuf;

    // Whether the open tune is playing and has not reached its end.
    bool tuneSounding() const;

    std::vector<SoundSource*> sources;

    unsigned device = 0;  // SDL audio device, 0 for none
    bool sdlAudio = false;

    int64_t mixed = 0;  // samples mixed so far
    std::vector<float> scratch;

    std::FILE* wav = nullptr;
    uint64_t wavFrames = 0;

    void problem(const std::string& msg);
    void note(const std::string& msg);
    // Loads the soundfont on first use (or takes the one loaded in the
    // background); false (said once) when there is none. The lock is held.
    bool ensureSynth();
    // Mixes FRAMES frames into OUT; the lock is held.
    void mix(float* out, int frames);
    // Without a device: mixes up to the present game time.
    void sync();
    void advanceToLocked(int64_t gameMs);
    void openWav();
    void writeWav(const float* data, int frames);
    void closeWav();
    void openDevice();
    void addSource(SoundSource* s);
    void removeSource(SoundSource* s);
};

using ImplPtr = std::shared_ptr<MediaSystem::Impl>;
std::unique_ptr<Component> makeMidiControl(ImplPtr m, const Control& c);
std::unique_ptr<Component> makeMoviePlayer(ImplPtr m, const Control& c);
std::unique_ptr<Component> makeAniGif(ImplPtr m, const Control& c, const std::string& file);

}  // namespace az
