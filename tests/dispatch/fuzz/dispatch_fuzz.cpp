// dispatch_fuzz.cpp: sequences of server messages, socket events, clock steps
// and the hall's window messages through the real receive path, the tick and
// the dispatcher, into a client that is logged in, seated, in a hand or
// watching, as byte 0 chooses. After each step the client must not have
// reached the fatal path and its table must keep its own rules.
//
// Records after byte 0, each an op byte and its payload:
//   op % 8 < 4  a whole 272-byte message (a short tail is zero-filled), then
//               100 ms + (op / 8) x 50 ms of ticks
//   4           a clock step of (next byte) x 200 ms
//   5           the server closes the connection
//   6           a hall window message, the next byte choosing which
//   7           the first (next byte) bytes of a message only: the rest
//               arrives with what follows, as a stream may cut it
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "dispatch/fuzz/fuzz_client.h"
#include "link/hall_window.h"

namespace {
using namespace mj;

void play(fuzz::FuzzClient& f, const std::uint8_t* data, std::size_t size) {
    std::size_t at = 1;
    const auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };
    while (at < size) {
        const std::uint8_t op = next();
        switch (op % 8) {
        case 4:
            f.run(next() * 200);
            break;
        case 5:
            f.sim.socket.peerClose();
            f.run(100);
            break;
        case 6: {
            static constexpr std::uint32_t hallMessages[] = {link::HallConnect, link::HallLeaveRequest,
                                                             link::HallLeaveNow, link::HallStatusQuery};
            const std::uint32_t msg = hallMessages[next() % 4];
            f.sim.clock.post([&f, msg] { link::mainWindowProc(*f.client, msg, 0, 0, false); });
            f.run(100);
            break;
        }
        case 7: {
            const std::size_t n = std::min<std::size_t>(next() % WireMessageSize, size - at);
            f.sim.socket.deliver(std::span(data + at, n));
            at += n;
            f.run(50);
            break;
        }
        default: {
            WireMessage m{};
            const std::size_t n = std::min(WireMessageSize, size - at);
            std::memcpy(m.data(), data + at, n);
            at += n;
            f.deliver(m, 100 + (op / 8) * 50);
            break;
        }
        }
        f.check();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static fuzz::Prepared<fuzz::FuzzClient> clients(
        4, [](int start) { return std::make_unique<fuzz::FuzzClient>(static_cast<fuzz::Start>(start)); },
        [](const fuzz::FuzzClient& f) { return f.outcome(); });
    clients.run(data[0] & 3, [&](fuzz::FuzzClient& f) {
        try {
            f.check();
            play(f, data, size);
        } catch (const platform::ProcessEnded&) {
            // Ending in order is an outcome; the fatal trap never is.
            f.check();
        }
    });
    return 0;
}
