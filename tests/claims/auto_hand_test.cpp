// A hand played by auto-play against scripted server messages through the
// dispatcher: every offer is answered by its time-out, a discard follows
// whenever one is due, and a confirmed 碰 is laid out.
#include <gtest/gtest.h>

#include "claims_fixture.h"

namespace mj::test {
namespace {

constexpr int Wan(int r) { return 0x40 + r; }
constexpr int Tong(int r) { return 0x80 + r; }
constexpr int Tiao(int r) { return 0x20 + r; }
constexpr int Feng(int r) { return 0x10 + r; }

class AutoHand : public ClaimsFixture {
protected:
    void SetUp() override {
        ClaimsFixture::SetUp();
        c().link.autoPlayOn = true;
        // Own seat 1; the right-hand seat 2, the top 4, the left 8.
        const SeatBit seats[4] = {1, 8, 4, 2};
        for (int v = 0; v < 4; ++v) c().table.custom[static_cast<std::size_t>(v)].seat = seats[v];
    }

    static void setValue(WireMessage& m, int k, int v) {
        m[8 + 2 * static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> 8);
        m[9 + 2 * static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v & 0xFF);
    }
    static WireMessage message(int cmd, int seat) {
        WireMessage m{};
        m[wire::Cmd] = static_cast<std::uint8_t>(cmd);
        m[wire::Seat] = static_cast<std::uint8_t>(seat);
        return m;
    }
    void receive(const WireMessage& m, int ms = 200) {
        sim.socket.deliver(m);
        ASSERT_FALSE(run(ms));
    }
    void tileCmd(int cmd, int seat, int tile) {
        WireMessage m = message(cmd, seat);
        setValue(m, 3, tile);
        receive(m);
    }
    void offerToOwn(int mask) {
        WireMessage m = message(6, 1);
        setValue(m, 0, mask);
        m[100] = 1;
        receive(m, 3000);  // one second, then the expiry a second later
    }
    int own() { return c().table.custom[0].concealedCount; }
};

TEST_F(AutoHand, TheClientAnswersEveryOfferOfAHandByItself) {
    WireMessage start = message(4, 1);
    for (int k = 0; k < 4; ++k) setValue(start, k, 1);
    receive(start, 6000);
    WireMessage special = message(14, 0);
    setValue(special, 2, Tiao(9));  // the wild tile
    setValue(special, 3, Tiao(8));
    special[wire::Body] = 2;
    receive(special);
    // Twelve tiles each, then one more each and the banker's fourteenth.
    const std::vector<int> hand{Wan(1),  Wan(2),  Wan(3),  Wan(5),  Wan(6),  Tong(2),
                                Tong(2), Tong(7), Tong(8), Feng(1), Feng(3), Tiao(4)};
    WireMessage deal = message(1, 0);
    setValue(deal, 1, 12);
    for (std::size_t i = 0; i < hand.size(); ++i) {
        deal[16 + 2 * i] = static_cast<std::uint8_t>(hand[i] & 15);
        deal[17 + 2 * i] = static_cast<std::uint8_t>(hand[i] >> 4);
    }
    receive(deal, 3000);
    tileCmd(5, 1, Wan(9));
    for (int seat : {2, 4, 8}) tileCmd(5, seat, 0);
    tileCmd(5, 1, Feng(6));
    ASSERT_EQ(own(), 14);
    sim.socket.clearSent();

    // The banker's first turn: no claim offered, the discard is due.
    offerToOwn(0);
    auto a = answers();
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0], (std::pair{7, int{OpPass}}));
    ASSERT_EQ(a[1].first, 2);
    const int discarded = a[1].second & 0xFF;
    // Three lone honours score alike (no tile of theirs seen yet), and
    // every numbered tile is worth more: the first honour of the sorted
    // hand goes.
    EXPECT_EQ(discarded, Feng(1));
    EXPECT_EQ(own(), 13);
    tileCmd(2, 1, discarded);

    // The right-hand seat draws and discards a 筒 2: 碰 or pass is offered.
    sim.socket.clearSent();
    tileCmd(5, 2, 0);
    tileCmd(2, 2, Tong(2));
    offerToOwn(OpPeng | OpPass);
    a = answers();
    ASSERT_EQ(a.size(), 1u);
    // The pair of 筒 2 joins nothing else: auto-play takes it.
    ASSERT_EQ(a[0], (std::pair{7, int{OpPeng}}));
    // Confirmed: the meld is laid and the discard owed follows the next offer.
    WireMessage action = message(7, 1);
    setValue(action, 0, OpPeng);
    for (int k = 1; k <= 3; ++k) setValue(action, k, Tong(2));
    receive(action);
    EXPECT_EQ(own(), 11);
    EXPECT_EQ(c().table.custom[0].slots[1].state, table::SlotPeng);
    EXPECT_DOUBLE_EQ(tile(c().table.custom[0].slots[1].img).top(), 594);
    sim.socket.clearSent();
    offerToOwn(0);
    a = answers();
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[1].first, 2);
    EXPECT_EQ(own(), 10);

    // A few more turns of draws and passes: each offer is answered once.
    for (int turn = 0; turn < 3; ++turn) {
        SCOPED_TRACE(turn);
        sim.socket.clearSent();
        const int before = own();
        tileCmd(5, 1, Tiao(1 + turn));
        offerToOwn(0);
        a = answers();
        ASSERT_EQ(a.size(), 2u);
        EXPECT_EQ(a[0].first, 7);
        EXPECT_EQ(a[1].first, 2);
        EXPECT_EQ(own(), before);
        tileCmd(2, 1, a[1].second & 0xFF);
        for (int seat : {2, 4, 8}) {
            tileCmd(5, seat, 0);
            tileCmd(2, seat, Feng(7));
        }
    }
    EXPECT_EQ(c().dispatch.droppedMessages, 0);
}

}  // namespace
}  // namespace mj::test
