// MMControl1: the menu's MIDI sequencer control. The menu writes Notify,
// Wait, Shareable, DeviceType and FileName, then the commands "Open" and
// "Play"; its Unload writes "Close". The tune plays once in the background
// through the shared synthesiser.
#include <fluidsynth.h>

#include <cstdint>
#include <functional>
#include <set>

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

// A channel event: its status byte and its one or two data bytes.
using ChannelEvent = std::function<void(uint8_t status, const uint8_t* data)>;

// Walks the events of one track; empty when they are well formed.
std::string checkTrack(const std::string& b, size_t pos, size_t end, int track, const ChannelEvent* onEvent) {
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
    while (pos < end) {
        uint32_t delta;
        if (!varLen(delta)) return bad("cut off in an event time");
        if (pos >= end) return bad("cut off after an event time");
        uint8_t status = uint8_t(b[pos]);
        if (status & 0x80) {
            ++pos;
        } else {
            if (!running) return bad("data byte without a status");
            status = running;
        }
        if (status == 0xFF) {
            if (pos >= end) return bad("cut off in a meta event");
            uint8_t type = uint8_t(b[pos++]);
            uint32_t len;
            if (!varLen(len) || len > end - pos) return bad("meta event runs past the track");
            pos += len;
            if (type == 0x2F) return {};  // end of track
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t len;
            if (!varLen(len) || len > end - pos) return bad("system exclusive runs past the track");
            pos += len;
        } else if (status >= 0xF0) {
            return bad("unexpected system message");
        } else {
            running = status;
            int n = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            if (end - pos < size_t(n)) return bad("cut off in a channel event");
            for (int i = 0; i < n; ++i)
                if (uint8_t(b[pos + i]) & 0x80) return bad("bad data byte");
            if (onEvent) (*onEvent)(status, reinterpret_cast<const uint8_t*>(b.data() + pos));
            pos += n;
        }
    }
    return bad("no end-of-track event");
}

}  // namespace

static std::string walkMidiFile(const std::string& b, const ChannelEvent* onEvent) {
    if (b.size() < 14 || b.compare(0, 4, "MThd") != 0) return "not a Standard MIDI File";
    const uint32_t hlen = be32(b, 4);
    if (hlen < 6 || hlen > b.size() - 8) return "bad MIDI header";
    const uint16_t format = be16(b, 8), tracks = be16(b, 10), division = be16(b, 12);
    if (format > 2 || tracks == 0 || division == 0) return "bad MIDI header";
    size_t pos = 8 + hlen;
    int found = 0;
    while (found < tracks) {
        if (b.size() - pos < 8) return "truncated: " + std::to_string(found) + " of " + std::to_string(tracks) + " tracks";
        const uint32_t len = be32(b, pos + 4);
        if (len > b.size() - pos - 8) return "truncated in track " + std::to_string(found);
        if (b.compare(pos, 4, "MTrk") == 0) {
            if (std::string e = checkTrack(b, pos + 8, pos + 8 + len, found, onEvent); !e.empty()) return e;
            ++found;
        }
        pos += 8 + len;  // other chunks are skipped
    }
    return {};
}

std::string checkMidiFile(const std::string& b) { return walkMidiFile(b, nullptr); }

std::vector<std::pair<int, int>> midiInstruments(const std::string& b) {
    // Every channel starts on program 0 of its bank until told otherwise.
    std::set<std::pair<int, int>> found{{0, 0}, {128, 0}};
    int bank[16] = {};
    const ChannelEvent onEvent = [&](uint8_t status, const uint8_t* d) {
        const int ch = status & 0x0F;
        if ((status & 0xF0) == 0xB0 && d[0] == 0) bank[ch] = d[1];
        if ((status & 0xF0) == 0xC0) found.insert({ch == 9 ? 128 : bank[ch], d[0]});
    };
    walkMidiFile(b, &onEvent);
    return {found.begin(), found.end()};
}

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
        const std::string name = baseName(fileName_);
        std::string why;
        auto bytes = readWholeFile(fileName_, &why);
        if (bytes) why = checkMidiFile(*bytes);
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
        fluid_player_t* p = new_fluid_player(m_->synth);
        if (!p || fluid_player_add_mem(p, bytes->data(), bytes->size()) != FLUID_OK) {
            if (p) delete_fluid_player(p);
            m_->problem("music: " + fileName_ + ": the synthesiser does not take it; the menu stays silent");
            return;
        }
        m_->player = p;
        m_->playerOwner = this;
        m_->tune = name;
        ++m_->playerSerial;
        m_->playPending = false;
        instruments_ = midiInstruments(*bytes);
    }

    void play() {
        m_->sync();
        std::unique_lock lock(m_->mu);
        if (m_->playerOwner != this || played_) return;
        played_ = true;
        if (!m_->device) {
            // Played once, from the start; the sequencer stops at the end.
            fluid_player_play(m_->player);
            return;
        }
        // The audio thread is not to wait for the disk: the tune's
        // instruments are read in first, then it plays.
        m_->playPending = true;
        if (m_->warmer.joinable()) {
            lock.unlock();
            m_->warmer.join();
            lock.lock();
            if (m_->playerOwner != this || !m_->playPending) return;
        }
        m_->warmer = std::thread(warm, m_.get(), m_->playerSerial, instruments_);
    }

    static void warm(MediaSystem::Impl* m, uint64_t serial, std::vector<std::pair<int, int>> instruments) {
        int channel = MediaSystem::Impl::kSpareChannel;
        fluid_sfont_t* font = nullptr;
        for (const auto& [bank, program] : instruments) {
            std::lock_guard lock(m->mu);
            if (!m->live || !m->player || m->playerSerial != serial) return;
            // A channel holding an instrument keeps its samples in memory.
            if (!font) font = fluid_synth_get_sfont(m->synth, 0);
            if (font && channel < 2 * MediaSystem::Impl::kSpareChannel)
                fluid_synth_program_select(m->synth, channel++, fluid_sfont_get_id(font), bank, program);
        }
        std::lock_guard lock(m->mu);
        if (!m->live || !m->player || m->playerSerial != serial || !m->playPending) return;
        fluid_player_play(m->player);
        m->playPending = false;
    }

    void stop() {
        m_->sync();
        std::lock_guard lock(m_->mu);
        if (m_->playerOwner != this) return;
        m_->playPending = false;
        fluid_player_stop(m_->player);
        fluid_synth_all_notes_off(m_->synth, -1);
    }

    void close() {
        played_ = false;
        m_->sync();
        std::lock_guard lock(m_->mu);
        if (m_->playerOwner != this) return;
        fluid_player_stop(m_->player);
        delete_fluid_player(m_->player);
        m_->player = nullptr;
        m_->playPending = false;
        m_->playerOwner = nullptr;
        m_->tune.clear();
        // The mix fades the synthesiser out now; its notes stop and it is
        // clean for the next tune.
        fluid_synth_all_sounds_off(m_->synth, -1);
        fluid_synth_system_reset(m_->synth);
    }

    ImplPtr m_;
    bool notify_ = false, wait_ = false, shareable_ = false;
    std::string deviceType_, fileName_, lastCommand_;
    bool played_ = false;
    std::vector<std::pair<int, int>> instruments_;
};

std::unique_ptr<Component> makeMidiControl(ImplPtr m, const Control&) {
    return std::make_unique<MidiControl>(std::move(m));
}

}  // namespace az
