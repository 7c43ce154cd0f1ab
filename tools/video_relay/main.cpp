// main.cpp: the video relay, the video server our clients log in to. One
// thread, poll(2); every connection speaks the protocol of
// src/platform/video_relay_protocol.h.
//
//   video_relay [--host 127.0.0.1] [--port 8888] [--max-connections 256]
//
// Port 0 takes any free port; the "listening on" line names it.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "hub.h"
#include "platform/repeat_log.h"

namespace {

using mj::platform::RepeatLog;
using mj::relay_tool::ConnId;
using mj::relay_tool::Hub;
using mj::relay_tool::Outbox;
using mj::relay_tool::Outgoing;

struct Conn {
    int fd = -1;
    mj::platform::relay::PacketReader reader;
    Outbox out;
    bool lagging = false;  // frames for it are being skipped
    bool stalled = false;  // it does not read: dropped after this round
};

void say(const std::string& line) {
    std::fprintf(stderr, "video_relay: %s\n", line.c_str());
    std::fflush(stderr);
}

// What the relay logs is logged per change with a count, not per event: how
// often these happen is up to the peers.
struct Logs {
    RepeatLog refused;  // connections refused while full
    RepeatLog skipped;  // frames skipped for receivers that lag
};

void queue(std::map<ConnId, Conn>& conns, const std::vector<Outgoing>& out, Logs& logs) {
    for (const Outgoing& o : out) {
        auto it = conns.find(o.to);
        if (it == conns.end() || it->second.stalled) continue;
        Conn& c = it->second;
        switch (c.out.put(o)) {
        case Outbox::Put::Queued:
            if (o.droppable && c.lagging) {
                c.lagging = false;
                if (const std::size_t n = logs.skipped.sound())
                    say("connection " + std::to_string(o.to) + " keeps up again; " + std::to_string(n) +
                        " packets skipped for lagging receivers");
            }
            break;
        case Outbox::Put::Skipped:
            c.lagging = true;
            if (logs.skipped.fault())
                say("connection " + std::to_string(o.to) + " lags; its frames are skipped until it catches up");
            break;
        case Outbox::Put::Overflow:
            c.stalled = true;
            say("connection " + std::to_string(o.to) + " does not read what it is sent; dropped");
            break;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string host = "127.0.0.1";
    int port = 8888;
    std::size_t maxConnections = 256;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--host")
            host = argv[i + 1];
        else if (a == "--port")
            port = std::atoi(argv[i + 1]);
        else if (a == "--max-connections")
            maxConnections = static_cast<std::size_t>(std::max(1, std::atoi(argv[i + 1])));
        else {
            std::fprintf(stderr, "usage: video_relay [--host ADDR] [--port N] [--max-connections N]\n");
            return 2;
        }
    }
    signal(SIGPIPE, SIG_IGN);
    const int lfd = socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(lfd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, host.c_str(), &addr.sin_addr) != 1 ||
        bind(lfd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(lfd, 16) != 0) {
        say("cannot listen on " + host + ":" + std::to_string(port) + ": " + std::strerror(errno));
        return 1;
    }
    socklen_t addrLen = sizeof addr;
    getsockname(lfd, reinterpret_cast<sockaddr*>(&addr), &addrLen);
    say("listening on " + host + ":" + std::to_string(ntohs(addr.sin_port)));

    Hub hub;
    Logs logs;
    std::map<ConnId, Conn> conns;
    ConnId nextId = 1;
    std::vector<std::uint8_t> buf(65536);
    while (true) {
        std::vector<pollfd> fds{{lfd, POLLIN, 0}};
        std::vector<ConnId> ids{0};
        for (auto& [id, c] : conns) {
            fds.push_back({c.fd, static_cast<short>(POLLIN | (c.out.empty() ? 0 : POLLOUT)), 0});
            ids.push_back(id);
        }
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            say(std::string("poll: ") + std::strerror(errno));
            return 1;
        }
        if (fds[0].revents & POLLIN) {
            const int fd = accept(lfd, nullptr, nullptr);
            if (fd >= 0 && conns.size() >= maxConnections) {
                close(fd);
                if (logs.refused.fault())
                    say("connection refused: " + std::to_string(conns.size()) + " connections already");
            } else if (fd >= 0) {
                if (const std::size_t n = logs.refused.sound())
                    say(std::to_string(n) + " connections were refused while full");
                fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
                setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                const ConnId id = nextId++;
                conns[id].fd = fd;
                hub.open(id);
                say("connection " + std::to_string(id));
            }
        }
        std::vector<ConnId> dead;
        for (std::size_t i = 1; i < fds.size(); ++i) {
            const ConnId id = ids[i];
            Conn& c = conns[id];
            bool drop = (fds[i].revents & (POLLERR | POLLNVAL)) != 0;
            if (!drop && (fds[i].revents & (POLLIN | POLLHUP))) {
                const ssize_t n = recv(c.fd, buf.data(), buf.size(), 0);
                if (n <= 0) {
                    drop = !(n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
                } else {
                    c.reader.feed({buf.data(), static_cast<std::size_t>(n)});
                    std::vector<Outgoing> out;
                    while (auto p = c.reader.next()) {
                        const bool wasLogin = p->kind == mj::platform::relay::Login;
                        if (!hub.onPacket(id, *p, out)) {
                            say("connection " + std::to_string(id) + ": bad packet of kind " + std::to_string(p->kind));
                            drop = true;
                            break;
                        }
                        if (wasLogin)
                            say("connection " + std::to_string(id) + " logged in as " +
                                std::string(p->body.begin(), p->body.end()));
                        if (p->kind == mj::platform::relay::Logout)
                            say("connection " + std::to_string(id) + " logged out");
                    }
                    if (c.reader.broken()) drop = true;
                    queue(conns, out, logs);
                }
            }
            if (!drop && (fds[i].revents & POLLOUT) && !c.out.empty()) {
                const auto pending = c.out.pending();
                const ssize_t n = send(c.fd, pending.data(), pending.size(), MSG_NOSIGNAL);
                if (n > 0)
                    c.out.taken(static_cast<std::size_t>(n));
                else if (!(n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)))
                    drop = true;
            }
            if (drop) dead.push_back(id);
        }
        // Receivers that stopped reading go too, whichever connection's
        // packets found them full.
        for (auto& [id, c] : conns) {
            if (c.stalled && std::find(dead.begin(), dead.end(), id) == dead.end()) dead.push_back(id);
        }
        for (std::size_t k = 0; k < dead.size(); ++k) {
            const ConnId id = dead[k];
            auto it = conns.find(id);
            if (it == conns.end()) continue;
            close(it->second.fd);
            conns.erase(it);
            queue(conns, hub.close(id), logs);
            say("connection " + std::to_string(id) + " closed");
            for (auto& [other, c] : conns) {
                if (c.stalled && std::find(dead.begin(), dead.end(), other) == dead.end()) dead.push_back(other);
            }
        }
    }
}
