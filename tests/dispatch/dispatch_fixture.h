// dispatch_fixture.h: a logged-in client with a recording props plug-in, for
// feeding it server messages.
#pragma once
#include <functional>

#include "link/client_fixture.h"
#include "platform/sim/sim_props_plugin.h"

namespace mj::test {

using RecordingPlugin = platform::sim::FakePropsPlugin;

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
