// props_fixture.h: a logged-in client whose program folder holds a props
// plug-in (the in-memory one), with a treasure-box layout when asked, and the
// hand-end messages that hand a result to it.
#pragma once
#include <memory>
#include <string>

#include "dispatch/dispatch_fixture.h"
#include "props/props_bridge.h"

namespace mj::test {

// 3 x 2, red green blue / transparent red green.
inline std::string tinyGif() {
    static const std::uint8_t bytes[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x03, 0x00, 0x02, 0x00, 0x81,
                                         0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF,
                                         0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x03, 0x00,
                                         0x2C, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x00, 0x08,
                                         0x08, 0x00, 0x01, 0x04, 0x10, 0x30, 0x40, 0x60, 0x40, 0x00, 0x3B};
    return {reinterpret_cast<const char*>(bytes), sizeof bytes};
}

class PropsFixture : public DispatchFixture {
protected:
    using Fake = platform::sim::FakePropsPlugin;
    static constexpr std::array<SeatBit, 4> SeatBits{1, 8, 4, 2};  // views 0..3 when the own seat is 1
    Fake* fake = nullptr;

    // A usable layout: group g, box i at (100 + 70 i, 200 + 100 g).
    static void withBoxes(Fake& p) {
        p.hasBoxes = true;
        for (int k = 0; k < platform::PropBoxCount; ++k) {
            p.boxPos[static_cast<std::size_t>(k)] = {100 + 70 * (k % 5), 200 + 100 * (k / 5)};
        }
        p.boxSize = {60, 60};
        p.boxOpenCentre = {512, 300};
        p.boxOpenSize = {100, 100};
        p.boxSeatTarget = {{{480, 600}, {100, 300}, {480, 80}, {900, 300}}};
        p.boxPromptCentre = {512, 400};
        p.rewardTiming = {100, 10};
        p.closedPic = tinyGif();
        p.openPic = tinyGif();
    }

    // Puts a plug-in library in the program folder; `setup` prepares each
    // plug-in made from it.
    void offerPlugin(std::function<void(Fake&)> setup = {}) {
        (void)sim.files.writeAll(props::pluginPath(*client), "MZ");
        sim.components.propsPlugin = [this, setup]() -> std::unique_ptr<platform::PropsPlugin> {
            auto p = std::make_unique<Fake>();
            fake = p.get();
            if (setup) setup(*p);
            return p;
        };
    }

    // Loads the plug-in as the first user-info message would.
    void startPlugin(std::function<void(Fake&)> setup = withBoxes) {
        offerPlugin(std::move(setup));
        client->link.loggedIn = true;
        client->initGameDll(*client);
    }

    static WireMessage handGold(SeatBit seat, std::int64_t amount) {
        WireMessage m = message(9, seat);
        setValue(m, 1, 1);
        const auto bits = static_cast<std::uint64_t>(amount);
        for (std::size_t k = 0; k < 8; ++k) m[16 + k] = static_cast<std::uint8_t>(bits >> (8 * k));
        return m;
    }
    static WireMessage handDetail(SeatBit seat, std::int64_t amount) {
        WireMessage m = message(17, seat);
        setValue(m, 1, 10);  // room base
        setValue(m, 3, 1);   // coins
        const auto bits = static_cast<std::uint64_t>(amount < 0 ? -amount : amount);
        for (std::size_t k = 0; k < 8; ++k) m[27 + k] = static_cast<std::uint8_t>(bits >> (8 * k));
        m[35] = amount < 0 ? 2 : 0;
        return m;
    }

    // A won hand (view 0 wins 30), announced box data or not.
    void wonHand(bool announced = true, int juNum = 1) {
        client->link.juNum = juNum;
        const std::array<std::int64_t, 4> gold{30, -10, -10, -10};
        for (std::size_t v = 0; v < 4; ++v) deliver(handGold(SeatBits[v], gold[v]));
        if (announced) deliver(message(46, OwnSeat));
        for (std::size_t v = 0; v < 4; ++v) deliver(handDetail(SeatBits[v], gold[v]));
    }
    void drawnHand(bool announced = true) {
        client->link.juNum = 1;
        if (announced) deliver(message(46, OwnSeat));
        for (SeatBit b : SeatBits) deliver(handGold(b, 0));
    }

    ui::Control* box(int k) const { return client->pic1->find("ImgProp", k); }
    ui::Label& label() const { return *client->props.lbProp; }
    int heroRows() const { return client->results.hero->findAs<ui::ListBox>("Num")->listCount(); }
    ui::ListBox& scoreList(int j) const { return *client->results.score->findAs<ui::ListBox>("State", j); }
    std::vector<std::string> history() const {
        return client->talkText1 ? client->talkText1->items() : std::vector<std::string>{};
    }
};

}  // namespace mj::test
