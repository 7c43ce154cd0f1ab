// video_relay_tests.cpp: the relay's bookkeeping: link states both ways,
// frames passed to the slot that links back, logouts and lost connections;
// the backlog of a connection; and the relay itself against a receiver that
// does not read, a sender that floods and more connections than it takes.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "hub.h"

namespace mj::test {
namespace {

namespace relay = platform::relay;
using relay_tool::Hub;
using relay_tool::Outgoing;
using Bytes = std::vector<std::uint8_t>;

class RelayHub : public ::testing::Test {
protected:
    Hub hub;
    std::vector<Outgoing> out;

    bool send(int conn, std::uint8_t kind, Bytes body) {
        return hub.onPacket(conn, relay::Packet{kind, std::move(body)}, out);
    }
    void login(int conn, const std::string& name) {
        hub.open(conn);
        ASSERT_TRUE(send(conn, relay::Login, Bytes(name.begin(), name.end())));
    }
    void link(int conn, int slot, const std::string& name) {
        Bytes b{static_cast<std::uint8_t>(slot)};
        b.insert(b.end(), name.begin(), name.end());
        ASSERT_TRUE(send(conn, relay::Link, b));
    }
    // What went out since the last look, as "to:kind:body".
    std::vector<std::string> taken() {
        std::vector<std::string> s;
        for (const auto& o : out) {
            std::string line = std::to_string(o.to) + ":" + std::to_string(o.bytes[4]);
            for (std::size_t i = 5; i < o.bytes.size(); ++i) line += ":" + std::to_string(o.bytes[i]);
            s.push_back(line);
        }
        out.clear();
        return s;
    }
};

TEST_F(RelayHub, ALinkIsWaitingThenOneWayThenBothWays) {
    login(1, "a");
    link(1, 2, "b");
    EXPECT_EQ(taken(), (std::vector<std::string>{"1:129", "1:130:2:5"}));
    login(2, "b");
    EXPECT_EQ(taken(), (std::vector<std::string>{"2:129", "1:130:2:12"}));
    link(2, 3, "a");
    EXPECT_EQ(taken(), (std::vector<std::string>{"1:130:2:15", "2:130:3:15"}));
}

TEST_F(RelayHub, FramesGoToTheSlotThatLinksBack) {
    login(1, "a");
    login(2, "b");
    login(3, "c");
    link(1, 1, "b");
    link(2, 3, "a");
    link(3, 1, "a");
    taken();
    ASSERT_TRUE(send(1, relay::Data, Bytes{1, relay::Frame, 9, 8}));
    const auto sent = out;
    EXPECT_EQ(taken(), (std::vector<std::string>{"2:5:3:2:9:8"}));
    EXPECT_TRUE(sent[0].droppable);
    // c links a, but a does not link c: nothing for c; a slot without a link drops.
    ASSERT_TRUE(send(3, relay::Data, Bytes{1, relay::Frame, 1}));
    ASSERT_TRUE(send(1, relay::Data, Bytes{3, relay::Frame, 1}));
    EXPECT_TRUE(taken().empty());
}

TEST_F(RelayHub, ALeavingUserPutsItsPeersBackToWaiting) {
    login(1, "a");
    login(2, "b");
    link(1, 1, "b");
    link(2, 1, "a");
    taken();
    EXPECT_EQ(hub.close(2).size(), 1u);
    ASSERT_TRUE(send(1, relay::Logout, {}));
    EXPECT_EQ(hub.loggedInCount(), 0u);
    login(2, "b");
    link(2, 1, "a");
    EXPECT_EQ(taken(), (std::vector<std::string>{"2:129", "2:130:1:5"}));
}

TEST_F(RelayHub, MalformedPacketsAreRefused) {
    login(1, "a");
    EXPECT_FALSE(send(1, relay::Login, {}));
    EXPECT_FALSE(send(1, relay::Link, Bytes{0, 'b'}));
    EXPECT_FALSE(send(1, relay::Link, Bytes{1}));
    EXPECT_FALSE(send(1, relay::Unlink, {}));
    EXPECT_FALSE(send(1, relay::Data, Bytes{1}));
    EXPECT_FALSE(send(1, 0x55, {}));
    EXPECT_FALSE(send(9, relay::Login, Bytes{'x'})) << "an unknown connection";
    EXPECT_FALSE(send(1, relay::Login, Bytes(relay::MaxName + 1, 'n')));
}

// Many connections, each logged in and linking its neighbours: every slot
// ends at the state of its pair, whatever the order of the logins, and a
// change reports only to the slots it concerns.
TEST_F(RelayHub, ManyConnectionsReportOnlyTheSlotsAChangeConcerns) {
    constexpr int N = 300;
    for (int i = 1; i <= N; ++i) {
        hub.open(i);
        link(i, 1, "u" + std::to_string(i % N + 1));
        link(i, 2, "u" + std::to_string((i + N - 2) % N + 1));
    }
    for (int i = 1; i <= N; ++i) ASSERT_TRUE(send(i, relay::Login, Bytes{'u'}) || true);
    out.clear();
    for (int i = 1; i <= N; ++i) {
        const std::string name = "u" + std::to_string(i);
        ASSERT_TRUE(send(i, relay::Login, Bytes(name.begin(), name.end())));
    }
    // The last state sent per connection and slot.
    std::map<std::pair<int, int>, int> state;
    for (const auto& o : out) {
        if (o.bytes[4] == relay::SlotState) state[{o.to, o.bytes[5]}] = o.bytes[6];
    }
    for (int i = 1; i <= N; ++i) {
        EXPECT_EQ((state[{i, 1}]), relay::StateBothWays) << i;
        EXPECT_EQ((state[{i, 2}]), relay::StateBothWays) << i;
    }
    // One user leaving: its two neighbours' slots, nobody else.
    out.clear();
    const auto gone = hub.close(150);
    std::set<std::pair<int, int>> told;
    for (const auto& o : gone) told.insert({o.to, o.bytes[5]});
    EXPECT_EQ(told, (std::set<std::pair<int, int>>{{149, 1}, {151, 2}}));
}

TEST(RelayOutbox, PeerDataIsSkippedWhileLaggingAndAReceiverThatNeverReadsOverflows) {
    using relay_tool::Outbox;
    Outbox box;
    const Outgoing frame{1, Bytes(512 * 1024, 7), true};
    int queued = 0;
    while (box.put(frame) == Outbox::Put::Queued) ++queued;
    EXPECT_EQ(queued, 5) << "up to the frame backlog";
    EXPECT_EQ(box.put(frame), Outbox::Put::Skipped);
    // The relay's own reports still find room, up to the hard limit.
    const Outgoing report{1, Bytes(64 * 1024, 1), false};
    std::size_t reports = 0;
    Outbox::Put put = Outbox::Put::Queued;
    while ((put = box.put(report)) == Outbox::Put::Queued) ++reports;
    EXPECT_EQ(put, Outbox::Put::Overflow);
    EXPECT_GE(reports * report.bytes.size(), 256u * 1024) << "room beyond the frames";
    EXPECT_LE(box.size(), Outbox::MaxBacklog);
    // Taken bit by bit, in order; caught up, frames are queued again.
    const std::uint8_t first = box.pending()[0];
    box.taken(3 * 1024 * 1024);
    EXPECT_EQ(first, 7);
    EXPECT_EQ(box.pending()[0], 1);
    box.taken(box.size());
    EXPECT_TRUE(box.empty());
    EXPECT_EQ(box.put(frame), Outbox::Put::Queued);
}

// ------------------------------------------------------------ the relay itself

class RelayBinary : public ::testing::Test {
protected:
    pid_t pid = -1;
    std::uint16_t port = 0;
    std::string logPath;

