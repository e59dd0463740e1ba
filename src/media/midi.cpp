// MMControl1: the menu's MIDI sequencer control. The menu writes Notify,
// Wait, Shareable, DeviceType and FileName, then the commands "Open" and
// "Play"; its Unload writes "Close". The tune plays once in the background
// through the shared synthesiser.
#include <fluidsynth.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "media/internal.h"

namespace az {

namespace {

uint32_t be32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 |
           uint32_t(uint8_t(b[at + 2])) << 8 | uint32_t(uint8_t(b[at + 3]));
}
uint16_t be16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(uint8_t(b[at]) << 8 | uint8_t(b[at + 1]));
}

// A tune denser or longer than this is no tune the menu plays: the
// synthesiser would spend seconds on it at each turn of the loop.
constexpr uint64_t kMaxMidiEvents = 500000;
// FluidSynth's player takes at most this many tracks and drops the whole
// file when there are more.
constexpr int kMaxMidiTracks = 128;

void putVarLen(std::string& out, uint32_t v) {
    char buf[5];
    int n = 0;
    buf[4 - n++] = char(v & 0x7F);
    while (v >>= 7) buf[4 - n++] = char(0x80 | (v & 0x7F));
    out.append(buf + 5 - n, n);
}

void putBe32(std::string& out, uint32_t v) {
    for (int sh = 24; sh >= 0; sh -= 8) out += char((v >> sh) & 0xFF);
}

// What the walk over the tracks finds.
struct TrackSums {
    uint64_t events = 0;
    uint64_t notes = 0;  // note-ons with a velocity
    uint64_t endTick = 0;  // of the longest track
    std::vector<std::pair<uint64_t, uint32_t>> tempos;  // tick, microseconds a beat
};

// Walks the events of one track; empty when they are well formed. With
// REWRITE the track's events are written there again, tempo changes left
// out (SMPTE time ignores them), every channel event with its status.
std::string checkTrack(const std::string& b, size_t pos, size_t end, int track, TrackSums& sums,
                       std::string* rewrite) {
    auto bad = [track](const std::string& what) { return "track " + std::to_string(track) + ": " + what; };
    auto varLen = [&](uint32_t& v) {
        v = 0;
        for (int i = 0; i < 4; ++i) {
            if (pos >= end) return false;
            uint8_t c = uint8_t(b[pos++]);
            v = (v << 7) | (c & 0x7F);
            if (!(c & 0x80)) return true;
        }
        return false;
    };
    uint8_t running = 0;
    uint64_t tick = 0;
    uint32_t carried = 0;  // time of the events left out of the rewrite
    auto emit = [&](uint32_t delta, uint8_t status, size_t from, size_t to) {
        if (!rewrite) return;
        putVarLen(*rewrite, carried + delta);
        carried = 0;
        *rewrite += char(status);
        rewrite->append(b, from, to - from);
    };
    while (pos < end) {
        uint32_t delta;
        if (!varLen(delta)) return bad("cut off in an event time");
        if (pos >= end) return bad("cut off after an event time");
        tick += delta;
        if (++sums.events > kMaxMidiEvents)
            return "more than " + std::to_string(kMaxMidiEvents) + " events, too many to play";
        uint8_t status = uint8_t(b[pos]);
        if (status & 0x80) {
            ++pos;
        } else {
            if (!running) return bad("data byte without a status");
            status = running;
        }
        const size_t from = pos;
        if (status == 0xFF) {
            if (pos >= end) return bad("cut off in a meta event");
            uint8_t type = uint8_t(b[pos++]);
            uint32_t len;
            if (!varLen(len) || len > end - pos) return bad("meta event runs past the track");
            if (type == 0x51 && len == 3)
                sums.tempos.emplace_back(tick, uint32_t(uint8_t(b[pos])) << 16 | uint32_t(uint8_t(b[pos + 1])) << 8 |
                                                   uint8_t(b[pos + 2]));
            pos += len;
            if (type == 0x51) {
                if (carried + uint64_t(delta) > 0x0FFFFFFF) return bad("event time too large");
                carried += delta;
            } else {
                emit(delta, status, from, pos);
            }
            if (type == 0x2F) {  // end of track
                sums.endTick = std::max(sums.endTick, tick);
                return {};
            }
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t len;
            if (!varLen(len) || len > end - pos) return bad("system exclusive runs past the track");
            pos += len;
            emit(delta, status, from, pos);
        } else if (status >= 0xF0) {
            return bad("unexpected system message");
        } else {
            running = status;
            int n = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            if (end - pos < size_t(n)) return bad("cut off in a channel event");
            for (int i = 0; i < n; ++i)
                if (uint8_t(b[pos + i]) & 0x80) return bad("bad data byte");
            if ((status & 0xF0) == 0x90 && b[pos + 1] != 0) ++sums.notes;
            pos += n;
            emit(delta, status, from, pos);
        }
    }
    return bad("no end-of-track event");
}

}  // namespace

