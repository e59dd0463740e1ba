// Parser for our score notation; see tunes/README.md.
#include "score.hpp"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace az::score {
namespace {

struct BlockNote {
    int step = 0;     // start, in sixteenths from the block's start
    int length = 1;   // in sixteenths
    int key = 60;
    int velocity = 96;
    int gate = 92;    // percent of the length that sounds
};

struct Block {
    int voice = 0;
    bool drums = false;
    int length = 0;   // in sixteenths
    std::vector<BlockNote> notes;
};

const std::map<std::string, int>& drumKeys()
{
    static const std::map<std::string, int> keys = {
        {"kick", 36},     {"kick2", 35},    {"stick", 37},     {"snare", 38},   {"clap", 39},
        {"snare2", 40},   {"floor", 41},    {"hat", 42},       {"pedal", 44},   {"tomlow", 45},
        {"open", 46},     {"tommid", 47},   {"tomhigh", 50},   {"crash", 49},   {"ride", 51},
        {"china", 52},    {"bell", 53},     {"tamb", 54},      {"splash", 55},  {"cowbell", 56},
        {"crash2", 57},   {"vibraslap", 58}, {"bongohi", 60},  {"bongolo", 61}, {"congamute", 62},
        {"congahi", 63},  {"congalo", 64},  {"timbhi", 65},    {"timblo", 66},  {"cabasa", 69},
        {"maracas", 70},  {"guiro", 73},    {"claves", 75},    {"woodhi", 76},  {"woodlo", 77},
        {"trimute", 80},  {"triangle", 81},
    };
    return keys;
}

class Parser {
public:
    explicit Parser(std::string name) : name_(std::move(name)) {}

    Score run(const std::string& text)
    {
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            ++lineNo_;
            // '#' starts a comment unless it sharpens a note ("f#3").
            for (size_t i = 0; i < line.size(); ++i) {
                if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) {
                    line.erase(i);
                    break;
                }
            }
            std::istringstream words(line);
            std::string head;
            if (!(words >> head))
                continue;
            if (mode_ == Mode::Block) {
                if (head == "end") {
                    finishBlock();
                    mode_ = Mode::Top;
                } else {
                    blockLine(line);
                }
                continue;
            }
            if (mode_ == Mode::Song) {
                if (head == "end")
                    mode_ = Mode::Top;
                else
                    songLine(head, words);
                continue;
            }
            topLine(head, words);
        }
        if (mode_ != Mode::Top)
            fail("missing 'end'");
        std::stable_sort(score_.notes.begin(), score_.notes.end(),
                         [](const Note& a, const Note& b) { return a.on < b.on; });
        return std::move(score_);
    }

