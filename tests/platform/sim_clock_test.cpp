// The in-memory clock every test and fuzz target runs on: timers that end
// themselves, or each other, from inside a callback, and callbacks that
// throw, must leave the clock able to go on as a window's timers would.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"

namespace mj::platform::sim {
namespace {

using std::chrono::milliseconds;

TEST(SimClock, TimersThatEndThemselvesOrOthersMidCallback) {
    SimClock clock;
    std::vector<std::string> fired;
    std::unique_ptr<Timer> self, outer, inner, other;

    // Fires at 10 and ends itself.
    self = clock.createTimer(milliseconds(10), [&] {
        fired.push_back("self");
        self.reset();
    });
    // Fires at 20, and pumps events: inner fires inside it and ends outer,
    // the timer whose callback is still running.
    outer = clock.createTimer(milliseconds(20), [&] {
        fired.push_back("outer");
        clock.pumpEvents(milliseconds(10));
        fired.push_back("outer resumed");
    });
    inner = clock.createTimer(milliseconds(25), [&] {
        fired.push_back("inner");
        outer.reset();
        other.reset();
    });
    other = clock.createTimer(milliseconds(27), [&] { fired.push_back("other"); });
    self->setEnabled(true);
    clock.advance(milliseconds(15));
    EXPECT_EQ(self, nullptr);
    outer->setEnabled(true);
    inner->setEnabled(true);
    other->setEnabled(true);
    clock.advance(milliseconds(100));
    // inner goes on at its interval; the ended ones never fire again.
    EXPECT_EQ(fired, (std::vector<std::string>{"self", "outer", "inner", "outer resumed", "inner", "inner", "inner"}));
}

TEST(SimClock, ACallbackThatThrowsLeavesItsTimerToFireAgain) {
    SimClock clock;
    int calls = 0;
    auto t = clock.createTimer(milliseconds(10), [&] {
        if (++calls == 1) throw std::runtime_error("first tick fails");
    });
    t->setEnabled(true);
    EXPECT_THROW(clock.advance(milliseconds(10)), std::runtime_error);
    clock.advance(milliseconds(30));
    EXPECT_EQ(calls, 4);
}

TEST(SimClock, TimersDueAtOnceFireInTheOrderTheyWereMade) {
    SimClock clock;
    std::string order;
    auto a = clock.createTimer(milliseconds(30), [&] { order += 'a'; });
    auto b = clock.createTimer(milliseconds(10), [&] { order += 'b'; });
    auto c = clock.createTimer(milliseconds(15), [&] { order += 'c'; });
    for (auto* t : {a.get(), b.get(), c.get()}) t->setEnabled(true);
    clock.advance(milliseconds(30));
    EXPECT_EQ(order, "bcbabc");
}

}  // namespace
}  // namespace mj::platform::sim