MidiInfo inspectMidiFile(const std::string& b) {
    MidiInfo info;
    auto fail = [&info](std::string why) {
        info.error = std::move(why);
        return info;
    };
    if (b.size() < 14 || b.compare(0, 4, "MThd") != 0) return fail("not a Standard MIDI File");
    const uint32_t hlen = be32(b, 4);
    if (hlen < 6 || hlen > b.size() - 8) return fail("bad MIDI header");
    const uint16_t format = be16(b, 8), tracks = be16(b, 10), division = be16(b, 12);
    if (format > 2 || tracks == 0 || division == 0) return fail("bad MIDI header");
    // The smallest track is 12 bytes: its chunk header and an end event.
    if (uint64_t(tracks) * 12 > b.size() - 8 - hlen)
        return fail("declares " + std::to_string(tracks) + " tracks, more than its size can hold");
    if (tracks > kMaxMidiTracks)
        return fail("has " + std::to_string(tracks) + " tracks; at most " + std::to_string(kMaxMidiTracks) +
                    " can be played");
    // SMPTE time: frames a second (negative in the high byte) and ticks a
    // frame. The synthesiser's player knows only beats, so the file is
    // handed over with beats of exactly one second and one fixed tempo.
    const bool smpte = division & 0x8000;
    int fps = 0, perFrame = 0;
    if (smpte) {
        fps = -int(int8_t(division >> 8));
        perFrame = division & 0xFF;
        if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || perFrame == 0)
            return fail("bad SMPTE time division");
    }
    std::string rewritten;
    TrackSums sums;
    size_t pos = 8 + hlen;
    int found = 0;
    while (found < tracks) {
        if (b.size() - pos < 8) return fail("truncated: " + std::to_string(found) + " of " + std::to_string(tracks) + " tracks");
        const uint32_t len = be32(b, pos + 4);
        if (len > b.size() - pos - 8) return fail("truncated in track " + std::to_string(found));
        if (b.compare(pos, 4, "MTrk") == 0) {
            std::string track;
            if (smpte && found == 0) {
                // 29.97 frames a second (drop frame) makes a beat a little longer.
                const uint32_t tempo = fps == 29 ? 1001001 : 1000000;
                track += std::string("\0\xFF\x51\x03", 4);
                track += char(tempo >> 16);
                track += char((tempo >> 8) & 0xFF);
                track += char(tempo & 0xFF);
            }
            if (std::string e = checkTrack(b, pos + 8, pos + 8 + len, found, sums, smpte ? &track : nullptr);
                !e.empty())
                return fail(e);
            if (smpte) {
                rewritten += "MTrk";
                putBe32(rewritten, uint32_t(track.size()));
                rewritten += track;
            }
            ++found;
        }
        pos += 8 + len;  // other chunks are skipped
    }
    if (sums.notes == 0) return fail("plays no note");
    if (smpte) {
        const int beat = (fps == 29 ? 30 : fps) * perFrame;  // ticks a second
        std::string head = "MThd";
        putBe32(head, 6);
        head += char(0);
        head += char(format);
        head += char(tracks >> 8);
        head += char(tracks & 0xFF);
        head += char(beat >> 8);
        head += char(beat & 0xFF);
        info.bytes = head + rewritten;
        info.lengthMs = double(sums.endTick) * (fps == 29 ? 1001001.0 : 1000000.0) / beat / 1000.0;
        return info;
    }
    // Beats: the tempo changes of all tracks apply to the whole tune.
    std::stable_sort(sums.tempos.begin(), sums.tempos.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    double us = 0;
    uint64_t at = 0;
    uint32_t tempo = 500000;
    for (const auto& [tick, t] : sums.tempos) {
        if (tick >= sums.endTick) break;
        us += double(tick - at) * tempo / division;
        at = tick;
        tempo = t;
    }
    us += double(sums.endTick - at) * tempo / division;
    info.lengthMs = us / 1000.0;
    info.bytes = b;
    return info;
}

std::string checkMidiFile(const std::string& bytes) { return inspectMidiFile(bytes).error; }

class MidiControl : public Component {
public:
    MidiControl(ImplPtr m) : m_(std::move(m)) {}
    ~MidiControl() override { close(); }

    void setProperty(std::string_view name, const Value& v) override {
        auto str = [&v] { return std::holds_alternative<std::string>(v) ? std::get<std::string>(v) : formatValue(v); };
        auto flag = [&v] {
            if (const bool* b = std::get_if<bool>(&v)) return *b;
            if (const int64_t* i = std::get_if<int64_t>(&v)) return *i != 0;
            return false;
        };
        if (name == "Notify") notify_ = flag();
        else if (name == "Wait") wait_ = flag();
        else if (name == "Shareable") shareable_ = flag();
        else if (name == "DeviceType") deviceType_ = str();
        else if (name == "FileName") fileName_ = str();
        else if (name == "Command") command(str());
    }

