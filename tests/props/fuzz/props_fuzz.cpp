// props_fuzz.cpp: what the props plug-in hands the client, into a client in a
// hand with the plug-in loaded: queued requests of any kind with any fields,
// the hand-end box data and the box layout, between the ticks that fetch and
// carry them out and the server messages that end a hand. A plug-in is
// outside the client's trust: nothing it asks may reach the fatal path or
// break the table's rules.
//
// Records, each an op byte and its payload:
//   op % 4 == 0  a request: kind byte (minus 2), then text and picture as
//                [length byte][bytes], the packet as [2-byte little-endian
//                length][bytes] (a whole message is 272), then rect and style as
//                [count byte % 8][count x 4 bytes, signed little-endian]
//   op % 4 == 1  a clock step of (next byte) x 100 ms
//   op % 4 == 2  the box data: ready flag byte, 4 rewards (8-byte doubles),
//                4 item texts and 4 names as [length byte][bytes]
//   op % 4 == 3  a 272-byte server message (a short tail is zero-filled)
#include <cstdint>
#include <cstring>
#include <string>

#include "dispatch/fuzz/fuzz_client.h"
#include "platform/sim/sim_props_plugin.h"

namespace {
using namespace mj;

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    [[nodiscard]] bool more() const { return at < size; }
    std::uint8_t byte() { return at < size ? data[at++] : 0; }
    std::string text(bool wide = false) {
        std::size_t n = byte();
        if (wide) n |= static_cast<std::size_t>(byte()) << 8;
        n = std::min(n, size - at);
        std::string s(reinterpret_cast<const char*>(data + at), n);
        at += n;
        return s;
    }
    std::vector<long> numbers() {
        std::vector<long> v(byte() % 8);
        for (long& x : v) {
            std::uint32_t u = 0;
            for (int b = 0; b < 4; ++b) u |= static_cast<std::uint32_t>(byte()) << (8 * b);
            x = static_cast<std::int32_t>(u);
        }
        return v;
    }
};

void play(fuzz::FuzzClient& f, platform::sim::FakePropsPlugin& plugin, Reader& in) {
    while (in.more()) {
        const std::uint8_t op = in.byte();
        switch (op % 4) {
        case 0: {
            platform::PropRequest r;
            r.kind = static_cast<int>(in.byte() % 9) - 2;
            r.text = in.text();
            r.picture = in.text();
            const std::string packet = in.text(true);
            r.packet.assign(packet.begin(), packet.end());
            r.rect = in.numbers();
            r.style = in.numbers();
            plugin.requests.push_back(std::move(r));
            f.run(100);
            break;
        }
        case 1:
            f.run(in.byte() * 100);
            break;
        case 2: {
            plugin.scoreReady = in.byte() % 3;
            for (double& reward : plugin.boxReward) {
                std::uint64_t u = 0;
                for (int b = 0; b < 8; ++b) u |= static_cast<std::uint64_t>(in.byte()) << (8 * b);
                std::memcpy(&reward, &u, sizeof reward);
            }
            for (auto& t : plugin.boxItemText) t = in.text();
            for (auto& t : plugin.boxInfoData[0]) t = in.text();
            f.run(100);
            break;
        }
        default: {
            WireMessage m{};
            const std::size_t n = std::min(WireMessageSize, in.size - in.at);
            std::memcpy(m.data(), in.data + in.at, n);
            in.at += n;
            f.deliver(m, 150);
            break;
        }
        }
        f.check();
    }
}

// A client in a hand with the plug-in loaded.
struct PropsFuzz {
    PropsFuzz() {
        auto p = std::make_unique<platform::sim::FakePropsPlugin>();
        plugin = p.get();
        plugin->hasBoxes = true;
        for (std::size_t i = 0; i < plugin->boxPos.size(); ++i)
            plugin->boxPos[i] = {static_cast<long>(100 + 40 * (i % 5)), static_cast<long>(200 + 60 * (i / 5))};
        f.client->props.propDll = std::move(p);
        f.client->props.propGameDllState = 1;
    }
    fuzz::FuzzClient f{fuzz::Start::InHand};
    platform::sim::FakePropsPlugin* plugin = nullptr;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::Prepared<PropsFuzz> clients(
        1, [](int) { return std::make_unique<PropsFuzz>(); }, [](const PropsFuzz& p) { return p.f.outcome(); });
    clients.run(0, [&](PropsFuzz& p) {
        try {
            Reader in{data, size};
            play(p.f, *p.plugin, in);
        } catch (const platform::ProcessEnded&) {
            // Ending in order is an outcome; the fatal trap never is.
            p.f.check();
        }
    });
    return 0;
}
