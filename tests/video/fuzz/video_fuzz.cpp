// video_fuzz.cpp: what the video relay sends, through our relay socket's
// byte-stream reader into a client in a hand whose three table mates are
// linked, so that frames reach the views and panels and their BMP reader.
// After each step the client must not have reached the fatal path and its
// table must keep its own rules.
//
// Byte 0: bit k (k = 0..2) leaves the link of view k + 1 down at the start.
// Records after it, each an op byte and its payload:
//   op % 4 == 0  (next byte) bytes of the stream as they come, any split
//   op % 4 == 1  a data packet for slot op / 4 % 4 (what: op / 16 % 4): a
//                two-byte length, then that many bytes of its body
//   op % 4 == 2  a clock step of (next byte) x 10 ms: the views repaint
//   op % 4 == 3  op / 4 % 2: the relay closes; otherwise we log in again
#include <cstdint>
#include <memory>
#include <vector>

#include "dispatch/fuzz/fuzz_client.h"
#include "platform/relay_video_socket.h"

namespace {
using namespace mj;
namespace relay = platform::relay;

struct VideoFuzz {
    VideoFuzz() : f(fuzz::Start::InHand) {
        link::Client& c = *f.client;
        auto socket = std::make_unique<platform::sim::SimSocket>();
        tcp = socket.get();
        c.p2pSocket = std::make_unique<platform::RelayVideoSocket>(
            std::move(socket), [&c](std::string_view line) { c.log(std::string(line)); });
        c.connectVideoComponents(c);
        c.p2pSocket->configure("127.0.0.1", 8888, 3);
        logIn();
    }

    // Links the table mates whose bit in `setup` is clear.
    void linkViews(std::uint8_t setup) {
        for (int slot = 1; slot <= 3; ++slot) {
            if (setup & (1u << (slot - 1))) continue;
            const std::uint8_t body[2] = {static_cast<std::uint8_t>(slot), relay::StateBothWays};
            fromRelay(relay::SlotState, body);
        }
        f.run(100);
    }

    [[nodiscard]] std::string outcome() const {
        std::string out = f.outcome() + "relay:";
        for (std::uint8_t b : tcp->sent()) out += " " + std::to_string(b);
        return out;
    }

    void logIn() {
        link::Client& c = *f.client;
        c.p2pSocket->login(c.table.custom[0].name);
        tcp->acceptConnection();
        for (int slot = 1; slot <= 3; ++slot) c.p2pSocket->connectUser(slot, c.table.custom[slot].name);
        fromRelay(relay::LoggedIn, {});
    }

    void fromRelay(std::uint8_t kind, std::span<const std::uint8_t> body) { stream(relay::encode(kind, body)); }

    // Bytes reach the socket only while it is connected, as a real one's would.
    void stream(std::span<const std::uint8_t> bytes) {
        if (tcp->state() == platform::SocketState::Connected) tcp->deliver(bytes);
    }

    fuzz::FuzzClient f;
    platform::sim::SimSocket* tcp = nullptr;
};

void play(VideoFuzz& v, const std::uint8_t* data, std::size_t size) {
    std::size_t at = 1;
    const auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };
    const auto take = [&](std::size_t n) {
        n = std::min(n, size - at);
        const std::span<const std::uint8_t> bytes(data + at, n);
        at += n;
        return bytes;
    };
    while (at < size) {
        const std::uint8_t op = next();
        switch (op % 4) {
        case 0:
            v.stream(take(next()));
            break;
        case 1: {
            const std::size_t high = next();
            const std::size_t n = high << 8 | next();
            std::vector<std::uint8_t> body{static_cast<std::uint8_t>(op / 4 % 4),
                                           static_cast<std::uint8_t>(op / 16 % 4)};
            const auto bytes = take(n);
            body.insert(body.end(), bytes.begin(), bytes.end());
            v.fromRelay(relay::Data, body);
            break;
        }
        case 2:
            v.f.run(next() * 10);
            break;
        default:
            if (op / 4 % 2) {
                v.tcp->peerClose();
            } else {
                v.logIn();
            }
            break;
        }
        v.f.run(1);
        v.f.check();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static fuzz::Prepared<VideoFuzz> clients(
        1, [](int) { return std::make_unique<VideoFuzz>(); }, [](const VideoFuzz& v) { return v.outcome(); });
    clients.run(0, [&](VideoFuzz& v) {
        try {
            v.linkViews(data[0]);
            v.f.check();
            play(v, data, size);
        } catch (const platform::ProcessEnded&) {
            // Ending in order is an outcome; the fatal trap never is.
            v.f.check();
        }
    });
    return 0;
}
