// clock.h: time, pauses and timers as the core sees them.
#pragma once
#include <chrono>
#include <functional>
#include <memory>

namespace mj::platform {

using Millis = std::chrono::milliseconds;

// A window timer. It never fires while its own callback is still running (a
// callback that pumps events does not see itself nested). Destroying the handle
// cancels the timer; no callback runs after that.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setEnabled(bool on) = 0;
    [[nodiscard]] virtual bool enabled() const = 0;
    virtual void setInterval(Millis interval) = 0;
    [[nodiscard]] virtual Millis interval() const = 0;
};

// The one source of time and the event pump. All on the window thread.
class Clock {
public:
    virtual ~Clock() = default;

    // Monotonic milliseconds since an arbitrary start; never goes back.
    [[nodiscard]] virtual Millis monotonic() const = 0;
    // Seconds since local midnight with fractions; falls back to 0 at midnight.
    [[nodiscard]] virtual double secondsSinceMidnight() const = 0;
    // Local wall-clock time of day, for time stamps shown to the player.
    struct TimeOfDay {
        int hour = 0, minute = 0, second = 0;
    };
    [[nodiscard]] virtual TimeOfDay timeOfDay() const = 0;
    // Today's local date, for names made of the date (photos).
    struct Date {
        int year = 2000, month = 1, day = 1;
    };
    [[nodiscard]] virtual Date today() const = 0;

    // Blocks the thread: no event, timer or socket data is handled meanwhile.
    virtual void sleep(Millis duration) = 0;
    // One pass of the event pump: handles what is pending, waiting at most
    // maxWait for something to arrive. Timers and socket events run inside.
    virtual void pumpEvents(Millis maxWait) = 0;

    // A disabled timer with the given interval; the callback runs on each
    // expiry while enabled. Ownership of the timer passes to the caller.
    [[nodiscard]] virtual std::unique_ptr<Timer> createTimer(Millis interval, std::function<void()> onTick) = 0;
};

}  // namespace mj::platform
