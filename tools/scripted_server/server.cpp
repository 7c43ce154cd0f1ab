// server.cpp: the poll loop and the step semantics of the scripted server.
#include "server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "matcher.h"

namespace scripted {
namespace {

RunOutcome pass() { return {true, {}}; }

RunOutcome fail(const Step& step, const std::string& why) { return {false, describe(step) + ": " + why}; }

long long msBetween(ScriptedServer::Clock::time_point from, ScriptedServer::Clock::time_point to) {
    return std::chrono::duration_cast<Millis>(to - from).count();
}

}  // namespace

ScriptedServer::ScriptedServer(std::ostream& log) : log_(log) {}

ScriptedServer::~ScriptedServer() {
    if (conn_ >= 0) ::close(conn_);
    if (listener_ >= 0) ::close(listener_);
}

void ScriptedServer::logLine(const std::string& text) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%7lld ms] ", msBetween(started_, Clock::now()));
    log_ << stamp << text << std::endl;
}

std::uint16_t ScriptedServer::listen(std::uint16_t port, std::string& error, const std::string& host) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return 0;
    }
    const int one = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &addr.sin_addr) != 1) {
        error = "not an IPv4 address: '" + host + "'";
        return 0;
    }
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listener_, 8) != 0) {
        error = "cannot listen on " + host + ":" + std::to_string(port) + ": " + std::strerror(errno);
        return 0;
    }
    socklen_t len = sizeof addr;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    return ntohs(addr.sin_port);
}

RunOutcome ScriptedServer::run(const std::vector<Step>& steps, Millis globalTimeout, bool keepGoing) {
    globalDeadline_ = Clock::now() + globalTimeout;
    RunOutcome outcome = pass();
    for (const Step& step : steps) {
        logLine("-- " + describe(step));
        RunOutcome result = runStep(step);
        if (result.ok) continue;
        if (outcome.ok) outcome = result;
        if (!keepGoing || globalExpired()) break;
        logLine("FAILED " + result.failure + " (going on)");
    }
    if (conn_ >= 0) closeConnection("end of scenario");
    logLine(outcome.ok ? "scenario complete" : "FAILED " + outcome.failure);
    return outcome;
}

RunOutcome ScriptedServer::runStep(const Step& step) {
    const Clock::time_point start = Clock::now();
    switch (step.kind) {
    case StepKind::Accept:
        return stepAccept(step);
    case StepKind::Send:
        return stepSend(step);
    case StepKind::Expect:
        return stepExpect(step, start);
    case StepKind::ExpectClose:
        return stepExpectClose(step);
    case StepKind::Quiet:
        return stepQuiet(step, start);
    case StepKind::NoAccept:
        return stepNoAccept(step, start);
    case StepKind::Wait:
        return stepWait(step, start);
    case StepKind::Close:
        return stepClose();
    case StepKind::Ignore:
        ignored_ = step.ignored;
        return pass();
    case StepKind::Mark:
        logLine("mark " + step.name);
        return pass();
    case StepKind::Await:
        return stepAwait(step, start);
    }
    return fail(step, "unknown step");
}

ScriptedServer::Wake ScriptedServer::pumpOnce(Clock::time_point deadline, bool watchListener) {
    if (globalDeadline_ < deadline) deadline = globalDeadline_;
    pollfd fds[2];
    nfds_t n = 0;
    const bool watchConn = conn_ >= 0 && !peerClosed_;
    if (watchConn) fds[n++] = {conn_, POLLIN, 0};
    if (watchListener && listener_ >= 0) fds[n++] = {listener_, POLLIN, 0};
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return Wake::Deadline;
    // Round up so a poll never returns just before the deadline and spins.
    const auto wait = std::chrono::ceil<Millis>(deadline - now).count();
    const int rc = ::poll(fds, n, static_cast<int>(std::min<long long>(wait, 60000)));
    if (rc < 0) {
        if (errno == EINTR) return Wake::Event;
        logLine(std::string("poll: ") + std::strerror(errno));
        return Wake::Deadline;
    }
    if (rc == 0) return Clock::now() >= deadline ? Wake::Deadline : Wake::Event;
    for (nfds_t i = 0; i < n; ++i) {
        if (fds[i].revents == 0) continue;
        if (fds[i].fd == conn_) {
            readConnection();
        } else if (fds[i].fd == listener_) {
            pendingConnection_ = true;
        }
    }
    return Wake::Event;
}

