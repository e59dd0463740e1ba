// Media files made wrong on purpose, for the tests of bad files: built at
// test time, so that nothing big lives in the repository.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace az::testing {

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline void spit(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

inline void var(std::string& t, uint32_t v) {
    std::string s(1, char(v & 0x7F));
    while (v >>= 7) s.insert(s.begin(), char(0x80 | (v & 0x7F)));
    t += s;
}
inline void be(std::string& s, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) s += char((v >> (8 * i)) & 0xFF);
}
inline std::string chunk(const char* id, const std::string& body) {
    std::string c = id;
    be(c, uint32_t(body.size()), 4);
    return c + body;
}
inline std::string midiFile(int format, int tracks, uint16_t division, const std::string& trackBodies) {
    std::string h;
    be(h, format, 2);
    be(h, tracks, 2);
    be(h, division, 2);
    return chunk("MThd", h) + trackBodies;
}

// Piano notes, one after another, NOTES of them each TICKS long.
inline std::string notes(int count, uint32_t ticks) {
    std::string t;
    for (int i = 0; i < count; ++i) {
        var(t, 0);
        t += {char(0x90), char(60 + i % 12), char(100)};
        var(t, ticks);
        t += {char(0x80), char(60 + i % 12), char(0)};
    }
    var(t, 0);
    t += std::string("\xFF\x2F\0", 3);
    return chunk("MTrk", t);
}

// A million notes, each a tick long: a valid 8 MB tune.
inline std::string millionNotes() { return midiFile(0, 1, 480, notes(1000000, 1)); }

// 25 frames a second, 40 ticks a frame: two notes of a second each.
inline std::string smpteTune() { return midiFile(0, 1, uint16_t(0xE728), notes(2, 1000)); }

// 5000 tracks of one note each.
inline std::string manyTracks() {
    std::string body;
    for (int i = 0; i < 5000; ++i) body += notes(1, 480);
    return midiFile(1, 5000, 480, body);
}

// A compressed SWF of zeros declaring TOTAL bytes, made in pieces.
inline std::string cwsBomb(uint64_t total) {
    std::string out = "CWS\x0A";
    for (int i = 0; i < 4; ++i) out += char((total >> (8 * i)) & 0xFF);
    z_stream z{};
    deflateInit(&z, 9);
    std::string zeros(1 << 20, '\0'), buf(1 << 16, '\0');
    // Zeros inflate to the same no matter how many: a few MB are enough
    // for FFmpeg, the rest is what the header claims.
    uint64_t left = std::min<uint64_t>(total - 8, 64u << 20);
    do {
        const size_t n = size_t(std::min<uint64_t>(left, zeros.size()));
        left -= n;
        z.next_in = reinterpret_cast<Bytef*>(zeros.data());
        z.avail_in = uInt(n);
        do {
            z.next_out = reinterpret_cast<Bytef*>(buf.data());
            z.avail_out = uInt(buf.size());
            deflate(&z, left ? Z_NO_FLUSH : Z_FINISH);
            out.append(buf.data(), buf.size() - z.avail_out);
        } while (z.avail_out == 0);
    } while (left);
    deflateEnd(&z);
    return out;
}

inline std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s) c = char(rng());
    return s;
}

// CHORD notes struck at once, held for a second (at 120 bpm), each on its
// own key and channel: dense, and within the bounds a tune may have.
inline std::string chord(int count) {
    std::string t;
    auto channel = [](int i) { return i % 16 == 9 ? 0 : i % 16; };
    for (int i = 0; i < count; ++i) {
        var(t, 0);
        t += {char(0x90 | channel(i)), char(30 + i % 60), char(100)};
    }
    for (int i = 0; i < count; ++i) {
        var(t, i == 0 ? 960 : 0);
        t += {char(0x80 | channel(i)), char(30 + i % 60), char(0)};
    }
    var(t, 0);
    t += std::string("\xFF\x2F\0", 3);
    return midiFile(0, 1, 480, chunk("MTrk", t));
}

}  // namespace az::testing
