// claims_fixture.h: a logged-in client with the table laid out, an own hand
// on the table and offers made as the offer handler makes them, for driving
// claims through clicks and the virtual clock.
#pragma once
#include <initializer_list>
#include <vector>

#include "claims/claims_state.h"
#include "table/table_fixture.h"

namespace mj::test {

struct SentMessage {
    int cmd;
    std::array<int, 4> value;
};

class ClaimsFixture : public TableFixture {
protected:
    static constexpr SeatBit OwnSeat = 1;

    void SetUp() override {
        TableFixture::SetUp();
        startOn(1024, 768);
        sim.socket.acceptConnection();
        ASSERT_FALSE(run(200));
        sim.socket.clearSent();
        c().link.loggedIn = true;
        c().table.custom[0].seat = OwnSeat;
        c().table.specialMode = 2;
        c().table.wildTile = 0x29;  // no test hand holds it unless it says so
        c().link.countdownStart = 8;
    }

    std::optional<int> run(int ms) {
        try {
            sim.clock.advance(platform::Millis(ms));
        } catch (const platform::ProcessEnded& e) {
            return e.exitCode;
        }
        return std::nullopt;
    }

    // The own concealed row from slot 4, tile controls 100 + slot, standing.
    void ownHand(std::initializer_list<int> tiles) {
        auto& r = c().table.custom[0];
        r.handX = 50;
        r.handY = 574;
        r.meldEnd = 3;
        r.firstConcealed = 4;
        c().table.tileW[0] = 48;
        c().table.tileH[0] = 78;
        int i = 4;
        for (int t : tiles) {
            r.slots[static_cast<std::size_t>(i)] = {table::SlotConcealed, t, 100 + i};
            tile(100 + i).move(50 + 48 * i, 574, 48, 78);
            tile(100 + i).setVisible(true);
            ++i;
        }
        r.concealedCount = static_cast<int>(tiles.size());
    }

    // Server command 6 for the own seat, through the dispatcher: the offer
    // mask, the not-enough-fan mark and the countdown's seconds.
    void offer(int mask, bool winLacksFan = false, int seconds = 2) {
        WireMessage m{};
        m[wire::Cmd] = 6;
        m[wire::Seat] = OwnSeat;
        m[wire::Value + 1] = static_cast<std::uint8_t>(mask);
        m[wire::Value + 3] = winLacksFan ? 1 : 0;
        m[100] = static_cast<std::uint8_t>(seconds);
        sim.socket.deliver(m);
        ASSERT_FALSE(run(100));
        ASSERT_TRUE(c().claims.offerReceived);
    }

    // Enough time for any countdown the tests start to run out and be acted on.
    void runOut() { ASSERT_FALSE(run(12000)); }

    // The messages sent so far; the tick sends one queued message per 50 ms,
    // so a few ticks run first.
    std::vector<SentMessage> sent() {
        EXPECT_FALSE(run(300));
        std::vector<SentMessage> out;
        for (const auto& m : sim.socket.sentMessages()) {
            SentMessage s{m[3], {}};
            for (std::size_t k = 0; k < 4; ++k) s.value[k] = m[8 + 2 * k] * 256 + m[9 + 2 * k];
            out.push_back(s);
        }
        return out;
    }
    // The sent commands as (command, op or discarded tile).
    std::vector<std::pair<int, int>> answers() {
        std::vector<std::pair<int, int>> out;
        for (const SentMessage& s : sent()) {
            if (s.cmd == 7) out.emplace_back(7, s.value[0]);
            if (s.cmd == 2) out.emplace_back(2, s.value[3]);
        }
        return out;
    }
};

}  // namespace mj::test
