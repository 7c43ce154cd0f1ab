// scripted_server_tests.cpp: the scripted server's scenario parser, message
// matcher and log format, and the server played against by in-test clients.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include "matcher.h"
#include "scenario.h"
#include "server.h"

namespace scripted {
namespace {

using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;

// ---- parser ----------------------------------------------------------------

TEST(ScenarioParser, StatementsBecomeSteps) {
    const auto r = parseScenario(
        "# a login\n"
        "accept within 30s\n"
        "expect 18 after 250ms within 1.5s   # the login\n"
        "send 18\n"
        "expect close\n"
        "quiet 2s\n"
        "no-accept 500ms\n"
        "wait 100ms\n"
        "ignore 24 45\n"
        "ignore none\n"
        "expect any\n"
        "close\n");
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.steps.size(), 11u);
    const std::vector<StepKind> kinds{StepKind::Accept, StepKind::Expect,   StepKind::Send, StepKind::ExpectClose,
                                      StepKind::Quiet,  StepKind::NoAccept, StepKind::Wait, StepKind::Ignore,
                                      StepKind::Ignore, StepKind::Expect,   StepKind::Close};
    for (std::size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(r.steps[i].kind, kinds[i]) << "step " << i;
    EXPECT_EQ(r.steps[0].within, Millis(30000));
    EXPECT_EQ(r.steps[1].line, 3);
    EXPECT_EQ(r.steps[1].message.cmd, 18);
    EXPECT_EQ(r.steps[1].after, Millis(250));
    EXPECT_EQ(r.steps[1].within, Millis(1500));
    EXPECT_EQ(r.steps[3].within, DefaultWithin);
    EXPECT_EQ(r.steps[4].duration, Millis(2000));
    EXPECT_EQ(r.steps[7].ignored, (std::set<int>{24, 45}));
    EXPECT_TRUE(r.steps[8].ignored.empty());
    EXPECT_EQ(r.steps[9].message.cmd, -1);
}

struct FieldCase {
    const char* line;
    std::size_t offset;
    Bytes bytes;
};

TEST(ScenarioParser, FieldLinesBecomeBytesAtOffsets) {
    const std::vector<FieldCase> cases{
        {"seat 4", 6, {0x04}},
        {"byte5 0x7f", 5, {0x7F}},
        {"byte7 = 9", 7, {0x09}},
        {"value 3 = 1", 14, {0x00, 0x01}},
        {"value 0 = 1032", 8, {0x04, 0x08}},
        {"value 1 = -2", 10, {0xFF, 0xFE}},
        {"bytes 14 = 01 00", 14, {0x01, 0x00}},
        {"bytes 236 000001 10", 236, {0x00, 0x00, 0x01, 0x10}},
        {"text 16 \"tester\"", 16, {'t', 'e', 's', 't', 'e', 'r'}},
        {"text 16 \"张三\"", 16, {0xD5, 0xC5, 0xC8, 0xFD}},
        {"text 16 \"a\\\"b\"", 16, {'a', '"', 'b'}},
        {"field 16..19 \"ab\"", 16, {'a', 'b', 0, 0}},
        {"zero 260..263", 260, {0, 0, 0, 0}},
        {"echo 12 34", 260, {0x12, 0x34}},
        {"key 0x01020304", 268, {0x04, 0x03, 0x02, 0x01}},
    };
    for (const auto& c : cases) {
        const auto r = parseScenario(std::string("send 18\n  ") + c.line + "\n");
        ASSERT_TRUE(r.ok()) << c.line << ": " << r.error;
        ASSERT_EQ(r.steps.size(), 1u);
        ASSERT_EQ(r.steps[0].message.patches.size(), 1u) << c.line;
        const Patch& p = r.steps[0].message.patches[0];
        EXPECT_EQ(p.offset, c.offset) << c.line;
        EXPECT_EQ(p.bytes, c.bytes) << c.line;
        EXPECT_EQ(p.line, 2) << c.line;
    }
}

TEST(ScenarioParser, RepeatBlocksAreUnrolledWithTheirFields) {
    const auto r = parseScenario(
        "accept\n"
        "repeat 2\n"
        "  expect 24 within 6s\n"
        "    seat 0\n"
        "  repeat 3\n"
        "    wait 10ms\n"
        "  end\n"
        "end\n"
        "close\n");
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.steps.size(), 1u + 2 * (1 + 3) + 1);
    EXPECT_EQ(r.steps[1].kind, StepKind::Expect);
    EXPECT_EQ(r.steps[1].message.patches.size(), 1u);
    EXPECT_EQ(r.steps[5].kind, StepKind::Expect);
    EXPECT_EQ(r.steps[5].message.patches.size(), 1u);
    EXPECT_EQ(r.steps[4].kind, StepKind::Wait);
    EXPECT_EQ(r.steps.back().kind, StepKind::Close);
}

struct ErrorCase {
    const char* text;
    const char* error;
};

TEST(ScenarioParser, MistakesAreReportedWithTheirLine) {
    const std::vector<ErrorCase> cases{
        {"accept\nbogus 1\n", "line 2: unknown statement 'bogus'"},
        {"seat 1\n", "line 1: field line 'seat' must follow a send or expect"},
        {"send 18\nquiet 1s\nseat 1\n", "line 3: field line"},
        {"send 18\nseat 256\n", "line 2: seat 256 is outside 0..255"},
        {"send 18\nvalue 4 = 1\n", "value index 4 is outside"},
        {"send 18\nvalue 0 = 70000\n", "value 70000 is outside"},
        {"send 18\nbytes 270 = 01 02 03\n", "run past byte 271"},
        {"send 18\nbytes 16 = 1\n", "not hex bytes"},
        {"send 18\nbytes 16 = zz\n", "not hex bytes"},
        {"send 18\nfield 16..17 \"abc\"\n", "does not fit in 2 bytes"},
        {"send 18\nfield 20..16 \"a\"\n", "ends before it starts"},
        {"send 18\ntext 16 \"\"\n", "empty text"},
        {"send 18\ntext 16 \"open\n", "no closing"},
        {"send 18\ntext 16 \"\xF0\x9F\x98\x80\"\n", "GBK cannot hold"},
        {"send 18\necho 12\n", "two bytes"},
        {"expect 18 after 7s within 6s\n", "'after' is later than 'within'"},
        {"accept after 1s\n", "unexpected 'after'"},
        {"wait 5\n", "needs a number and a unit"},
        {"wait 5min\n", "expected ms or s"},
        {"send x\n", "command 'x' is not a whole number"},
        {"repeat 2\nwait 1s\n", "line 1: 'repeat' has no 'end'"},
        {"end\n", "'end' without 'repeat'"},
        {"# nothing\n\n", "no steps"},
        {"mark\n", "usage: mark NAME"},
        {"mark \"mid hand\"\n", "one word"},
    };
    for (const auto& c : cases) {
        const auto r = parseScenario(c.text);
        EXPECT_FALSE(r.ok()) << c.text;
        EXPECT_THAT(r.error, HasSubstr(c.error)) << c.text;
    }
}

// ---- matcher and log ---------------------------------------------------------

MessageSpec specOf(const std::string& text) {
    const auto r = parseScenario(text);
    EXPECT_TRUE(r.ok()) << r.error;
    return r.ok() ? r.steps.at(0).message : MessageSpec{};
}

mj::WireMessage loginMessage(const std::string& name, const std::string& password) {
    mj::WireMessage m{};
    m[3] = 18;
    m[14] = 1;
    std::copy(name.begin(), name.end(), m.begin() + 16);
    std::copy(password.begin(), password.end(), m.begin() + 32);
    return m;
}

TEST(Matcher, BuildsTheMessageOfASendStep) {
    const auto m =
        buildMessage(specOf("send 18\n"
                            "  value 3 = 1\n"
                            "  value 1 = 0x0203\n"
                            "  text 16 \"ad\"\n"
                            "  echo ab cd\n"
                            "  key 0x11223344\n"));
    mj::WireMessage want{};
    want[3] = 18;
    want[10] = 0x02;
    want[11] = 0x03;
    want[15] = 1;
    want[16] = 'a';
    want[17] = 'd';
    want[260] = 0xAB;
    want[261] = 0xCD;
    want[268] = 0x44;
    want[269] = 0x33;
    want[270] = 0x22;
    want[271] = 0x11;
    EXPECT_EQ(m, want);
    EXPECT_EQ(buildMessage(specOf("send 300\n"))[2], 1);  // commands above 255 use byte 2
}

struct CheckCase {
    const char* expect;
    std::vector<const char*> problems;  // substrings, one per reported difference
};

TEST(Matcher, ReportsEachDifferenceOfAReceivedMessage) {
    const auto login = loginMessage("tester", "secret");
    const std::vector<CheckCase> cases{
        {"expect 18\n bytes 8 = 00 00 00 00 00 00 01 00\n field 16..31 \"tester\"\n field 32..259 \"secret\"\n"
         " zero 260..271\n",
         {}},
        {"expect any\n text 16 \"test\"\n", {}},
        {"expect 24\n", {"command: expected 24, got 18"}},
        {"expect 18\n field 16..31 \"test\"\n",
         {"line 2 'field 16..31 \"test\"': byte 20 on: expected 00 00 00 00 00 00 00 00 00 00 00 00, got 65 72 00"}},
        {"expect 18\n field 32..259 \"secret!\"\n", {"byte 38 on: expected 21"}},
        {"expect 18\n bytes 15 = 01\n seat 1\n", {"byte 15 on: expected 01, got 00", "byte 6 on: expected 01, got 00"}},
        {"expect 18\n value 3 = 1\n", {"byte 14 on: expected 00 01, got 01 00"}},
        {"expect 18\n text 16 \"张三\"\n", {"expected d5 c5 c8 fd, got 74 65 73 74"}},
    };
    for (const auto& c : cases) {
        const auto problems = checkMessage(specOf(c.expect), login);
        ASSERT_EQ(problems.size(), c.problems.size()) << c.expect << (problems.empty() ? "" : problems[0]);
        for (std::size_t i = 0; i < problems.size(); ++i)
            EXPECT_THAT(problems[i], HasSubstr(c.problems[i])) << c.expect;
    }
}

TEST(MessageLog, ShowsHeaderAndNonZeroRunsWithTheirText) {
    auto m = loginMessage("\xD5\xC5\xC8\xFD", "pw");  // 张三 in GBK
    m[6] = 2;
    m[7] = 5;
    m[100] = 0x15;  // a lone tile code: hex only
    m[260] = 0x12;
    m[261] = 0x34;
    EXPECT_EQ(formatMessage(m),
              "cmd 18 seat 2 byte7 5 v 0 0 0 256 | 16: d5 c5 c8 fd \"张三\" | 32: 70 77 \"pw\" | 100: 15"
              " | 260: 12 34");
    mj::WireMessage control{};
    control[3] = 24;
    control[16] = 0x01;
    control[17] = 0x02;
    EXPECT_EQ(formatMessage(control), "cmd 24 seat 0 v 0 0 0 0 | 16: 01 02");
    mj::WireMessage full{};
    std::fill(full.begin() + 16, full.begin() + 260, 'x');
    EXPECT_THAT(formatMessage(full), HasSubstr("... (244 bytes)"));
}

// ---- the server against in-test clients ------------------------------------

// A blocking loopback client for the tests.
class TestClient {
public:
    explicit TestClient(std::uint16_t port, const char* host = "127.0.0.1") {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        ::inet_pton(AF_INET, host, &a.sin_addr);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~TestClient() { close(); }
    [[nodiscard]] bool connected() const { return connected_; }
    void sendBytes(const std::uint8_t* p, std::size_t n) { ASSERT_EQ(::send(fd_, p, n, MSG_NOSIGNAL), ssize_t(n)); }
    void sendMessage(const mj::WireMessage& m) { sendBytes(m.data(), m.size()); }
    // The next whole message, or nullopt when the server closed.
    std::optional<mj::WireMessage> receive() {
        mj::WireMessage m{};
        std::size_t got = 0;
        while (got < m.size()) {
            const ssize_t n = ::recv(fd_, m.data() + got, m.size() - got, 0);
            if (n <= 0) return std::nullopt;
            got += static_cast<std::size_t>(n);
        }
        return m;
    }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

mj::WireMessage messageOf(int cmd) {
    mj::WireMessage m{};
    m[3] = static_cast<std::uint8_t>(cmd);
    return m;
}

void pause(int ms) { std::this_thread::sleep_for(Millis(ms)); }

struct LoopbackCase {
    const char* name;
    const char* scenario;
    std::function<void(TestClient&)> client;
    const char* failure;     // nullptr: the scenario must pass
    Millis global{5000};     // the run's global time limit
    bool keepGoing = false;  // play on past a failed step
};

// The login scenario every client below plays against.
constexpr const char* LoginScenario =
    "accept within 2s\n"
    "expect 18 within 1s\n"
    "  bytes 14 = 01\n"
    "  field 16..31 \"tester\"\n"
    "  field 32..259 \"secret\"\n"
    "  zero 260..271\n"
    "send 18\n"
    "  value 3 = 1\n"
    "  echo 12 34\n"
    "mark logged-in\n"
    "repeat 2\n"
    "  expect 24 after 150ms within 1s\n"
    "    echo 12 34\n"
    "end\n"
    "quiet 200ms\n"
    "expect close within 1s\n";

void playGoodLogin(TestClient& c) {
    c.sendMessage(loginMessage("tester", "secret"));
    auto reply = c.receive();
    ASSERT_TRUE(reply.has_value());
    ASSERT_EQ((*reply)[3], 18);
    ASSERT_EQ((*reply)[15], 1);
    auto keepAlive = messageOf(24);
    keepAlive[260] = (*reply)[260];
    keepAlive[261] = (*reply)[261];
    for (int i = 0; i < 2; ++i) {
        pause(250);
        c.sendMessage(keepAlive);
    }
    pause(250);  // a third keep-alive inside the quiet time is allowed
    c.sendMessage(keepAlive);
    c.close();
}

TEST(ScriptedServerLoopback, PlaysScenariosAgainstAClient) {
    const std::vector<LoopbackCase> cases{
        {"good login", LoginScenario, playGoodLogin, nullptr},
        {"wrong password", LoginScenario,
         [](TestClient& c) {
             c.sendMessage(loginMessage("tester", "secreT"));
             EXPECT_FALSE(c.receive().has_value());  // the run ended at the failed step
         },
         "line 2: expect cmd 18 within 1000 ms: the message differs:\n    line 5 'field 32..259 \"secret\"': byte 37"},
        {"keep going past a failed step", LoginScenario,
         [](TestClient& c) {
             c.sendMessage(loginMessage("tester", "secreT"));
             const auto reply = c.receive();  // the steps after the failed one still play
             ASSERT_TRUE(reply.has_value());
             EXPECT_EQ((*reply)[15], 1);
         },
         "line 2: expect cmd 18", Millis(5000), true},
        {"silent client", LoginScenario, [](TestClient&) { pause(1300); }, "timed out waiting for cmd 18"},
        {"client closes at once", LoginScenario, [](TestClient& c) { c.close(); },
         "the peer closed the connection before cmd 18"},
        {"keep-alive too early", LoginScenario,
         [](TestClient& c) {
             c.sendMessage(loginMessage("tester", "secret"));
             ASSERT_TRUE(c.receive().has_value());
             c.sendMessage(messageOf(24));
         },
         "line 12: expect cmd 24 after 150 ms within 1000 ms: cmd 24 came"},
        {"other command while expecting", "accept within 2s\nexpect 18 within 1s\n",
         [](TestClient& c) { c.sendMessage(messageOf(2)); }, "expected cmd 18, got cmd 2 seat 0"},
        {"keep-alives are skipped by default", "accept within 2s\nexpect 18 within 1s\n",
         [](TestClient& c) {
             c.sendMessage(messageOf(24));
             c.sendMessage(messageOf(18));
         },
         nullptr},
        {"ignore none makes keep-alives count", "ignore none\naccept within 2s\nexpect 18 within 1s\n",
         [](TestClient& c) {
             c.sendMessage(messageOf(24));
             c.sendMessage(messageOf(18));
         },
         "expected cmd 18, got cmd 24"},
        {"message during quiet", "accept within 2s\nquiet 500ms\n", [](TestClient& c) { c.sendMessage(messageOf(19)); },
         "expected nothing, got cmd 19"},
        {"split message is reassembled", "accept within 2s\nexpect 18 within 1s\n  field 16..31 \"ab\"\n",
         [](TestClient& c) {
             const auto m = loginMessage("ab", "");
             c.sendBytes(m.data(), 100);
             pause(50);
             c.sendBytes(m.data() + 100, 172);
         },
         nullptr},
        {"stray bytes before close", "accept within 2s\nexpect close within 1s\n",
         [](TestClient& c) {
             const std::uint8_t junk[3] = {1, 2, 3};
             c.sendBytes(junk, 3);
             c.close();
         },
         "the peer closed after 3 bytes that are not a whole message"},
        {"global limit cuts a long step", "accept within 2s\nexpect 18 within 10s\n", [](TestClient&) { pause(400); },
         "global time limit reached while waiting for cmd 18", Millis(300)},
        {"server closes and accepts again", "accept within 2s\nclose\naccept within 2s\nexpect 18 within 1s\n",
         [](TestClient& c) {
             EXPECT_FALSE(c.receive().has_value());  // our connection was closed
         },
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = parseScenario(c.scenario);
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        std::ostringstream log;
        ScriptedServer server(log);
        std::string error;
        const std::uint16_t port = server.listen(0, error);
        ASSERT_NE(port, 0) << error;
        RunOutcome outcome;
        std::thread serverThread([&] { outcome = server.run(parsed.steps, c.global, c.keepGoing); });
        {
            TestClient client(port);
            ASSERT_TRUE(client.connected());
            c.client(client);
            if (std::string(c.name) == "server closes and accepts again") {
                TestClient second(port);
                ASSERT_TRUE(second.connected());
                second.sendMessage(messageOf(18));
                pause(100);
            }
            serverThread.join();
        }
        if (c.failure == nullptr) {
            EXPECT_TRUE(outcome.ok) << outcome.failure << "\n" << log.str();
        } else {
            EXPECT_FALSE(outcome.ok) << log.str();
            EXPECT_THAT(outcome.failure, HasSubstr(c.failure)) << log.str();
        }
    }
}

TEST(ScriptedServerLoopback, LogsBothDirections) {
    const auto parsed = parseScenario(LoginScenario);
    ASSERT_TRUE(parsed.ok());
    std::ostringstream log;
    ScriptedServer server(log);
    std::string error;
    const std::uint16_t port = server.listen(0, error);
    RunOutcome outcome;
    std::thread serverThread([&] { outcome = server.run(parsed.steps, Millis(5000)); });
    {
        TestClient client(port);
        playGoodLogin(client);
        serverThread.join();
    }
    ASSERT_TRUE(outcome.ok) << outcome.failure;
    const std::string text = log.str();
    EXPECT_THAT(
        text,
        HasSubstr(
            "C>S cmd 18 seat 0 v 0 0 0 256 | 16: 74 65 73 74 65 72 \"tester\" | 32: 73 65 63 72 65 74 \"secret\""));
    EXPECT_THAT(text, HasSubstr("S>C cmd 18 seat 0 v 0 0 0 1 | 260: 12 34"));
    EXPECT_THAT(text, HasSubstr("] mark logged-in\n"));
    EXPECT_THAT(text, HasSubstr("C>S cmd 24 seat 0 v 0 0 0 0 | 260: 12 34"));
    EXPECT_THAT(text, HasSubstr("peer closed the connection"));
    EXPECT_THAT(text, HasSubstr("scenario complete"));
}

// Two runs on one machine each take a loopback address of their own: the
// server must listen on the one it is given and only there.
TEST(ScriptedServerLoopback, ListensOnTheGivenAddressOnly) {
    const auto parsed = parseScenario("accept within 2s\nexpect 18 within 2s\n");
    ASSERT_TRUE(parsed.ok());
    std::ostringstream log;
    ScriptedServer server(log);
    std::string error;
    const std::uint16_t port = server.listen(0, error, "127.31.7.9");
    ASSERT_NE(port, 0) << error;
    {
        TestClient elsewhere(port, "127.0.0.1");
        EXPECT_FALSE(elsewhere.connected());
    }
    RunOutcome outcome;
    std::thread serverThread([&] { outcome = server.run(parsed.steps, Millis(5000)); });
    {
        TestClient client(port, "127.31.7.9");
        ASSERT_TRUE(client.connected());
        client.sendMessage(messageOf(18));
        serverThread.join();
    }
    EXPECT_TRUE(outcome.ok) << outcome.failure << "\n" << log.str();

    // A second server on the same address and port is refused with the address named.
    ScriptedServer same(log);
    EXPECT_EQ(same.listen(port, error, "127.31.7.9"), 0);
    EXPECT_THAT(error, HasSubstr("cannot listen on 127.31.7.9:"));
    ScriptedServer bad(log);
    EXPECT_EQ(bad.listen(0, error, "localhost"), 0);
    EXPECT_THAT(error, HasSubstr("not an IPv4 address"));
}

TEST(ScriptedServerLoopback, AwaitHoldsUntilTheRunnersFileAndLogsWhatArrives) {
    char dir[] = "/tmp/scripted_await_XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string go = std::string(dir) + "/next";
    const auto parsed = parseScenario("accept within 2s\nawait next within 3s\nsend 5\nawait never within 300ms\n");
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    ASSERT_EQ(parsed.steps[1].kind, StepKind::Await);
    EXPECT_EQ(parsed.steps[1].name, "next");
    std::ostringstream log;
    ScriptedServer server(log);
    server.setGoDir(dir);
    std::string error;
    const std::uint16_t port = server.listen(0, error);
    RunOutcome outcome;
    std::thread serverThread([&] { outcome = server.run(parsed.steps, Millis(5000)); });
    {
        TestClient client(port);
        client.sendMessage(messageOf(19));
        pause(400);
        // Still held: nothing sent yet, but the arrival is in the log.
        std::ofstream(go) << "";
        const auto m = client.receive();
        ASSERT_TRUE(m.has_value());
        EXPECT_EQ((*m)[3], 5);
        serverThread.join();
    }
    std::remove(go.c_str());
    ::rmdir(dir);
    const std::string text = log.str();
    EXPECT_LT(text.find("C>S cmd 19"), text.find("] go next"));
    EXPECT_LT(text.find("] go next"), text.find("S>C cmd 5"));
    EXPECT_FALSE(outcome.ok);
    EXPECT_THAT(outcome.failure, HasSubstr("line 4: await never within 300 ms: timed out waiting for the go file"));

    // Without a folder to look in, an await fails at once.
    ScriptedServer bare(log);
    EXPECT_THAT(bare.run(parseScenario("await x\n").steps, Millis(1000)).failure, HasSubstr("await needs --go-dir"));
}

// ---- the real binary ------------------------------------------------------

struct BinaryRun {
    int exitCode = -1;
    std::string firstLine;
};

// Starts the server binary on port 0, reads its first stdout line, lets
// `client` play against the printed port and waits for the exit code.
BinaryRun runBinary(const std::string& scenario, const std::function<void(std::uint16_t)>& client) {
    char path[] = "/tmp/scripted_server_testXXXXXX";
    const int fd = ::mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::write(fd, scenario.data(), scenario.size()), ssize_t(scenario.size()));
    ::close(fd);
    const std::string cmd = std::string(SCRIPTED_SERVER_BIN) + " --port 0 --timeout 5s --log /dev/null " + path;
    BinaryRun run;
    FILE* out = ::popen(cmd.c_str(), "r");
    EXPECT_NE(out, nullptr);
    char line[128] = {};
    if (std::fgets(line, sizeof line, out) != nullptr) run.firstLine = line;
    unsigned port = 0;
    if (std::sscanf(line, "listening on %u", &port) == 1 && port != 0) client(static_cast<std::uint16_t>(port));
    const int status = ::pclose(out);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ::unlink(path);
    return run;
}

TEST(ScriptedServerBinary, PrintsItsPortAndExitsWithTheOutcome) {
    const char* scenario = "accept within 2s\nexpect 18 within 1s\n  field 16..31 \"tester\"\nsend 18\n";
    const auto good = runBinary(scenario, [](std::uint16_t port) {
        TestClient c(port);
        c.sendMessage(loginMessage("tester", "x"));
        EXPECT_TRUE(c.receive().has_value());
    });
    EXPECT_THAT(good.firstLine, ::testing::MatchesRegex("listening on [0-9]+\n"));
    EXPECT_EQ(good.exitCode, 0);

    const auto bad = runBinary(scenario, [](std::uint16_t port) {
        TestClient c(port);
        c.sendMessage(loginMessage("other", "x"));
        pause(200);
    });
    EXPECT_EQ(bad.exitCode, 1);

    const auto unparsable = runBinary("accept\nfrobnicate\n", [](std::uint16_t) {});
    EXPECT_EQ(unparsable.exitCode, 2);
    EXPECT_EQ(unparsable.firstLine, "");
}

}  // namespace
}  // namespace scripted
