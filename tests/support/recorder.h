// A media component for tests: writes down every property write and call
// the scenes make, and (when asked) when it goes with its scene.
#pragma once

#include <string>
#include <vector>

#include "runtime/runtime.h"

namespace az::testing {

class Recorder : public Component {
public:
    Recorder(std::vector<std::string>& log, std::string who, bool logClose = false)
        : log_(log), who_(std::move(who)), logClose_(logClose) {}
    ~Recorder() override {
        if (logClose_) log_.push_back(who_ + " closed");
    }
    void setProperty(std::string_view name, const Value& v) override {
        log_.push_back(who_ + " " + std::string(name) + "=" + formatValue(v));
    }
    void call(std::string_view method) override { log_.push_back(who_ + " " + std::string(method) + "()"); }
    std::optional<Value> property(std::string_view) const override { return std::nullopt; }

private:
    std::vector<std::string>& log_;
    std::string who_;
    bool logClose_;
};

}  // namespace az::testing
