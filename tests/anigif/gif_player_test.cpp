// gif_player_test.cpp: the animated GIF control on a placed component, on the
// in-memory platform's virtual clock: what the component shows frame by frame,
// play control, erasing, bad pictures, sizing; and the client's `bombPlayer`
// playing resource 420 once.
#include "anigif/gif_player.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "anigif/gif_builder.h"
#include "link/picture_resources.h"
#include "platform/sim/sim_platform.h"
#include "table/hand_reset.h"
#include "table/table_fixture.h"

namespace mj::anigif {
namespace {

using namespace std::chrono_literals;
using platform::Millis;
using testing::Bytes;
using testing::GifBuilder;

constexpr std::uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF;
constexpr std::uint32_t None = 0;  // the component shows no picture

// The virtual clock, keeping a view of the timers it hands out so a test can
// see whether one was left running.
class WatchedClock : public platform::Clock {
public:
    platform::sim::SimClock sim;
    std::vector<platform::Timer*> made;

    [[nodiscard]] Millis monotonic() const override { return sim.monotonic(); }
    [[nodiscard]] double secondsSinceMidnight() const override { return sim.secondsSinceMidnight(); }
    [[nodiscard]] TimeOfDay timeOfDay() const override { return sim.timeOfDay(); }
    [[nodiscard]] Date today() const override { return sim.today(); }
    void sleep(Millis d) override { sim.sleep(d); }
    void pumpEvents(Millis d) override { sim.pumpEvents(d); }
    [[nodiscard]] std::unique_ptr<platform::Timer> createTimer(Millis interval, std::function<void()> onTick) override {
        auto t = sim.createTimer(interval, std::move(onTick));
        made.push_back(t.get());
        return t;
    }
    [[nodiscard]] bool anyRunning() const {
        for (auto* t : made)
            if (t->enabled()) return true;
        return false;
    }
};

// Three 4 x 2 frames, red, green and blue, shown 100, 200 and 300 ms; the last
// pixel of the red frame is transparent.
Bytes threeFrames() {
    const std::vector<uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0x000000};
    return GifBuilder("GIF89a", 4, 2)
        .screen(palette, 2)
        .gce(1, 10, 3)
        .image(0, 0, 4, 2, {0, 0, 0, 0, 0, 0, 0, 3}, 2)
        .gce(1, 20)
        .image(0, 0, 4, 2, std::vector<uint8_t>(8, 1), 2)
        .gce(1, 30)
        .image(0, 0, 4, 2, std::vector<uint8_t>(8, 2), 2)
        .end();
}

// Frame 1 shows at once, frames 2..3 decode 20 ms later and the animation
// starts then: red until 120, green until 320, blue until 620.
constexpr Millis FirstTick = 20ms + 100ms;
constexpr Millis PassEnd = 20ms + 100ms + 200ms + 300ms;

class GifPlayerTest : public ::testing::Test {
protected:
    WatchedClock clock;
    ui::PictureBox table{"Pic1", -1};
    ui::Component& view = table.add<ui::Component>("animatedGif", "bombPlayer", -1);
    std::optional<GifPlayer> player;
    int loopsEnded = 0;

    void SetUp() override {
        view.move(0, 0, 4, 2);
        player.emplace(clock, view);
        player->onLoopsEnded = [this] { ++loopsEnded; };
    }

