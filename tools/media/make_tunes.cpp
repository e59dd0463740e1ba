// az-make-tunes: turns one score (tunes/*.txt) into a Standard MIDI File.
//
//   az-make-tunes SCORE.txt OUT.mid
//
// Format 1: track 0 carries the title, tempo and meter; every voice gets
// a track of its own with its program, volume, pan and effect levels.
#include "score.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

void putVarLen(Bytes& out, std::uint32_t v)
{
    std::uint8_t buf[5];
    int n = 0;
    buf[n++] = v & 0x7f;
    while (v >>= 7)
        buf[n++] = std::uint8_t((v & 0x7f) | 0x80);
    while (n--)
        out.push_back(buf[n]);
}

struct Event {
    std::int64_t tick;
    int order;  // at equal ticks: setup first, then note-offs, then note-ons
    Bytes data;
};

Bytes trackChunk(std::vector<Event> events, std::int64_t endTick)
{
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    Bytes body;
    std::int64_t now = 0;
    for (const Event& e : events) {
        putVarLen(body, std::uint32_t(e.tick - now));
        now = e.tick;
        body.insert(body.end(), e.data.begin(), e.data.end());
    }
    putVarLen(body, std::uint32_t(std::max<std::int64_t>(0, endTick - now)));
    body.insert(body.end(), {0xff, 0x2f, 0x00});
    Bytes chunk = {'M', 'T', 'r', 'k'};
    put32(chunk, std::uint32_t(body.size()));
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

Bytes meta(std::uint8_t type, const std::string& text)
{
    Bytes b = {0xff, type};
    putVarLen(b, std::uint32_t(text.size()));
    b.insert(b.end(), text.begin(), text.end());
    return b;
}

Bytes writeMidi(const az::score::Score& score)
{
    // Let the last notes ring for a beat before the file ends.
    std::int64_t end = score.lengthTicks;
    for (const auto& n : score.notes)
        end = std::max(end, n.off);
    end += az::score::kTicksPerBeat;

    Bytes out = {'M', 'T', 'h', 'd'};
    put32(out, 6);
    const auto tracks = std::uint16_t(score.voices.size() + 1);
    out.insert(out.end(), {0, 1, std::uint8_t(tracks >> 8), std::uint8_t(tracks),
                           std::uint8_t(az::score::kTicksPerBeat >> 8),
                           std::uint8_t(az::score::kTicksPerBeat & 0xff)});

    std::vector<Event> conductor;
    conductor.push_back({0, 0, meta(0x03, score.title)});
    const auto usPerBeat = std::uint32_t(std::lround(60'000'000.0 / score.tempo));
    conductor.push_back({0, 1, {0xff, 0x51, 0x03, std::uint8_t(usPerBeat >> 16),
                                std::uint8_t(usPerBeat >> 8), std::uint8_t(usPerBeat)}});
    int unitLog = 0;
    while ((1 << unitLog) < score.meterUnit)
        ++unitLog;
    conductor.push_back({0, 2, {0xff, 0x58, 0x04, std::uint8_t(score.meterBeats),
                                std::uint8_t(unitLog), 24, 8}});
    Bytes file = out;
    Bytes chunk = trackChunk(conductor, end);
    file.insert(file.end(), chunk.begin(), chunk.end());

    for (size_t v = 0; v < score.voices.size(); ++v) {
        const auto& voice = score.voices[v];
        const auto ch = std::uint8_t(voice.channel);
        std::vector<Event> events;
        events.push_back({0, 0, meta(0x03, voice.name)});
        events.push_back({0, 1, {std::uint8_t(0xb0 | ch), 0, 0}});  // bank 0
        events.push_back({0, 2, {std::uint8_t(0xc0 | ch), std::uint8_t(voice.program)}});
        events.push_back({0, 3, {std::uint8_t(0xb0 | ch), 7, std::uint8_t(voice.volume)}});
        events.push_back({0, 3, {std::uint8_t(0xb0 | ch), 10, std::uint8_t(voice.pan)}});
        events.push_back({0, 3, {std::uint8_t(0xb0 | ch), 91, std::uint8_t(voice.reverb)}});
        events.push_back({0, 3, {std::uint8_t(0xb0 | ch), 93, std::uint8_t(voice.chorus)}});
        for (const auto& n : score.notes) {
            if (n.voice != int(v))
                continue;
            events.push_back({n.off, 4, {std::uint8_t(0x80 | ch), std::uint8_t(n.key), 0}});
            events.push_back({n.on, 5, {std::uint8_t(0x90 | ch), std::uint8_t(n.key),
                                        std::uint8_t(n.velocity)}});
        }
        chunk = trackChunk(std::move(events), end);
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: az-make-tunes SCORE.txt OUT.mid\n");
        return 2;
    }
    try {
        const auto score = az::score::parseFile(argv[1]);
        const Bytes file = writeMidi(score);
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
        if (!out)
            throw std::runtime_error(std::string(argv[2]) + ": cannot write");
        std::printf("%s: %zu notes, %.1f s\n", argv[2], score.notes.size(),
                    score.seconds(score.lengthTicks));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "az-make-tunes: %s\n", e.what());
        return 1;
    }
    return 0;
}
