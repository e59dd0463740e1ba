// Game time in milliseconds. The game runs on the steady clock; tests and
// scripts run on a manual clock so that hours pass in milliseconds.
#pragma once

#include <chrono>
#include <cstdint>

namespace az {

class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t now() const = 0;
};

class ManualClock : public Clock {
public:
    int64_t now() const override { return t_; }
    void set(int64_t t) { t_ = t; }
    void advance(int64_t ms) { t_ += ms; }

private:
    int64_t t_ = 0;
};

class SteadyClock : public Clock {
public:
    SteadyClock() : start_(std::chrono::steady_clock::now()) {}
    int64_t now() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start_)
            .count();
    }

private:
    std::chrono::steady_clock::time_point start_;
};

}  // namespace az