void ScriptedServer::readConnection() {
    std::uint8_t buf[4096];
    const ssize_t got = ::recv(conn_, buf, sizeof buf, 0);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (got <= 0) {
        peerClosed_ = true;
        std::string what = got == 0 ? "peer closed the connection" : std::string("peer reset: ") + std::strerror(errno);
        if (!partial_.empty()) what += " leaving " + std::to_string(partial_.size()) + " bytes of a partial message";
        logLine(what);
        return;
    }
    partial_.insert(partial_.end(), buf, buf + got);
    // The stream is cut by count alone, exactly as the client cuts it.
    while (partial_.size() >= mj::WireMessageSize) {
        Arrival a;
        std::copy(partial_.begin(), partial_.begin() + mj::WireMessageSize, a.message.begin());
        a.at = Clock::now();
        partial_.erase(partial_.begin(), partial_.begin() + mj::WireMessageSize);
        logLine("C>S " + formatMessage(a.message));
        queue_.push_back(a);
    }
}

void ScriptedServer::closeConnection(const char* why) {
    ::shutdown(conn_, SHUT_RDWR);
    ::close(conn_);
    conn_ = -1;
    peerClosed_ = false;
    partial_.clear();
    queue_.clear();
    logLine(std::string("connection closed (") + why + ")");
}

RunOutcome ScriptedServer::timedOut(const Step& step, const std::string& what) const {
    if (globalExpired()) return fail(step, "global time limit reached while waiting for " + what);
    return fail(step, "timed out waiting for " + what);
}

RunOutcome ScriptedServer::stepAccept(const Step& step) {
    if (conn_ >= 0) return fail(step, "a connection is still open; close it first");
    const Clock::time_point deadline = Clock::now() + step.within;
    while (!pendingConnection_) {
        if (pumpOnce(deadline, true) == Wake::Deadline) return timedOut(step, "a connection");
    }
    pendingConnection_ = false;
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    conn_ = ::accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC);
    if (conn_ < 0) return fail(step, std::string("accept: ") + std::strerror(errno));
    peerClosed_ = false;
    partial_.clear();
    queue_.clear();
    logLine("accepted a connection from port " + std::to_string(ntohs(peer.sin_port)));
    return pass();
}

