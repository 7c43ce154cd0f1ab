// client_fixture.h: a client on the in-memory platform, with helpers to start
// it from a launch line and to drive the tick.
#pragma once
#include <gtest/gtest.h>

#include <optional>

#include "link/client.h"
#include "platform/sim/sim_platform.h"

namespace mj::test {

class ClientFixture : public ::testing::Test {
protected:
    platform::sim::SimPlatform sim;
    std::optional<link::Client> client;
    static constexpr platform::WindowHandle HallWindow = 0x1234;

    void SetUp() override {
        sim.hall.windows["曲维山庄"] = HallWindow;
        client.emplace(sim.platform);
    }

    // Runs start-up; returns the exit code when the process ended during it.
    std::optional<int> start(std::string line) {
        sim.process.commandLineText = std::move(line);
        try {
            client->formLoad();
        } catch (const platform::ProcessEnded& e) {
            return e.exitCode;
        }
        return std::nullopt;
    }

    // Advances virtual time; returns the exit code when the process ended.
    std::optional<int> run(platform::Millis d) {
        try {
            sim.clock.advance(d);
        } catch (const platform::ProcessEnded& e) {
            return e.exitCode;
        }
        return std::nullopt;
    }

    static WireMessage message(std::uint8_t cmd, std::uint8_t seat = 0) {
        WireMessage m{};
        m[wire::Cmd] = cmd;
        m[wire::Seat] = seat;
        return m;
    }

    void deliver(const WireMessage& m) { sim.socket.deliver(m); }

    std::vector<int> sentCommands() const {
        std::vector<int> out;
        for (const auto& m : sim.socket.sentMessages()) out.push_back(m[3]);
        return out;
    }
};

}  // namespace mj::test