    void call(std::string_view method) override { command(std::string(method)); }

    std::optional<Value> property(std::string_view name) const override {
        if (name == "Notify") return Value(notify_);
        if (name == "Wait") return Value(wait_);
        if (name == "Shareable") return Value(shareable_);
        if (name == "DeviceType") return Value(deviceType_);
        if (name == "FileName") return Value(fileName_);
        if (name == "Command") return Value(lastCommand_);
        if (name == "Mode") return Value(std::string(mode()));
        return std::nullopt;
    }

private:
    const char* mode() const {
        std::lock_guard lock(m_->mu);
        if (m_->playerOwner != this) return "Not open";
        return m_->tuneSounding() ? "Playing" : "Stopped";
    }

    void command(const std::string& cmd) {
        lastCommand_ = cmd;
        // Notify and Wait apply to one command only.
        notify_ = false;
        wait_ = false;
        if (cmd == "Open") open();
        else if (cmd == "Play") play();
        else if (cmd == "Close") close();
        else if (cmd == "Stop") stop();
    }

    void open() {
        close();
        if (fileName_.empty()) return;
        // Whatever is wrong with the file, the menu goes on without music.
        try {
            openFile();
        } catch (const std::exception& e) {
            m_->problem("music: " + fileName_ + ": cannot be played (" + e.what() + "); the menu stays silent");
        }
    }

    void openFile() {
        const std::string name = baseName(fileName_);
        std::string why;
        MidiInfo tune;
        if (auto bytes = readWholeFile(fileName_, &why)) {
            tune = inspectMidiFile(*bytes);
            why = tune.error;
        }
        if (!why.empty()) {
            m_->problem("music: " + fileName_ + ": " + why + "; the menu stays silent");
            return;
        }
        m_->sync();
        std::lock_guard lock(m_->mu);
        if (!m_->live) return;
        if (m_->playerOwner) {
            m_->problem("music: the MIDI sequencer is busy; " + name + " is not played");
            return;
        }
        if (!m_->ensureSynth()) return;
        if (!m_->listening()) {
            // Nothing would hear it: the tune is only timed.
            m_->playerOwner = this;
            m_->tune = name;
            m_->silentStart = -1;
            m_->silentLength = tune.lengthMs;
            return;
        }
        m_->playerOwner = this;
        m_->tune = name;
        m_->playIssued = false;
        MediaSystem::Impl* m = m_.get();
        m_->onSynth([m, bytes = std::move(tune.bytes), file = fileName_] {
            fluid_player_t* p = new_fluid_player(m->synth);
            if (!p || fluid_player_add_mem(p, bytes.data(), bytes.size()) != FLUID_OK) {
                if (p) delete_fluid_player(p);
                m->problem("music: " + file + ": the synthesiser does not take it; the menu stays silent");
                if (!m->device) {
                    m->playerOwner = nullptr;
                    m->tune.clear();
                }
                return;
            }
            m->player = p;
        });
    }

    void play() {
        m_->sync();
        std::lock_guard lock(m_->mu);
        if (m_->playerOwner != this || played_) return;
        // Played once, from the start; the sequencer stops at the end.
        played_ = true;
        m_->playIssued = true;
        if (!m_->listening()) {
            m_->silentStart = m_->clock.now();
            return;
        }
        MediaSystem::Impl* m = m_.get();
        m_->onSynth([m] {
            if (m->player) fluid_player_play(m->player);
        });
    }

    void stop() {
        m_->sync();
        std::lock_guard lock(m_->mu);
        if (m_->playerOwner != this) return;
        m_->playIssued = false;
        m_->silentStart = -1;
        if (!m_->listening()) return;
        MediaSystem::Impl* m = m_.get();
        m_->onSynth([m] {
            if (!m->player) return;
            fluid_player_stop(m->player);
            fluid_synth_all_notes_off(m->synth, -1);
        });
    }

    void close() {
        played_ = false;
        m_->sync();
        std::lock_guard lock(m_->mu);
        if (m_->playerOwner != this) return;
        m_->playerOwner = nullptr;
        m_->tune.clear();
        m_->silentStart = -1;
        m_->playIssued = false;
        if (!m_->listening()) return;
        MediaSystem::Impl* m = m_.get();
        m_->onSynth([m] {
            if (!m->player) return;
            fluid_player_stop(m->player);
            delete_fluid_player(m->player);
            m->player = nullptr;
            // The mix fades the synthesiser out now; its notes stop and it
            // is clean for the next tune.
            fluid_synth_all_sounds_off(m->synth, -1);
            fluid_synth_system_reset(m->synth);
        });
    }

    ImplPtr m_;
    bool notify_ = false, wait_ = false, shareable_ = false;
    std::string deviceType_, fileName_, lastCommand_;
    bool played_ = false;
};

std::unique_ptr<Component> makeMidiControl(ImplPtr m, const Control&) {
    return std::make_unique<MidiControl>(std::move(m));
}

}  // namespace az
