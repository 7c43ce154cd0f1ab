// hub_bench.cpp: what the relay's bookkeeping costs per control packet as
// the number of connections grows: N users log in one after another, each
// linking three others. Not a test; it prints its figures.
//
//   video_relay_bench [N ...]   (default 250 1000 4000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "hub.h"

namespace relay = mj::platform::relay;
using mj::relay_tool::Hub;
using mj::relay_tool::Outgoing;

namespace {

void run(int n) {
    Hub hub;
    std::vector<Outgoing> out;
    std::size_t packets = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= n; ++i) {
        hub.open(i);
        const std::string name = "u" + std::to_string(i);
        hub.onPacket(i, relay::Packet{relay::Login, {name.begin(), name.end()}}, out);
        for (int s = 1; s <= 3; ++s) {
            const std::string peer = "u" + std::to_string((i + s - 1) % n + 1);
            std::vector<std::uint8_t> b{static_cast<std::uint8_t>(s)};
            b.insert(b.end(), peer.begin(), peer.end());
            hub.onPacket(i, relay::Packet{relay::Link, b}, out);
        }
        packets += 4;
        out.clear();
    }
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    std::printf("%d connections, %zu control packets: %.1f ms, %.2f us per packet\n", n, packets, took.count() / 1000,
                took.count() / static_cast<double>(packets));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        for (int n : {250, 1000, 4000}) run(n);
        return 0;
    }
    for (int i = 1; i < argc; ++i) run(std::atoi(argv[i]));
    return 0;
}
