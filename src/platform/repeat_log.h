// repeat_log.h: one log line per change between faulty and sound input, not
// one per input. How often a peer sends something bad is in the peer's hands;
// how many lines the log gets must not be.
#pragma once
#include <cstddef>
#include <utility>

namespace mj::platform {

class RepeatLog {
public:
    // A fault: true when it is the first since the last sound input (log it).
    [[nodiscard]] bool fault() { return count_++ == 0; }
    // Sound input: the number of faults it ends, 0 when there were none (log
    // the count when there were).
    [[nodiscard]] std::size_t sound() { return std::exchange(count_, 0); }
    [[nodiscard]] std::size_t count() const { return count_; }

private:
    std::size_t count_ = 0;
};

}  // namespace mj::platform