RunOutcome ScriptedServer::stepSend(const Step& step) {
    if (conn_ < 0) return fail(step, "no connection to send on");
    if (peerClosed_) return fail(step, "the peer has closed the connection");
    const mj::WireMessage m = buildMessage(step.message);
    logLine("S>C " + formatMessage(m));
    std::size_t sent = 0;
    while (sent < m.size()) {
        const ssize_t n = ::send(conn_, m.data() + sent, m.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(step, std::string("send: ") + std::strerror(errno));
        sent += static_cast<std::size_t>(n);
    }
    return pass();
}

RunOutcome ScriptedServer::stepExpect(const Step& step, Clock::time_point start) {
    const Clock::time_point deadline = start + step.within;
    const std::string wanted = step.message.cmd < 0 ? "any message" : "cmd " + std::to_string(step.message.cmd);
    for (;;) {
        while (!queue_.empty()) {
            const Arrival a = queue_.front();
            queue_.pop_front();
            const int cmd = commandOf(a.message);
            const bool wantedCmd = step.message.cmd < 0 || cmd == step.message.cmd;
            if (!wantedCmd || (step.message.cmd < 0 && ignored_.count(cmd) != 0)) {
                if (ignored_.count(cmd) != 0) continue;
                return fail(step, "expected " + wanted + ", got " + formatMessage(a.message));
            }
            if (a.at < start + step.after) {
                return fail(step, wanted + " came " + std::to_string(msBetween(start, a.at)) +
                                      " ms after the step began, earlier than the " +
                                      std::to_string(step.after.count()) + " ms allowed");
            }
            if (a.at > deadline) {
                return fail(step, wanted + " came " + std::to_string(msBetween(start, a.at)) +
                                      " ms after the step began, later than " + std::to_string(step.within.count()) +
                                      " ms");
            }
            const auto diffs = checkMessage(step.message, a.message);
            if (diffs.empty()) {
                logLine("   matched after " + std::to_string(msBetween(start, a.at)) + " ms");
                return pass();
            }
            std::string why = "the message differs:";
            for (const auto& d : diffs) why += "\n    " + d;
            return fail(step, why);
        }
        if (conn_ < 0) return fail(step, "no connection");
        if (peerClosed_) return fail(step, "the peer closed the connection before " + wanted);
        if (pumpOnce(deadline, false) == Wake::Deadline) return timedOut(step, wanted);
    }
}

RunOutcome ScriptedServer::stepExpectClose(const Step& step) {
    if (conn_ < 0) return fail(step, "no connection");
    const Clock::time_point deadline = Clock::now() + step.within;
    for (;;) {
        while (!queue_.empty()) {
            const Arrival a = queue_.front();
            queue_.pop_front();
            if (ignored_.count(commandOf(a.message)) != 0) continue;
            return fail(step, "expected the peer to close, got " + formatMessage(a.message));
        }
        if (peerClosed_) {
            if (!partial_.empty()) {
                return fail(step, "the peer closed after " + std::to_string(partial_.size()) +
                                      " bytes that are not a whole message");
            }
            closeConnection("peer closed");
            return pass();
        }
        if (pumpOnce(deadline, false) == Wake::Deadline) return timedOut(step, "the peer to close");
    }
}

RunOutcome ScriptedServer::stepQuiet(const Step& step, Clock::time_point start) {
    const Clock::time_point end = start + step.duration;
    if (end > globalDeadline_) return fail(step, "the quiet time runs past the global time limit");
    for (;;) {
        while (!queue_.empty()) {
            const Arrival a = queue_.front();
            queue_.pop_front();
            if (ignored_.count(commandOf(a.message)) != 0) continue;
            return fail(step, "expected nothing, got " + formatMessage(a.message));
        }
        if (peerClosed_) return fail(step, "the peer closed the connection");
        if (pumpOnce(end, false) == Wake::Deadline) return pass();
    }
}

RunOutcome ScriptedServer::stepNoAccept(const Step& step, Clock::time_point start) {
    const Clock::time_point end = start + step.duration;
    if (end > globalDeadline_) return fail(step, "the time runs past the global time limit");
    for (;;) {
        if (pendingConnection_) return fail(step, "a client connected");
        if (pumpOnce(end, true) == Wake::Deadline)
            return pendingConnection_ ? fail(step, "a client connected") : pass();
    }
}

RunOutcome ScriptedServer::stepWait(const Step& step, Clock::time_point start) {
    const Clock::time_point end = start + step.duration;
    if (end > globalDeadline_) return fail(step, "the wait runs past the global time limit");
    while (pumpOnce(end, false) != Wake::Deadline) {}
    return pass();
}

RunOutcome ScriptedServer::stepAwait(const Step& step, Clock::time_point start) {
    if (goDir_.empty()) return fail(step, "await needs --go-dir");
    const std::filesystem::path go = std::filesystem::path(goDir_) / step.name;
    const Clock::time_point end = start + step.within;
    // The runner's file is looked for between socket events, at least every
    // 100 ms, so arrivals are still read and logged while the runner works.
    for (;;) {
        std::error_code ec;
        if (std::filesystem::exists(go, ec)) {
            logLine("go " + step.name);
            return pass();
        }
        const Clock::time_point now = Clock::now();
        if (now >= end || globalExpired()) return timedOut(step, "the go file " + go.string());
        (void)pumpOnce(std::min(end, now + Millis(100)), false);
    }
}

RunOutcome ScriptedServer::stepClose() {
    if (conn_ >= 0) closeConnection("by the scenario");
    return pass();
}

}  // namespace scripted