    // Loads the three frames to play once.
    void playOnce() {
        ASSERT_TRUE(player->loadAnimatedGifArray(threeFrames()));
        player->setLoops(1);
    }
    void advanceTo(Millis t) { clock.sim.advance(t - clock.sim.monotonic()); }
    // The colour of the top-left pixel on the component, None for no picture.
    std::uint32_t shown() const { return view.picture() ? view.picture()->pixels.at(0) : None; }
};

TEST_F(GifPlayerTest, PlaysEachFrameForItsDelayOnceThenShowsNothing) {
    playOnce();
    struct Step {
        Millis at;
        std::uint32_t colour;
        int action;
    };
    const Step steps[] = {
        {0ms, Red, 1},    {FirstTick - 1ms, Red, 1}, {FirstTick, Green, 1}, {320ms - 1ms, Green, 1},
        {320ms, Blue, 1}, {PassEnd - 1ms, Blue, 1},  {PassEnd, None, 0},    {PassEnd + 10s, None, 0},
    };
    for (const Step& s : steps) {
        advanceTo(s.at);
        EXPECT_EQ(shown(), s.colour) << "at " << s.at.count() << " ms";
        EXPECT_EQ(player->action(), s.action) << "at " << s.at.count() << " ms";
    }
    EXPECT_EQ(loopsEnded, 1);
    EXPECT_FALSE(clock.anyRunning());
}

TEST_F(GifPlayerTest, TakesTheMouseOnlyWhileAFrameShows) {
    ASSERT_TRUE(view.isHit);
    EXPECT_FALSE(view.isHit(1, 1));
    playOnce();
    EXPECT_TRUE(view.isHit(1, 1));
    advanceTo(PassEnd);
    EXPECT_FALSE(view.isHit(1, 1)) << "an ended animation must let clicks through";
    player.reset();
    EXPECT_FALSE(view.isHit);
}

// The window reports the mouse on a component in its pixels; the player's
// listeners get the container's units, twips on a form.
TEST(GifPlayerMouse, EventsReachTheListenersInTheContainersUnits) {
    WatchedClock clock;
    ui::Form form{"MainForm"};
    auto& view = form.add<ui::Component>("animatedGif", "bombPlayer", -1);
    std::optional<GifPlayer> player(std::in_place, clock, view);
    std::vector<std::string> seen;
    auto listen = [&](const char* what) {
        return [&seen, what](std::int16_t b, std::int16_t s, float x, float y) {
            seen.push_back(std::string(what) + " " + std::to_string(b) + " " + std::to_string(s) + " " +
                           std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
        };
    };
    player->onClick = [&] { seen.emplace_back("click"); };
    player->onMouseDown = listen("down");
    player->onMouseMove = listen("move");
    player->onMouseUp = listen("up");
    ASSERT_TRUE(view.onClick && view.onMouseDown && view.onMouseMove && view.onMouseUp);
    view.onMouseDown({ui::ButtonLeft, 1, 2, 3});
    view.onMouseMove({ui::ButtonNone, 0, 4.5, 0});
    view.onMouseUp({ui::ButtonRight, 2, 1, 1});
    view.onClick();
    EXPECT_EQ(seen, (std::vector<std::string>{"down 1 1 30 45", "move 0 0 67 0", "up 2 2 15 15", "click"}));
    player.reset();
    EXPECT_FALSE(view.onClick || view.onMouseDown || view.onMouseMove || view.onMouseUp);
}

TEST_F(GifPlayerTest, EveryFrameIsAFreshPictureOfTheWholeLogicalScreen) {
    playOnce();
    const ui::PictureRef first = view.picture();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->width, 4);
    EXPECT_EQ(first->height, 2);
    advanceTo(FirstTick);
    // The component holds its own copy: a later frame never changes a picture
    // already handed out.
    EXPECT_NE(view.picture(), first);
    EXPECT_EQ(first->pixels.at(0), Red);
    EXPECT_EQ(view.picture()->pixels, std::vector<std::uint32_t>(8, Green));
}

TEST_F(GifPlayerTest, TransparentPixelsReachTheComponentWithAlphaZero) {
    playOnce();
    const auto& px = view.picture()->pixels;
    EXPECT_EQ(px.at(6), Red);
    EXPECT_EQ(px.at(7) >> 24, 0u);
}

TEST_F(GifPlayerTest, LoopsZeroPlaysOnAndNeverReportsAnEnd) {
    ASSERT_TRUE(player->loadAnimatedGifArray(threeFrames()));
    EXPECT_EQ(player->loops(), 0);  // no loop block in the file: forever
    advanceTo(PassEnd + 3 * (PassEnd - 20ms));
    EXPECT_EQ(player->action(), 1);
    EXPECT_NE(shown(), None);
    EXPECT_EQ(loopsEnded, 0);
}

TEST_F(GifPlayerTest, PlayControl) {
    struct Case {
        const char* name;
        int act;
        std::uint32_t shownNow;
        int actionNow;
        bool timerRunning;
        std::uint32_t shownLater;  // after the pass would have ended
    };
    const Case cases[] = {
        {"stop and clear", 0, None, 0, false, None},
        {"play while playing", 1, Red, 1, true, None},
        {"pause", 2, Red, 2, false, Red},
        {"step", 3, Green, 2, false, Green},
        {"restart", 4, Red, 1, true, None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        playOnce();
        advanceTo(clock.sim.monotonic() + 50ms);  // frames decoded, frame 1 on screen
        player->setAction(c.act);
        EXPECT_EQ(shown(), c.shownNow);
        EXPECT_EQ(player->action(), c.actionNow);
        EXPECT_EQ(clock.anyRunning(), c.timerRunning);
        advanceTo(clock.sim.monotonic() + PassEnd);
        EXPECT_EQ(shown(), c.shownLater);
        player->erase();
    }
}

TEST_F(GifPlayerTest, ActionsWithNothingLoadedDoNothing) {
    for (int act = 0; act <= 4; ++act) {
        player->setAction(act);
        EXPECT_EQ(player->action(), 0);
        EXPECT_EQ(shown(), None);
        EXPECT_FALSE(clock.anyRunning());
    }
}

TEST_F(GifPlayerTest, EraseStopsTheAnimationAndLeavesNothingShown) {
    struct Case {
        const char* name;
        Millis at;  // when the erase comes
    };
    // Before the deferred decode, mid-animation, and after the animation ended.
    const Case cases[] = {{"decode pending", 5ms}, {"playing", FirstTick + 10ms}, {"ended", PassEnd + 1s}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Millis start = clock.sim.monotonic();
        loopsEnded = 0;
        playOnce();
        advanceTo(start + c.at);
        player->erase();
        EXPECT_EQ(shown(), None);
        EXPECT_FALSE(view.picture());
        EXPECT_EQ(player->action(), 0);
        EXPECT_FALSE(clock.anyRunning());
        advanceTo(clock.sim.monotonic() + 10s);
        EXPECT_EQ(shown(), None);
        EXPECT_EQ(loopsEnded, c.at > PassEnd ? 1 : 0);
    }
}

TEST_F(GifPlayerTest, ABadPictureLeavesTheControlEmpty) {
    const Bytes good = threeFrames();
    const std::string notGif = "PNG and not a GIF at all";
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"not a GIF", Bytes(notGif.begin(), notGif.end())},
        {"no image", GifBuilder("GIF89a", 4, 2).screen({0xFF0000, 0x00FF00}, 1).end()},
        {"cut before the first image", Bytes(good.begin(), good.begin() + 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        playOnce();
        advanceTo(clock.sim.monotonic() + FirstTick);
        ASSERT_EQ(shown(), Green);
        // The animation on screen goes; the bad bytes never leave it in place.
        EXPECT_FALSE(player->loadAnimatedGifArray(c.bytes));
        EXPECT_EQ(shown(), None);
        EXPECT_EQ(player->action(), 0);
        EXPECT_FALSE(clock.anyRunning());
        advanceTo(clock.sim.monotonic() + 10s);
        EXPECT_EQ(shown(), None);
    }
}

TEST(GifPlayerSize, TheControlFitsThePictureIntoItsRectangle) {
    // A 4 x 2 picture keeps its proportions inside the rectangle it is given;
    // the size is set in the container's units (twips on a form).
    struct Case {
        const char* name;
        bool onForm;
        double width, height;        // given, container units
        double fitWidth, fitHeight;  // after the load, container units
    };
    const Case cases[] = {
        {"enlarged in a picture box", false, 20, 20, 20, 10},
        {"shrunk in a picture box", false, 2, 2, 2, 1},
        {"limited by the height", false, 40, 5, 10, 5},
        {"on a form, in twips", true, 300, 300, 300, 150},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WatchedClock clock;
        ui::Form form{"MainForm"};
        ui::Container& parent = c.onForm ? static_cast<ui::Container&>(form) : form.add<ui::PictureBox>("Pic1", -1);
        auto& view = parent.add<ui::Component>("animatedGif", "bombPlayer", -1);
        view.move(0, 0, c.width, c.height);
        GifPlayer player(clock, view);
        ASSERT_TRUE(player.loadAnimatedGifArray(threeFrames()));
        EXPECT_DOUBLE_EQ(view.width(), c.fitWidth);
        EXPECT_DOUBLE_EQ(view.height(), c.fitHeight);
        // The picture stays at the logical size; the window host stretches it.
        EXPECT_EQ(view.picture()->width, 4);
    }
}

#ifdef MJ_ART_DIR
// The client's one instance on the table, with the pictures the client ships.
class BombPlayer : public test::TableFixture, public ::testing::WithParamInterface<double> {
protected:
    void SetUp() override {
        TableFixture::SetUp();
        ASSERT_GT(sim.resources.loadScript(std::string(MJ_ART_DIR) + "/resources.rc"), 0);
        startOn(static_cast<int>(1024 * GetParam()), static_cast<int>(768 * GetParam()));
        table::resetTableForHand(c());
    }

    GifPlayer& bomb() { return *c().bombPlayer; }
    Bytes resource420() {
        const auto bytes = c().p.resources.bytes(link::BombAnimationId, "GIF");
        return bytes ? Bytes(bytes->begin(), bytes->end()) : Bytes{};
    }
    // As the client plays it: load, one pass, shown in front.
    void play() {
        auto& v = ctl("bombPlayer");
        v.bringToFront();
        v.setVisible(true);
        bomb().loadAnimatedGifArray(resource420());
        bomb().setLoops(1);
    }
    // When each frame after the first comes, and when the pass ends, from the
    // file's own delays.
    std::vector<Millis> frameTimes() {
        const Bytes bytes = resource420();
        const ParsedGif gif = parseGif(bytes);
        std::vector<Millis> at;
        Millis t = AnimatedGif::DeferredDecodeDelay;
        for (const auto& f : gif.frames) {
            t += Millis(std::max(f.delayMs, AnimatedGif::DefaultMinFrameDelay));
            at.push_back(t);
        }
        return at;
    }
};

TEST_P(BombPlayer, TheTableHoldsItsOneInstanceOnTheBombPlayerComponent) {
    ASSERT_TRUE(c().bombPlayer);
    EXPECT_EQ(&bomb().view(), c().mainForm.find("bombPlayer"));
    EXPECT_EQ(bomb().view().parent(), c().pic1);
}

// The table's wait and the hand's pace both rest on this timing.
TEST_P(BombPlayer, Resource420Has13FramesOf150By143PlayingOnceFor7300Ms) {
    const Bytes bytes = resource420();
    ASSERT_GE(bytes.size(), 10u);
    EXPECT_EQ(bytes[6] | bytes[7] << 8, 150);  // logical screen
    EXPECT_EQ(bytes[8] | bytes[9] << 8, 143);
    const ParsedGif gif = parseGif(bytes);
    EXPECT_EQ(gif.width, 150);
    EXPECT_EQ(gif.height, 143);
    const std::vector<int> delays = {1000, 500, 100, 500, 100, 100, 1000, 100, 200, 1500, 100, 100, 2000};
    std::vector<int> read;
    for (const auto& f : gif.frames) read.push_back(f.delayMs);
    EXPECT_EQ(read, delays);
    EXPECT_EQ(frameTimes().back(), AnimatedGif::DeferredDecodeDelay + 7300ms);
    // Without a loop-count block the file asks for no repeats of its own.
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("NETSCAPE2.0"), std::string::npos);
    EXPECT_EQ(text.find("ANIMEXTS1.0"), std::string::npos);
}

TEST_P(BombPlayer, Resource420PlaysOnceFrameByFrameAndClearsItself) {
    int ended = 0;
    bomb().onLoopsEnded = [&] { ++ended; };
    const std::vector<Millis> at = frameTimes();
    ASSERT_GE(at.size(), 2u);
    play();
    ASSERT_TRUE(ctl("bombPlayer").picture());
    EXPECT_EQ(bomb().action(), 1);
    // The 150 x 143 picture takes the width of its 150 x 150 place at either
    // scale and keeps its proportions.
    const double side = std::lround(150 * GetParam());
    EXPECT_DOUBLE_EQ(ctl("bombPlayer").width(), side);
    EXPECT_NEAR(ctl("bombPlayer").height(), side * 143 / 150, 1.0);

    std::vector<std::uint32_t> previous = ctl("bombPlayer").picture()->pixels;
    Millis now{0};
    for (std::size_t k = 0; k + 1 < at.size(); ++k) {
        sim.clock.advance(at[k] - now);
        now = at[k];
        ASSERT_TRUE(ctl("bombPlayer").picture()) << "frame " << k + 2;
        const auto& pixels = ctl("bombPlayer").picture()->pixels;
        EXPECT_NE(pixels, previous) << "frame " << k + 2 << " looks like the one before";
        previous = pixels;
        EXPECT_EQ(bomb().action(), 1);
    }
    sim.clock.advance(at.back() - 1ms - now);
    EXPECT_EQ(bomb().action(), 1);
    EXPECT_EQ(ended, 0);
    sim.clock.advance(1ms);
    EXPECT_EQ(bomb().action(), 0);
    EXPECT_FALSE(ctl("bombPlayer").picture());
    EXPECT_EQ(ended, 1);
}

TEST_P(BombPlayer, HidingTheTableDoesNotPauseItSoAWaitForTheEndEnds) {
    // Minimising hides the animation; it still ends on time.
    const Millis end = frameTimes().back();
    play();
    sim.clock.advance(end / 2);
    ctl("bombPlayer").setVisible(false);
    sim.clock.advance(end - end / 2);
    EXPECT_EQ(bomb().action(), 0);
}

TEST_P(BombPlayer, TheHandResetErasesAPlayingAnimation) {
    int ended = 0;
    bomb().onLoopsEnded = [&] { ++ended; };
    const Millis end = frameTimes().back();
    play();
    sim.clock.advance(end / 2);
    ASSERT_TRUE(ctl("bombPlayer").picture());
    table::resetTableForHand(c());
    EXPECT_FALSE(ctl("bombPlayer").picture());
    EXPECT_EQ(bomb().action(), 0);
    EXPECT_DOUBLE_EQ(ctl("bombPlayer").width(), 150 * GetParam());
    sim.clock.advance(2 * end);
    EXPECT_FALSE(ctl("bombPlayer").picture());
    EXPECT_EQ(ended, 0);
}

INSTANTIATE_TEST_SUITE_P(BothScales, BombPlayer, ::testing::Values(1.0, 0.78125),
                         [](const auto& info) { return info.param == 1.0 ? "Full" : "Small"; });
#endif

}  // namespace
}  // namespace mj::anigif
