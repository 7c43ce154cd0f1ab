// dispatch_fixture.h: a logged-in client with a recording props plug-in, for
// feeding it server messages.
#pragma once
#include <functional>

#include "link/client_fixture.h"

namespace mj::test {

class RecordingPlugin : public platform::PropsPlugin {
public:
    int checkSendBuff() override { return 0; }
    platform::PropRequest getSendBuff() override { return {}; }
    void initShowNext(bool) override {}
    void initShowEnd() override { ++showEnds; }
    void initExit(int flag) override { exits.push_back(flag); }
    void recState(int kind, bool flag, int) override { states.emplace_back(kind, flag); }
    void fixBuffPos() override {}
    void setKeyDown(int key) override { keys.push_back(key); }
    void setBankState(int state) override { bankStates.push_back(state); }
    void showQvVideo(int seat, bool, int) override { closedVideos.push_back(seat); }
    void updataMyProp(bool flag) override { propUpdates.push_back(flag); }
    void recMsg(const std::vector<std::uint8_t>& m) override { received.push_back(m); }
    bool setUserinfo(const platform::PropsUser& u) override {
        users.push_back(u);
        return !refuseUsers;
    }
    void clearUser(int view) override { clearedViews.push_back(view); }
    bool ainit(const std::string& file) override {
        reinits.push_back(file);
        return true;
    }
    std::vector<std::vector<std::uint8_t>> received;
    std::vector<platform::PropsUser> users;
    bool refuseUsers = false;
    std::vector<int> clearedViews;
    std::vector<std::string> reinits;
    std::vector<int> exits;
    std::vector<std::pair<int, bool>> states;
    int showEnds = 0;
    std::vector<int> keys;
    std::vector<int> bankStates;
    std::vector<int> closedVideos;
    std::vector<bool> propUpdates;
};

class RecordingBrowser : public platform::Browser {
public:
    explicit RecordingBrowser(std::vector<std::string>& log) : log_(log) {}
    void navigate(const std::string& url) override { log_.push_back(url); }

private:
    std::vector<std::string>& log_;
};

class DispatchFixture : public ClientFixture {
protected:
    static constexpr SeatBit OwnSeat = 1;
    RecordingPlugin* plugin = nullptr;

    void SetUp() override {
        ClientFixture::SetUp();
        ASSERT_FALSE(start("zhang$pw$127.0.0.1$9000$"));
        sim.socket.acceptConnection();
        ASSERT_FALSE(run(platform::Millis(200)));
        sim.socket.clearSent();
        client->table.custom[0].seat = OwnSeat;
    }

    void loadPlugin() {
        auto p = std::make_unique<RecordingPlugin>();
        plugin = p.get();
        client->props.propDll = std::move(p);
        client->props.propGameDllState = 1;
    }

    // Delivers the message and runs the ticks that dispatch it; the exit code
    // when the process ended.
    std::optional<int> receive(const WireMessage& m) {
        deliver(m);
        return run(platform::Millis(100));
    }

    // A message of that command whose fields are all in range.
    static WireMessage validMessage(std::uint8_t cmd) {
        WireMessage m = message(cmd, OwnSeat);
        setValue(m, 0, 1);                                   // a die, the pass action
        setValue(m, 1, 4);                                   // a die, one round of a deal
        setValue(m, 2, 0x11);                                // a tile
        setValue(m, 3, 0x11);                                // a tile
        if (cmd == 4) setValue(m, 2, 3), setValue(m, 3, 4);  // dice
        if (cmd == 7 || cmd == 15) setValue(m, 1, 0x11);
        if (cmd == 15) setValue(m, 0, 0x11);
        if (cmd == 1) {
            for (int i = 0; i < 4; ++i) {
                m[16 + 2 * i] = 1;  // rank
                m[17 + 2 * i] = 2;  // suit bit
            }
        }
        return m;
    }

    static void setValue(WireMessage& m, int k, int v) {
        m[8 + 2 * static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> 8);
        m[9 + 2 * static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v & 0xFF);
    }

    static void setText(WireMessage& m, std::size_t at, std::string_view bytes) {
        std::copy(bytes.begin(), bytes.end(), m.begin() + static_cast<std::ptrdiff_t>(at));
    }

    [[nodiscard]] std::string strip(int line) const {
        const auto& items = client->sysmsg[static_cast<std::size_t>(line)]->items();
        return items.empty() ? std::string() : items.front();
    }
};

}  // namespace mj::test
