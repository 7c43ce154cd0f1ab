// dispatch_fuzz.cpp: libFuzzer over decode and dispatch. The input is cut into
// 272-byte messages and fed to a logged-in client on the in-memory platform,
// as the socket would deliver them. Dropping a message or ending by a refusal
// is fine; reaching the fatal path, a crash or a sanitizer report is a find.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "link/client.h"
#include "platform/sim/sim_platform.h"

namespace {
using namespace mj;
using platform::Millis;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::sim::SimPlatform sim;
    sim.hall.windows["曲维山庄"] = 0x1234;
    sim.process.commandLineText = "zhang$pw$127.0.0.1$9000$";
    link::Client client(sim.platform);
    try {
        client.formLoad();
        sim.socket.acceptConnection();
        sim.clock.advance(Millis(200));
        // A seat of our own, so the own-seat checks are reached too.
        client.table.custom[0].seat = size > 0 ? static_cast<SeatBit>(1u << (data[0] & 3)) : 1;
        for (std::size_t at = 0; at < size; at += WireMessageSize) {
            WireMessage m{};
            std::memcpy(m.data(), data + at, std::min(WireMessageSize, size - at));
            sim.socket.deliver(m);
            sim.clock.advance(Millis(100));
        }
    } catch (const platform::ProcessEnded&) {
        // A refused login or reconnect ends the client in order; the fatal
        // trap must never be the way a message from the server ends it.
        if (sim.process.logged("fatal:")) {
            for (const auto& l : sim.process.logLines) std::fprintf(stderr, "%s\n", l.c_str());
            std::abort();
        }
    }
    return 0;
}
