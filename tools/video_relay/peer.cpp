// peer.cpp: a table mate for the end-to-end cases: logs in to the relay under
// a name, links one slot to a client, sends coloured frames and keeps the
// first picture it receives. Ends 0 once it has received that many whole
// pictures, 1 when the time runs out first.
//
//   video_peer --name NAME --link USER [--host 127.0.0.1] [--port 8888] [--frames 3]
//              [--save first.bmp] [--seconds 60] [--linger 20]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/video_relay_protocol.h"
#include "video/frame_bitmap.h"

namespace relay = mj::platform::relay;
using Clock = std::chrono::steady_clock;

namespace {

bool sendAll(int fd, const std::vector<std::uint8_t>& b) {
    std::size_t done = 0;
    while (done < b.size()) {
        const ssize_t n = send(fd, b.data() + done, b.size() - done, 0);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A card of stripes that move with the frame number.
std::vector<std::uint8_t> card(unsigned n) {
    constexpr int W = 160, H = 120;
    std::vector<std::uint32_t> px(static_cast<std::size_t>(W * H));
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const bool stripe = ((x + static_cast<int>(n) * 3) / 16) % 2 == 0;
            const bool box = x > 50 && x < 110 && y > 40 && y < 80;
            px[static_cast<std::size_t>(y * W + x)] = box ? 0xF0F0F0u : stripe ? 0x2060C0u : 0x20A060u;
        }
    }
    return mj::video::encodeBmp(W, H, px);
}

}  // namespace

int main(int argc, char** argv) {
    std::string name, link, save, host = "127.0.0.1";
    int port = 8888, want = 3, seconds = 60, linger = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        const std::string v = argv[i + 1];
        if (a == "--name")
            name = v;
        else if (a == "--link")
            link = v;
        else if (a == "--host")
            host = v;
        else if (a == "--port")
            port = std::atoi(v.c_str());
        else if (a == "--frames")
            want = std::atoi(v.c_str());
        else if (a == "--save")
            save = v;
        else if (a == "--seconds")
            seconds = std::atoi(v.c_str());
        else if (a == "--linger")
            linger = std::atoi(v.c_str());
    }
    if (name.empty() || link.empty()) {
        std::fprintf(stderr, "usage: video_peer --name NAME --link USER [options]\n");
        return 2;
    }
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    int fd = -1;
    // The relay may start a moment after us.
    while (Clock::now() < end) {
        fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        if (inet_pton(AF_INET, host.c_str(), &a.sin_addr) != 1) {
            std::fprintf(stderr, "video_peer: not an IPv4 address: %s\n", host.c_str());
            close(fd);
            return 2;
        }
        if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) break;
        close(fd);
        fd = -1;
        usleep(200000);
    }
    if (fd < 0) {
        std::fprintf(stderr, "video_peer: no relay on %s:%d\n", host.c_str(), port);
        return 1;
    }
    sendAll(fd, relay::encode(relay::Login, relay::bytesOf(name)));
    std::vector<std::uint8_t> linkBody{1};
    linkBody.insert(linkBody.end(), link.begin(), link.end());
    sendAll(fd, relay::encode(relay::Link, linkBody));

    relay::PacketReader reader;
    int state = 0, received = 0;
    unsigned sent = 0;
    auto nextFrame = Clock::now();
    std::vector<std::uint8_t> buf(65536);
    while (Clock::now() < end) {
        if (state >= 10 && Clock::now() >= nextFrame) {
            std::vector<std::uint8_t> body{1, relay::Frame};
            const auto f = card(sent++);
            body.insert(body.end(), f.begin(), f.end());
            if (!sendAll(fd, relay::encode(relay::Data, body))) break;
            nextFrame = Clock::now() + std::chrono::milliseconds(125);
        }
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        const ssize_t n = recv(fd, buf.data(), buf.size(), 0);
        if (n <= 0) break;
        reader.feed({buf.data(), static_cast<std::size_t>(n)});
        while (auto pk = reader.next()) {
            if (pk->kind == relay::SlotState && pk->body.size() == 2) {
                state = pk->body[1];
                std::fprintf(stderr, "video_peer: slot %d state %d\n", pk->body[0], state);
            } else if (pk->kind == relay::Data && pk->body.size() > 2 && pk->body[1] == relay::Frame) {
                const std::vector<std::uint8_t> frame(pk->body.begin() + 2, pk->body.end());
                const auto pic = mj::video::decodeBmp(frame);
                if (!pic) {
                    std::fprintf(stderr, "video_peer: a frame of %zu bytes is not a picture\n", frame.size());
                    continue;
                }
                if (received == 0 && !save.empty()) {
                    std::ofstream(save, std::ios::binary)
                        .write(reinterpret_cast<const char*>(frame.data()), static_cast<std::streamsize>(frame.size()));
                }
                ++received;
                std::fprintf(stderr, "video_peer: picture %d, %dx%d\n", received, pic->width, pic->height);
            }
        }
        if (received >= want) {
            std::fprintf(stderr, "video_peer: received %d pictures, sent %u\n", received, sent);
            // Keep sending a while so the client's panel shows moving frames.
            const auto lingerEnd = Clock::now() + std::chrono::seconds(linger);
            while (Clock::now() < lingerEnd && Clock::now() < end) {
                std::vector<std::uint8_t> body{1, relay::Frame};
                const auto f = card(sent++);
                body.insert(body.end(), f.begin(), f.end());
                if (!sendAll(fd, relay::encode(relay::Data, body))) break;
                // Drain what arrives so the relay never waits on us.
                pollfd q{fd, POLLIN, 0};
                while (poll(&q, 1, 0) > 0 && recv(fd, buf.data(), buf.size(), 0) > 0) {}
                usleep(125000);
            }
            close(fd);
            return 0;
        }
    }
    std::fprintf(stderr, "video_peer: received %d of %d pictures\n", received, want);
    close(fd);
    return 1;
}
