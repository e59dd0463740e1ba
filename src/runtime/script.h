// The scenario driver: runs the game from a plain text script, one command
// a line (click, drag, select, close, wait, expect, screenshot).
#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/runtime.h"

namespace az {

// The longest `wait`: a day of game time.
constexpr int64_t kMaxWaitMs = 24LL * 60 * 60 * 1000;

// Thrown by an `expect` extension for a line it cannot read: the script is
// malformed (exit 2), not a failed expectation.
struct MalformedLine : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where a script runs: headless with a manual clock, or in real windows.
class ScriptHost {
public:
    virtual ~ScriptHost() = default;
    virtual Runtime& runtime() = 0;
    // Lets MS of game time pass (0 to kMaxWaitMs), delivering every due
    // tick in order.
    virtual void wait(int64_t ms) = 0;
    // Called after every input command, so that a real host can show it.
    virtual void settle() {}
};

// Extra `expect` subjects that other modules add (music, movies).
// The function gets the words after the subject and returns an error
// message, or nullopt when the expectation holds.
using ExpectExtension =
    std::function<std::optional<std::string>(ScriptHost&, const std::vector<std::string>& args)>;

struct ScriptResult {
    int exitCode = 0;  // 0 passed, 1 an expectation failed, 2 a malformed script or error
    std::string message;
    int commands = 0;
};

class ScriptRunner {
public:
    explicit ScriptRunner(ScriptHost& host) : host_(host) {}
    void addExpect(std::string subject, ExpectExtension f) { extensions_[std::move(subject)] = std::move(f); }
    ScriptResult run(std::istream& in);
    // A script given as text (tests write them inline).
    ScriptResult run(const std::string& script);
    // Where "include FILE" finds its files: the including script's folder.
    void setIncludeFolder(std::string folder) { includeFolder_ = std::move(folder); }

private:
    ScriptHost& host_;
    std::string includeFolder_ = ".";
    std::map<std::string, ExpectExtension> extensions_;
};

// Splits a script line into words; "quoted text" is one word, kept with its
// quotes. A # outside quotes starts a comment that runs to the end of the line.
std::vector<std::string> splitWords(const std::string& line, std::string* error);

// A headless host: headless windows and a manual clock at game time 0.
class HeadlessHost : public ScriptHost {
public:
    explicit HeadlessHost(std::vector<SceneDef> defs)
        : rt_(std::move(defs), ws_, clock_) {}
    Runtime& runtime() override { return rt_; }
    void wait(int64_t ms) override;
    HeadlessWindowSystem& windows() { return ws_; }
    ManualClock& clock() { return clock_; }

private:
    HeadlessWindowSystem ws_;
    ManualClock clock_;
    Runtime rt_;
};

}  // namespace az