    void start(const std::string& extra = "") {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        logPath = ::testing::TempDir() + "video_relay_" + std::to_string(::getpid()) + "_" + test->name() + ".log";
        ::unlink(logPath.c_str());
        pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const int fd = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, 2);
            const std::string cmd = std::string("exec ") + VIDEO_RELAY_BIN + " --port 0 " + extra;
            ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 200 && port == 0; ++i) {
            unsigned p = 0;
            const std::string log = logText();
            const auto at = log.find("listening on 127.0.0.1:");
            if (at != std::string::npos && std::sscanf(log.c_str() + at, "listening on 127.0.0.1:%u", &p) == 1)
                port = static_cast<std::uint16_t>(p);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_NE(port, 0) << logText();
    }
    void TearDown() override {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
    std::string logText() const {
        std::ifstream f(logPath);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
    int lines(const std::string& text) const {
        int n = 0;
        std::istringstream in(logText());
        for (std::string l; std::getline(in, l);) n += l.find(text) != std::string::npos;
        return n;
    }
    // Resident memory of the relay, in kB.
    long residentKb() const {
        std::ifstream f("/proc/" + std::to_string(pid) + "/status");
        for (std::string l; std::getline(f, l);) {
            if (l.rfind("VmRSS:", 0) == 0) return std::stol(l.substr(6));
        }
        return -1;
    }
    int connectTo(int receiveBuffer = 0) const {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (receiveBuffer > 0) ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        return fd;
    }
    static bool sendAll(int fd, const Bytes& b) {
        std::size_t done = 0;
        while (done < b.size()) {
            const ssize_t n = ::send(fd, b.data() + done, b.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    static Bytes named(std::uint8_t slot, const std::string& name) {
        Bytes b{slot};
        b.insert(b.end(), name.begin(), name.end());
        return b;
    }
    // The kinds of the packets that arrive within the time; 0 at the end when
    // the relay closed the connection.
    static std::vector<int> receive(int fd, int millis) {
        relay::PacketReader r;
        std::vector<int> kinds;
        Bytes buf(65536);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(millis);
        while (std::chrono::steady_clock::now() < end) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            const ssize_t n = ::recv(fd, buf.data(), buf.size(), 0);
            if (n <= 0) {
                kinds.push_back(0);
                break;
            }
            r.feed({buf.data(), static_cast<std::size_t>(n)});
            while (auto pk = r.next()) kinds.push_back(pk->kind);
        }
        return kinds;
    }
};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool HeapIsInstrumented = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool HeapIsInstrumented = true;
#else
constexpr bool HeapIsInstrumented = false;
#endif
#else
constexpr bool HeapIsInstrumented = false;
#endif

// A receiver that never reads while its peer floods it with data: the relay
// keeps a bounded backlog for it, says so once, and goes on serving others.
TEST_F(RelayBinary, ASlowReaderCostsABoundedBacklogAndOneLogLine) {
    start();
    const int slow = connectTo(4096);
    const int flood = connectTo();
    ASSERT_TRUE(sendAll(slow, relay::encode(relay::Login, relay::bytesOf("slow"))));
    ASSERT_TRUE(sendAll(slow, relay::encode(relay::Link, named(1, "flood"))));
    ASSERT_TRUE(sendAll(flood, relay::encode(relay::Login, relay::bytesOf("flood"))));
    ASSERT_TRUE(sendAll(flood, relay::encode(relay::Link, named(1, "slow"))));
    // 48 MB of format and frame packets, none of which the receiver takes.
    Bytes format{1, relay::Format};
    format.resize(256 * 1024, 3);
    Bytes frame{1, relay::Frame};
    frame.resize(256 * 1024, 4);
    for (int i = 0; i < 96; ++i) {
        ASSERT_TRUE(sendAll(flood, relay::encode(relay::Data, format)));
        ASSERT_TRUE(sendAll(flood, relay::encode(relay::Data, frame)));
    }
    // The flood is through the relay once a newcomer is served after it.
    ASSERT_TRUE(sendAll(flood, relay::encode(relay::Link, named(2, "late"))));
    const int late = connectTo();
    ASSERT_TRUE(sendAll(late, relay::encode(relay::Login, relay::bytesOf("late"))));
    const auto kinds = receive(late, 2000);
    ASSERT_FALSE(kinds.empty());
    EXPECT_EQ(kinds.front(), relay::LoggedIn);
    const long kb = residentKb();
    EXPECT_GT(kb, 0);
    // Under AddressSanitizer freed memory waits in a quarantine of its own
    // (up to 256 MB), so the relay's size says nothing of its backlog there.
    if (!HeapIsInstrumented) {
        EXPECT_LT(kb, 24 * 1024) << "the receiver's backlog stays bounded";
    }
    EXPECT_EQ(lines("lags"), 1) << logText();
    for (int fd : {slow, flood, late}) ::close(fd);
}

// More connections than the relay takes: the ones beyond are closed at once,
// with one log line for all of them; a place that comes free is taken again.
TEST_F(RelayBinary, ConnectionsBeyondTheCapAreRefusedWithOneLogLine) {
    start("--max-connections 4");
    std::vector<int> fds;
    for (int i = 0; i < 10; ++i) {
        fds.push_back(connectTo());
        // One at a time, so the relay sees them in order.
        sendAll(fds.back(), relay::encode(relay::Login, relay::bytesOf("p" + std::to_string(i))));
        receive(fds.back(), 100);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (int i = 0; i < 10; ++i) {
        // A kept connection is still open: nothing more arrives.
        const auto kinds = receive(fds[static_cast<std::size_t>(i)], 50);
        if (i < 4)
            EXPECT_TRUE(kinds.empty() || kinds.back() != 0) << i;
        else
            EXPECT_EQ(kinds, std::vector<int>{0}) << i;
    }
    EXPECT_EQ(lines("connection refused"), 1) << logText();
    ::close(fds[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const int again = connectTo();
    ASSERT_TRUE(sendAll(again, relay::encode(relay::Login, relay::bytesOf("again"))));
    const auto kinds = receive(again, 1000);
    ASSERT_FALSE(kinds.empty());
    EXPECT_EQ(kinds.front(), relay::LoggedIn);
    EXPECT_EQ(lines("6 connections were refused while full"), 1) << logText();
    ::close(again);
    for (int fd : fds) ::close(fd);
}

}  // namespace
}  // namespace mj::test
