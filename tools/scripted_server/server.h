// server.h: the scripted game server: one TCP listener on a loopback address that plays
// a parsed scenario against whichever client connects, logging every message.
#pragma once
#include <chrono>
#include <cstdint>
#include <deque>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "scenario.h"
#include "shared/wire.h"

namespace scripted {

struct RunOutcome {
    bool ok = false;
    std::string failure;  // the failed step and why, when !ok
};

class ScriptedServer {
public:
    using Clock = std::chrono::steady_clock;

    // Log lines go to `log` (borrowed; must outlive the server), each flushed.
    explicit ScriptedServer(std::ostream& log);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    // Listens on host:port (a dotted IPv4 address); port 0 picks a free one.
    // Returns the bound port, or 0 with the reason in `error`.
    std::uint16_t listen(std::uint16_t port, std::string& error, const std::string& host = "127.0.0.1");

    // Plays the steps in order and stops at the first failure, or with
    // `keepGoing` logs each failure and goes on (the outcome is then the first
    // failure). The whole run is bounded by `globalTimeout`. Closes the
    // connection at the end.
    RunOutcome run(const std::vector<Step>& steps, Millis globalTimeout, bool keepGoing = false);

    // The folder where `await NAME` looks for the runner's file NAME.
    void setGoDir(std::string dir) { goDir_ = std::move(dir); }

private:
    struct Arrival {
        mj::WireMessage message;
        Clock::time_point at;
    };
    enum class Wake { Event, Deadline };

    RunOutcome runStep(const Step& step);
    RunOutcome stepAccept(const Step& step);
    RunOutcome stepSend(const Step& step);
    RunOutcome stepExpect(const Step& step, Clock::time_point start);
    RunOutcome stepExpectClose(const Step& step);
    RunOutcome stepQuiet(const Step& step, Clock::time_point start);
    RunOutcome stepNoAccept(const Step& step, Clock::time_point start);
    RunOutcome stepWait(const Step& step, Clock::time_point start);
    RunOutcome stepClose();
    RunOutcome stepAwait(const Step& step, Clock::time_point start);

    // Waits for one socket event (data, close, a pending connection) or the
    // deadline (capped by the global one) and handles what arrived.
    Wake pumpOnce(Clock::time_point deadline, bool watchListener);
    void readConnection();
    void closeConnection(const char* why);
    [[nodiscard]] RunOutcome timedOut(const Step& step, const std::string& what) const;
    [[nodiscard]] bool globalExpired() const { return Clock::now() >= globalDeadline_; }
    void logLine(const std::string& text);

    std::ostream& log_;
    Clock::time_point started_ = Clock::now();
    Clock::time_point globalDeadline_ = Clock::time_point::max();
    int listener_ = -1;
    int conn_ = -1;
    bool peerClosed_ = false;
    bool pendingConnection_ = false;
    std::vector<std::uint8_t> partial_;
    std::deque<Arrival> queue_;
    std::set<int> ignored_{mj::CmdKeepAlive};
    std::string goDir_;
};

}  // namespace scripted