private:
    enum class Mode { Top, Block, Song };

    [[noreturn]] void fail(const std::string& message) const
    {
        throw std::runtime_error(name_ + ":" + std::to_string(lineNo_) + ": " + message);
    }

    int number(std::istringstream& words, const char* what)
    {
        double value = 0;
        if (!(words >> value))
            fail(std::string("expected a number after '") + what + "'");
        return int(value);
    }

    void topLine(const std::string& head, std::istringstream& words)
    {
        if (head == "title") {
            std::getline(words, score_.title);
            score_.title.erase(0, score_.title.find_first_not_of(' '));
        } else if (head == "tempo") {
            if (!(words >> score_.tempo) || score_.tempo < 20 || score_.tempo > 400)
                fail("bad tempo");
        } else if (head == "swing") {
            swing_ = number(words, "swing");
            if (swing_ < 50 || swing_ > 75)
                fail("swing must lie between 50 and 75 percent");
        } else if (head == "meter") {
            score_.meterBeats = number(words, "meter");
            score_.meterUnit = number(words, "meter");
        } else if (head == "voice") {
            voiceLine(words);
        } else if (head == "block") {
            std::string blockName, voiceName;
            if (!(words >> blockName >> voiceName))
                fail("expected 'block NAME VOICE'");
            if (blocks_.count(blockName))
                fail("block '" + blockName + "' defined twice");
            auto it = voiceIndex_.find(voiceName);
            if (it == voiceIndex_.end())
                fail("unknown voice '" + voiceName + "'");
            current_ = Block{};
            current_.voice = it->second;
            current_.drums = score_.voices[size_t(it->second)].channel == 9;
            currentName_ = blockName;
            cursor_ = 0;
            gridStart_ = 0;
            length_ = 4;
            velocity_ = score_.voices[size_t(it->second)].velocity;
            gate_ = 92;
            mode_ = Mode::Block;
        } else if (head == "song") {
            mode_ = Mode::Song;
        } else {
            fail("unknown keyword '" + head + "'");
        }
    }

    void voiceLine(std::istringstream& words)
    {
        Voice voice;
        if (!(words >> voice.name))
            fail("expected a voice name");
        std::string key;
        bool haveChannel = false;
        while (words >> key) {
            int value = number(words, key.c_str());
            if (key == "channel") {
                if (value < 1 || value > 16)
                    fail("channel must be 1 to 16");
                voice.channel = value - 1;
                haveChannel = true;
            } else if (key == "program") {
                if (value < 1 || value > 128)
                    fail("program must be 1 to 128");
                voice.program = value - 1;
            } else if (key == "volume" || key == "pan" || key == "reverb" || key == "chorus" ||
                       key == "velocity") {
                if (value < 0 || value > 127)
                    fail(key + " must be 0 to 127");
                (key == "volume"   ? voice.volume
                 : key == "pan"    ? voice.pan
                 : key == "reverb" ? voice.reverb
                 : key == "chorus" ? voice.chorus
                                   : voice.velocity) = value;
            } else {
                fail("unknown voice setting '" + key + "'");
            }
        }
        if (!haveChannel)
            fail("voice needs a channel");
        if (voiceIndex_.count(voice.name))
            fail("voice '" + voice.name + "' defined twice");
        voiceIndex_[voice.name] = int(score_.voices.size());
        score_.voices.push_back(voice);
    }

    // "c4", "f#3", "bb2": letter, accidentals, octave (C4 = middle C = 60).
    int pitch(const std::string& token, size_t& pos)
    {
        static const int base[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
        if (pos >= token.size() || token[pos] < 'a' || token[pos] > 'g')
            fail("bad pitch in '" + token + "'");
        int key = base[token[pos] - 'a'];
        ++pos;
        while (pos < token.size() && (token[pos] == '#' || token[pos] == 'b')) {
            key += token[pos] == '#' ? 1 : -1;
            ++pos;
        }
        if (pos >= token.size() || !std::isdigit(static_cast<unsigned char>(token[pos])))
            fail("pitch without octave in '" + token + "'");
        int octave = token[pos] - '0';
        ++pos;
        key += (octave + 1) * 12;
        if (key < 0 || key > 127)
            fail("pitch out of range in '" + token + "'");
        return key;
    }

    // Optional ":N" length and "'" staccato after a note, chord or rest.
    void suffix(const std::string& token, size_t& pos, bool& staccato)
    {
        staccato = false;
        if (pos < token.size() && token[pos] == ':') {
            ++pos;
            size_t digits = 0;
            int value = 0;
            while (pos < token.size() && std::isdigit(static_cast<unsigned char>(token[pos]))) {
                value = value * 10 + (token[pos] - '0');
                ++pos;
                ++digits;
            }
            if (digits == 0 || value <= 0)
                fail("bad length in '" + token + "'");
            length_ = value;
        }
        if (pos < token.size() && token[pos] == '\'') {
            staccato = true;
            ++pos;
        }
        if (pos != token.size())
            fail("unexpected text in '" + token + "'");
    }

    void include(const std::string& token, int at, int& length)
    {
        std::string ref = token.substr(1);
        int transpose = 0;
        if (auto sign = ref.find_first_of("+-"); sign != std::string::npos) {
            try {
                transpose = std::stoi(ref.substr(sign));
            } catch (const std::exception&) {
                fail("bad transposition in '" + token + "'");
            }
            ref.erase(sign);
        }
        auto it = blocks_.find(ref);
        if (it == blocks_.end())
            fail("unknown block '" + ref + "'");
        const Block& other = it->second;
        if (other.voice != current_.voice && other.drums != current_.drums)
            fail("block '" + ref + "' mixes drums and notes");
        for (BlockNote note : other.notes) {
            note.step += at;
            if (!current_.drums)
                note.key += transpose;
            if (note.key < 0 || note.key > 127)
                fail("transposed out of range: '" + token + "'");
            current_.notes.push_back(note);
        }
        length = other.length;
    }

    void blockLine(const std::string& line)
    {
        if (current_.drums) {
            drumLine(line);
            return;
        }
        std::istringstream words(line);
        std::string token;
        while (words >> token) {
            if (token == "|")
                continue;
            if (token == "vel") {
                velocity_ = number(words, "vel");
                continue;
            }
            if (token == "gate") {
                gate_ = number(words, "gate");
                continue;
            }
            if (token[0] == '@') {
                int length = 0;
                include(token, cursor_, length);
                cursor_ += length;
                continue;
            }
            size_t pos = 0;
            int accent = 0;
            if (token[pos] == '^') {
                accent = 16;
                ++pos;
            }
            std::vector<int> keys;
            if (pos < token.size() && token[pos] == 'r') {
                ++pos;
            } else if (pos < token.size() && token[pos] == '[') {
                ++pos;
                // A chord may span several words: "[e4 g4 b4]:4".
                std::string rest = token.substr(pos);
                while (rest.find(']') == std::string::npos) {
                    std::string more;
                    if (!(words >> more))
                        fail("unclosed chord");
                    rest += ' ' + more;
                }
                size_t close = rest.find(']');
                std::istringstream chord(rest.substr(0, close));
                std::string p;
                while (chord >> p) {
                    size_t q = 0;
                    keys.push_back(pitch(p, q));
                    if (q != p.size())
                        fail("bad chord note '" + p + "'");
                }
                if (keys.empty())
                    fail("empty chord");
                token = rest.substr(close + 1);
                pos = 0;
            } else {
                keys.push_back(pitch(token, pos));
            }
            bool staccato = false;
            suffix(token, pos, staccato);
            for (int key : keys)
                current_.notes.push_back(
                    {cursor_, length_, key, velocity_ + accent, staccato ? 45 : gate_});
            cursor_ += length_;
        }
    }

    void drumLine(const std::string& line)
    {
        std::istringstream words(line);
        std::string head;
        words >> head;
        if (head == "vel") {
            velocity_ = number(words, "vel");
            return;
        }
        if (head == "then") {
            gridStart_ = cursor_;
            return;
        }
        if (head[0] == '@') {
            // "@a @b": one after another, starting where the grid lines stack.
            int at = gridStart_;
            std::string token = head;
            do {
                if (token[0] != '@')
                    fail("expected '@block', got '" + token + "'");
                int length = 0;
                include(token, at, length);
                at += length;
            } while (words >> token);
            cursor_ = std::max(cursor_, at);
            return;
        }
        if (!head.empty() && head.back() == ':')
            head.pop_back();
        auto it = drumKeys().find(head);
        if (it == drumKeys().end())
            fail("unknown drum '" + head + "'");
        std::string grid;
        std::string part;
        while (words >> part)
            grid += part;
        int step = gridStart_;
        for (char c : grid) {
            if (c == '|')
                continue;
            int velocity = 0;
            switch (c) {
            case '.': break;
            case 'x': velocity = velocity_; break;
            case 'X': velocity = velocity_ + 20; break;
            case 'o': velocity = velocity_ * 55 / 100; break;
            default: fail(std::string("bad grid mark '") + c + "' (use . x X o)");
            }
            if (velocity > 0)
                current_.notes.push_back({step, 1, it->second, velocity, 50});
            ++step;
        }
        cursor_ = std::max(cursor_, step);
    }

    void finishBlock()
    {
        current_.length = cursor_;
        if (current_.length <= 0)
            fail("block '" + currentName_ + "' is empty");
        blocks_[currentName_] = current_;
    }

    // Off-beat eighths fall later by the swing ratio; everything in
    // between is stretched so that order and lengths stay sensible.
    std::int64_t swung(std::int64_t tick) const
    {
        if (swing_ == 50)
            return tick;
        const std::int64_t beat = tick / kTicksPerBeat;
        const double f = double(tick % kTicksPerBeat) / kTicksPerBeat;
        const double s = swing_ / 100.0;
        const double g = f < 0.5 ? f / 0.5 * s : s + (f - 0.5) / 0.5 * (1.0 - s);
        return beat * kTicksPerBeat + std::int64_t(g * kTicksPerBeat + 0.5);
    }

    void songLine(const std::string& head, std::istringstream& words)
    {
        if (head == "rest") {
            songStep_ += number(words, "rest");
            return;
        }
        if (head != "play")
            fail("expected 'play' or 'rest' in song");
        std::vector<std::string> refs;
        int times = 1;
        std::string word;
        while (words >> word) {
            if (word.size() > 1 && word[0] == 'x' && std::isdigit(static_cast<unsigned char>(word[1])))
                times = std::stoi(word.substr(1));
            else
                refs.push_back(word);
        }
        if (refs.empty())
            fail("nothing to play");
        // Resolve each reference into a one-off block so transposition works.
        std::vector<Block> parts;
        int sectionLength = 0;
        for (const std::string& ref : refs) {
            std::string plain = ref;
            if (auto sign = plain.find_first_of("+-"); sign != std::string::npos)
                plain.erase(sign);
            auto it = blocks_.find(plain);
            if (it == blocks_.end())
                fail("unknown block '" + plain + "'");
            current_ = Block{};
            current_.voice = it->second.voice;
            current_.drums = it->second.drums;
            int length = 0;
            include("@" + ref, 0, length);
            current_.length = length;
            sectionLength = std::max(sectionLength, length);
            parts.push_back(current_);
        }
        for (int t = 0; t < times; ++t) {
            for (const Block& part : parts) {
                // Shorter blocks repeat to fill the section.
                for (int at = 0; at < sectionLength; at += part.length) {
                    for (const BlockNote& n : part.notes) {
                        if (at + n.step >= sectionLength)
                            continue;
                        std::int64_t start = std::int64_t(songStep_ + at + n.step) * kTicksPerStep;
                        std::int64_t sounding = std::int64_t(n.length) * kTicksPerStep * n.gate / 100;
                        Note note;
                        note.on = swung(start);
                        note.off = std::max(swung(start + sounding), note.on + 10);
                        note.voice = part.voice;
                        note.key = n.key;
                        note.velocity = std::clamp(n.velocity + jitter(), 1, 127);
                        score_.notes.push_back(note);
                    }
                }
            }
            songStep_ += sectionLength;
        }
        score_.lengthTicks = std::int64_t(songStep_) * kTicksPerStep;
    }

    // A small, repeatable wobble in loudness so repeated notes breathe.
    int jitter()
    {
        seed_ = seed_ * 1103515245u + 12345u;
        return int((seed_ >> 16) % 7) - 3;
    }

    std::string name_;
    int lineNo_ = 0;
    Mode mode_ = Mode::Top;
    Score score_;
    int swing_ = 50;
    std::map<std::string, int> voiceIndex_;
    std::map<std::string, Block> blocks_;
    Block current_;
    std::string currentName_;
    int cursor_ = 0;
    int gridStart_ = 0;
    int length_ = 4;
    int velocity_ = 96;
    int gate_ = 92;
    int songStep_ = 0;
    std::uint32_t seed_ = 20240601u;
};

}  // namespace

Score parseText(const std::string& text, const std::string& name)
{
    return Parser(name).run(text);
}

Score parseFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(path + ": cannot open");
    std::ostringstream text;
    text << in.rdbuf();
    return parseText(text.str(), path);
}

}  // namespace az::score
