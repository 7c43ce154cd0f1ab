// scenario.h: the scripted server's scenario steps and the parser of the
// scenario text format (described in README.md and at the top of main.cpp).
#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace scripted {

using Millis = std::chrono::milliseconds;

inline constexpr Millis DefaultWithin{10000};
inline constexpr Millis DefaultAwait{60000};

// Bytes at an offset of a message: written by a send, compared by an expect.
// Every field line of the format (seat, value, text, zero, ...) becomes one.
struct Patch {
    std::size_t offset = 0;
    std::vector<std::uint8_t> bytes;
    std::string label;  // the field line as written, for failure messages
    int line = 0;
};

// A message to send or a message to expect. cmd < 0 means any command.
struct MessageSpec {
    int cmd = -1;
    std::vector<Patch> patches;
};

enum class StepKind {
    Accept,       // wait for a connection
    Send,         // send one message
    Expect,       // the next message (after ignored ones) must match
    ExpectClose,  // the peer must close the connection
    Quiet,        // nothing but ignored commands may arrive for a time
    NoAccept,     // nobody may connect for a time
    Wait,         // let time pass; arrivals are kept for later steps
    Close,        // close the connection from our side
    Ignore,       // set the commands skipped while expecting others
    Mark,         // a named point in the log, for the runners' screenshots
    Await,        // wait for the runner's go file; arrivals are kept
};

struct Step {
    StepKind kind = StepKind::Wait;
    int line = 0;
    MessageSpec message;            // Send, Expect
    Millis within = DefaultWithin;  // Accept, Expect, ExpectClose: time limit
    Millis after{0};                // Expect: earliest accepted arrival
    Millis duration{0};             // Quiet, NoAccept, Wait
    std::set<int> ignored;          // Ignore
    std::string name;               // Mark, Await
};

struct ParseResult {
    std::vector<Step> steps;
    std::string error;  // "line N: ..." when parsing failed
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// Parses a whole scenario; repeat blocks are unrolled into the step list.
[[nodiscard]] ParseResult parseScenario(std::string_view text);

[[nodiscard]] std::string_view toString(StepKind kind);

// One step in the words of the scenario, for the log and failure messages.
[[nodiscard]] std::string describe(const Step& step);

}  // namespace scripted
