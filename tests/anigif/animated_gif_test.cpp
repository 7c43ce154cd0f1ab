// animated_gif_test.cpp: the control's play control, timer ticks, loads and
// stored settings, driven through a host with a manual clock.
#include "anigif/animated_gif.h"

#include <gtest/gtest.h>

#include <map>

#include "anigif/gif_builder.h"

namespace mj::anigif {
namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using testing::GifBuilder;
using testing::grey_palette;

// A host whose one timer fires when the test advances its clock.
class FakeHost : public AnimatedGifHost {
public:
    bool run_time = true;
    int32_t width = 150, height = 150;
    std::optional<std::chrono::milliseconds> timer;
    bool timers_work = true;
    int invalidations = 0, loops_ended_count = 0, failures = 0, completes = 0;
    std::vector<int32_t> report_overs;
    std::vector<std::string> notices;
    std::map<std::string, Bytes> files;
    bool cancel_remote = false;
    std::vector<std::string> downloads, cancelled;
    AnimatedGif* control = nullptr;

    bool user_mode() const override { return run_time; }
    int32_t inner_width() const override { return width; }
    int32_t inner_height() const override { return height; }
    void set_size(int32_t w, int32_t h) override {
        width = w;
        height = h;
        if (control) control->resized();  // the container's resize event comes back at once
    }
    bool arm_timer(std::chrono::milliseconds interval) override {
        if (!timers_work) return false;
        timer = interval;
        return true;
    }
    void kill_timer() override { timer.reset(); }
    void invalidate() override { ++invalidations; }
    void property_changed(std::string_view name) override { notices.emplace_back(name); }
    std::optional<std::vector<uint8_t>> read_file(std::string_view path) override {
        auto it = files.find(std::string(path));
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool start_download(std::string_view path, std::string_view name) override {
        downloads.emplace_back(path);
        return name == "remoteGIF" && path != "bad://";
    }
    void cancel_download(std::string_view name) override { cancelled.emplace_back(name); }
    void loops_ended() override { ++loops_ended_count; }
    void report_over(int32_t frame) override { report_overs.push_back(frame); }
    void remote_load_complete(float, float, bool& cancel) override {
        ++completes;
        cancel = cancel_remote;
    }
    void remote_load_failure() override { ++failures; }

    // Fires the armed timer; returns the interval it was armed with.
    std::chrono::milliseconds tick() {
        EXPECT_TRUE(timer.has_value());
        const auto t = timer.value_or(0ms);
        timer.reset();
        control->timer_fired();
        return t;
    }
};

struct Fixture {
    FakeHost host;
    AnimatedGif gif{host};
    Fixture() { host.control = &gif; }
};

// n frames of 150 x 143 with the given delays (hundredths), no loop block.
Bytes animation(const std::vector<int>& delays_cs, int loops = -1) {
    GifBuilder b;
    b.screen(grey_palette(4), 2);
    if (loops >= 0) b.netscape(loops);
    for (size_t i = 0; i < delays_cs.size(); ++i)
        b.gce(1, delays_cs[i]).image(0, 0, 150, 143, std::vector<uint8_t>(150 * 143, uint8_t(i % 4)), 2);
    return b.end();
}

const std::vector<int> kBombDelays = {100, 50, 10, 50, 10, 10, 100, 10, 20, 150, 10, 10, 200};

TEST(AnimatedGif, BombPlaysOncePassAndClearsItself) {
    Fixture f;
    const Bytes bomb = animation(kBombDelays);
    EXPECT_TRUE(f.gif.load_array(bomb));
    f.gif.set_loops(1);
    EXPECT_EQ(f.gif.action(), 1);
    EXPECT_TRUE(f.gif.decode_pending());
    EXPECT_EQ(f.host.tick(), 20ms);  // the deferred decode
    EXPECT_FALSE(f.gif.decode_pending());
    EXPECT_FALSE(f.gif.has_source_bytes());
    std::chrono::milliseconds total{0};
    int ticks = 0;
    while (f.gif.action() != 0 && ticks < 100) {
        total += f.host.tick();
        ++ticks;
    }
    EXPECT_EQ(total, 7300ms);
    EXPECT_EQ(ticks, 13);
    EXPECT_EQ(f.gif.current_frame(), 0);
    EXPECT_EQ(f.gif.frame_count(), 0);
    EXPECT_EQ(f.host.loops_ended_count, 1);
    EXPECT_FALSE(f.host.timer);
    EXPECT_EQ(f.gif.paint(), nullptr);
    EXPECT_EQ(f.gif.hit_test(), 0);
    // Nothing is shown any more: actions do nothing until the next load.
    f.gif.set_action(1);
    EXPECT_EQ(f.gif.action(), 0);
    // The control resized itself to the picture (stretch 1 in a 150 x 150 control).
    EXPECT_EQ(f.host.width, 150);
    EXPECT_EQ(f.host.height, 143);
}

TEST(AnimatedGif, IntervalsAndLoopCounting) {
    Fixture f;
    f.gif.set_delay_animation(0);
    ASSERT_TRUE(f.gif.load_array(animation({0, 3, 7}, 3)));
    EXPECT_EQ(f.gif.loops(), 3);
    EXPECT_EQ(f.gif.loops_remaining(), 3);
    EXPECT_EQ(f.host.timer, 50ms);  // frame 1: delay 0 gives the minimum
    EXPECT_EQ(f.host.tick(), 50ms);
    EXPECT_EQ(f.host.tick(), 50ms);  // frame 2: 30 ms is below the minimum
    EXPECT_EQ(f.host.timer, 70ms);
    f.host.tick();
    EXPECT_EQ(f.gif.current_frame(), 1);
    EXPECT_EQ(f.gif.loops_remaining(), 2);
    f.gif.set_min_frame_delay(5);
    EXPECT_EQ(f.gif.min_frame_delay(), 10);
    f.gif.set_min_frame_delay(40000);
    EXPECT_EQ(f.gif.min_frame_delay(), 32700);
    f.gif.set_min_frame_delay(20);
    EXPECT_EQ(f.host.tick(), 50ms);  // armed before the change
    EXPECT_EQ(f.host.timer, 30ms);   // from the next arming on
    for (int i = 0; i < 4; ++i) f.host.tick();
    EXPECT_EQ(f.gif.action(), 1);
    f.host.tick();  // the third pass ends
    EXPECT_EQ(f.gif.action(), 0);
    EXPECT_EQ(f.host.loops_ended_count, 1);
}

TEST(AnimatedGif, ForeverNeverEnds) {
    Fixture f;
    f.gif.set_delay_animation(0);
    ASSERT_TRUE(f.gif.load_array(animation({1, 1}, 0)));
    for (int i = 0; i < 1000; ++i) f.host.tick();
    EXPECT_EQ(f.gif.action(), 1);
    EXPECT_EQ(f.host.loops_ended_count, 0);
    EXPECT_EQ(f.gif.loops_remaining(), 0);
}

TEST(AnimatedGif, ActionTable) {
    struct Case {
        int act;
        int want_state;
        int want_frame;
    } cases[] = {{0, 0, 0}, {1, 1, 2}, {2, 2, 2}, {3, 2, 3}, {4, 1, 1}, {5, 1, 2}, {-1, 1, 2}};
    for (const auto& c : cases) {
        Fixture f;
        f.gif.set_delay_animation(0);
        ASSERT_TRUE(f.gif.load_array(animation({5, 5, 5}, 0)));
        f.host.tick();  // now on frame 2, playing
        f.gif.set_action(c.act);
        EXPECT_EQ(f.gif.action(), c.want_state) << c.act;
        EXPECT_EQ(f.gif.current_frame(), c.want_frame) << c.act;
        EXPECT_EQ(f.host.timer.has_value(), c.want_state == 1) << c.act;
    }
}

TEST(AnimatedGif, ActionsDuringThePendingDecodeFinishItFirst) {
    for (int act : {0, 2, 3, 4}) {
        Fixture f;
        ASSERT_TRUE(f.gif.load_array(animation({5, 5, 5})));
        ASSERT_TRUE(f.gif.decode_pending());
        f.gif.set_action(act);
        EXPECT_FALSE(f.gif.decode_pending()) << act;
        if (act == 0) continue;
        for (int frame = 1; frame <= 3; ++frame)  // every frame decoded
            EXPECT_EQ(f.gif.cell(frame).indices.at(0), frame - 1) << act;
    }
    // A start while the deferred decode is pending changes nothing.
    Fixture f;
    ASSERT_TRUE(f.gif.load_array(animation({5, 5, 5})));
    f.gif.shown();
    EXPECT_EQ(f.host.timer, 20ms);
    EXPECT_TRUE(f.gif.decode_pending());
}

TEST(AnimatedGif, DelayAnimationModes) {
    struct Case {
        int mode;
        bool pending_after_load;
        int state_after_decode;
    } cases[] = {{0, false, 1}, {1, true, 1}, {2, true, 0}, {3, true, 0}};
    for (const auto& c : cases) {
        Fixture f;
        f.gif.set_delay_animation(c.mode);
        ASSERT_TRUE(f.gif.load_array(animation({5, 5})));
        EXPECT_EQ(f.gif.decode_pending(), c.pending_after_load) << c.mode;
        if (c.pending_after_load) f.host.tick();
        EXPECT_EQ(f.gif.action(), c.state_after_decode) << c.mode;
    }
}

TEST(AnimatedGif, SingleFrame) {
    Fixture f;
    ASSERT_TRUE(f.gif.load_array(animation({5})));
    EXPECT_EQ(f.gif.action(), 0);
    EXPECT_FALSE(f.host.timer);
    EXPECT_GT(f.host.invalidations, 0);
    f.gif.set_action(1);
    EXPECT_EQ(f.gif.action(), 0);
    f.gif.set_action(3);
    EXPECT_EQ(f.gif.current_frame(), 1);
    EXPECT_EQ(f.gif.action(), 2);
    ASSERT_NE(f.gif.paint(), nullptr);
    EXPECT_EQ(f.host.report_overs, std::vector<int32_t>{1});
    f.gif.set_stretch(2);
    EXPECT_EQ(f.gif.current_frame(), 1);
    EXPECT_EQ(f.gif.stretch(), 2);
    EXPECT_NE(f.gif.paint(), nullptr);
}

TEST(AnimatedGif, FailedLoadsEmptyTheControl) {
    Fixture f;
    const Bytes good = animation({5, 5});
    f.host.files["good.gif"] = good;
    f.host.files["empty.gif"] = {};
    struct Case {
        const char* what;
        std::function<bool(AnimatedGif&)> load;
    } cases[] = {
        {"missing file", [](AnimatedGif& g) { return g.load_file("missing.gif"); }},
        {"empty file", [](AnimatedGif& g) { return g.load_file("empty.gif"); }},
        {"empty array", [](AnimatedGif& g) { return g.load_array({}); }},
        {"not a gif",
         [](AnimatedGif& g) {
             return g.load_array(Bytes{'P', 'N', 'G', 1, 2, 3, 4, 5});
         }},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(f.gif.load_file("good.gif"));
        EXPECT_FALSE(c.load(f.gif)) << c.what;
        EXPECT_EQ(f.gif.current_frame(), 0) << c.what;
        EXPECT_EQ(f.gif.frame_count(), 0) << c.what;
        EXPECT_EQ(f.gif.action(), 0) << c.what;
        EXPECT_FALSE(f.host.timer) << c.what;
        EXPECT_FALSE(f.gif.has_source_bytes()) << c.what;
    }
}

TEST(AnimatedGif, LoadResetsLoopsAndTheirCount) {
    Fixture f;
    f.gif.set_delay_animation(0);
    ASSERT_TRUE(f.gif.load_array(animation({5, 5}, 7)));
    f.gif.set_loops(-3);
    EXPECT_EQ(f.gif.loops(), 3);
    f.host.tick();
    f.host.tick();
    EXPECT_EQ(f.gif.loops_remaining(), 2);
    ASSERT_TRUE(f.gif.load_array(animation({5, 5}, 7)));
    EXPECT_EQ(f.gif.loops(), 7);
    EXPECT_EQ(f.gif.loops_remaining(), 7);
    f.gif.set_loops(std::numeric_limits<int32_t>::min());
    EXPECT_EQ(f.gif.loops(), AnimatedGif::kMaxLoops);
}

TEST(AnimatedGif, MirroringKeepsEveryFrameFlippedOnce) {
    // Frames 1 px wide at x 0 and 2 of a 3-wide picture; mirrored left-right,
    // frame 1 moves to x 2 and frame 2 to x 0.
    auto bytes = GifBuilder().screen(grey_palette(4), 2).image(0, 0, 1, 1, {1}, 2).image(2, 0, 1, 2, {2, 3}, 2).end();
    for (bool change_while_pending : {false, true}) {
        Fixture f;
        if (!change_while_pending) f.gif.set_mirrored(3);
        ASSERT_TRUE(f.gif.load_array(bytes));
        if (change_while_pending) f.gif.set_mirrored(3);
        if (f.gif.decode_pending()) f.host.tick();
        EXPECT_EQ(f.gif.mirrored(), 3);
        EXPECT_EQ(f.gif.parsed().frames[0].left, 2) << change_while_pending;
        EXPECT_EQ(f.gif.parsed().frames[0].top, 1);
        EXPECT_EQ(f.gif.parsed().frames[1].left, 0);
        EXPECT_EQ(f.gif.cell(2).indices, (std::vector<uint8_t>{3, 2})) << change_while_pending;
    }
    Fixture f;
    f.gif.set_mirrored(4);
    EXPECT_EQ(f.gif.mirrored(), 0);
}

TEST(AnimatedGif, AnimatedGifPropertyEncodesTheFrameOnScreen) {
    Fixture f;
    EXPECT_TRUE(f.gif.animated_gif().empty());
    ASSERT_TRUE(f.gif.load_array(animation({5, 5})));
    const auto one = f.gif.animated_gif();  // read while the decode is pending
    EXPECT_TRUE(f.gif.decode_pending());
    const DecodedGif d = decode_gif(one);
    ASSERT_EQ(d.cells.size(), 1u);
    EXPECT_EQ(d.cells[0].indices, f.gif.cell(1).indices);
    f.host.tick();
    EXPECT_EQ(f.gif.action(), 1);

    // Written: a picture loads; nothing clears.
    f.gif.set_animated_gif(std::span<const uint8_t>(one));
    EXPECT_EQ(f.gif.frame_count(), 1);
    f.gif.set_animated_gif(std::nullopt);
    EXPECT_EQ(f.gif.frame_count(), 0);
    EXPECT_EQ(f.host.notices.back(), "AnimatedGIF");
}

TEST(AnimatedGif, HiddenPausesAndShownResumes) {
    Fixture f;
    f.gif.set_delay_animation(0);
    ASSERT_TRUE(f.gif.load_array(animation({5, 5})));
    f.gif.hidden();
    EXPECT_EQ(f.gif.action(), 2);
    EXPECT_FALSE(f.host.timer);
    f.gif.shown();
    EXPECT_EQ(f.gif.action(), 1);
}

TEST(AnimatedGif, TimerThatCannotBeArmedLeavesTheFrameShown) {
    Fixture f;
    f.host.timers_work = false;
    ASSERT_TRUE(f.gif.load_array(animation({5, 5, 5})));
    EXPECT_FALSE(f.gif.decode_pending());  // decoded at once instead
    EXPECT_EQ(f.gif.action(), 0);
    EXPECT_EQ(f.gif.current_frame(), 1);
    EXPECT_EQ(f.gif.cell(3).indices.at(0), 2);
}

TEST(AnimatedGif, DesignTimeDecodesFrameOneAndKeepsTheBytes) {
    Fixture f;
    f.host.run_time = false;
    f.host.width = 10;
    f.gif.set_animated_gif(animation({5, 5, 5}));
    EXPECT_EQ(f.gif.frame_count(), 3);
    EXPECT_TRUE(f.gif.has_source_bytes());
    EXPECT_FALSE(f.gif.cell(2).decoded);
    EXPECT_EQ(f.host.width, 150);  // sized to the picture
    EXPECT_EQ(f.gif.scale_x(), 1.0f);
    f.gif.set_action(1);
    EXPECT_EQ(f.gif.action(), 0);
    EXPECT_FALSE(f.host.timer);
}

TEST(AnimatedGif, PaintsTheComposedFrameAndReportsTheLast) {
    Fixture f;
    f.gif.set_delay_animation(0);
    ASSERT_TRUE(f.gif.load_array(animation({5, 5})));
    const Image* img = f.gif.paint();
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->width, 150);
    EXPECT_EQ(img->pixels[0], kOpaque);  // grey 0
    EXPECT_EQ(f.gif.take_dirty(), (Rect{0, 0, 150, 143}));
    EXPECT_TRUE(f.host.report_overs.empty());
    f.host.tick();
    EXPECT_EQ(f.gif.take_dirty(), (Rect{0, 0, 150, 143}));
    EXPECT_EQ(f.gif.paint()->pixels[0], kOpaque | 0x555555);
    EXPECT_EQ(f.host.report_overs, std::vector<int32_t>{2});
    EXPECT_EQ(f.gif.target(), (Rect{0, 0, 150, 143}));
    EXPECT_EQ(f.gif.hit_test(), AnimatedGif::kHit);
}

TEST(AnimatedGif, RemoteDownload) {
    const Bytes good = animation({5});
    struct Case {
        Bytes bytes;
        bool cancel;
        int failures, completes;
        bool loaded;
    } cases[] = {
        {good, false, 0, 1, true},
        {good, true, 0, 1, false},
        {Bytes(good.begin(), good.begin() + 14), false, 1, 0, false},
        {[&] {
             Bytes b = good;
             b[0] = 'g', b[1] = 'i', b[2] = 'f', b[5] = 'A';
             return b;
         }(),
         false, 0, 1, true},
        {[&] {
             Bytes b = good;
             b[3] = '9';
             return b;
         }(),
         false, 1, 0, false},
    };
    for (const auto& c : cases) {
        Fixture f;
        ASSERT_TRUE(f.gif.load_array(animation({5, 5})));
        f.gif.load_remote("http://host/x.gif");
        f.host.cancel_remote = c.cancel;
        f.gif.download_complete(c.bytes);
        EXPECT_EQ(f.host.failures, c.failures);
        EXPECT_EQ(f.host.completes, c.completes);
        // A cancelled or failed download leaves the running picture alone.
        EXPECT_EQ(f.gif.frame_count(), c.loaded ? 1 : 2);
    }
    Fixture f;
    f.gif.load_remote("");
    EXPECT_TRUE(f.host.downloads.empty());
    f.gif.load_remote("bad://");
    EXPECT_EQ(f.host.failures, 1);
    f.gif.download_progress_error();
    EXPECT_EQ(f.host.cancelled, std::vector<std::string>{"remoteGIF"});
    EXPECT_EQ(f.host.failures, 2);
}

class MapBag : public PropertyBag {
public:
    std::map<std::string, Bytes> bytes;
    std::map<std::string, int32_t> ints;
    std::map<std::string, int> widths;
    std::map<std::string, bool> bools;
    std::optional<std::vector<uint8_t>> read_bytes(std::string_view k) const override {
        auto it = bytes.find(std::string(k));
        return it == bytes.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<int32_t> read_int(std::string_view k) const override {
        auto it = ints.find(std::string(k));
        return it == ints.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<bool> read_bool(std::string_view k) const override {
        auto it = bools.find(std::string(k));
        return it == bools.end() ? std::nullopt : std::optional(it->second);
    }
    void write_bytes(std::string_view k, std::span<const uint8_t> v) override {
        bytes[std::string(k)] = {v.begin(), v.end()};
    }
    void write_int16(std::string_view k, int16_t v) override { ints[std::string(k)] = v, widths[std::string(k)] = 16; }
    void write_int32(std::string_view k, int32_t v) override { ints[std::string(k)] = v, widths[std::string(k)] = 32; }
    void write_bool(std::string_view k, bool v) override { bools[std::string(k)] = v; }
};

TEST(AnimatedGif, StoredSettings) {
    // Defaults store only the picture and the loop count.
    {
        Fixture f;
        MapBag bag;
        f.gif.write_properties(bag);
        EXPECT_EQ(bag.bytes.count("GIF"), 1u);
        EXPECT_EQ(bag.ints, (std::map<std::string, int32_t>{{"Loops", 0}}));
        EXPECT_TRUE(bag.bools.empty());
    }
    // Values survive a write and a read, at design time with a picture.
    {
        Fixture f;
        f.host.run_time = false;
        f.gif.set_animated_gif(animation({5, 5}, 4));
        f.gif.set_stretch(3);
        f.gif.set_min_frame_delay(120);
        f.gif.set_delay_animation(2);
        f.gif.set_mirrored(1);
        f.gif.set_loops(0);
        f.gif.set_enabled(false);
        MapBag bag;
        f.gif.write_properties(bag);
        EXPECT_EQ(bag.widths["Delay"], 16);
        Fixture g;
        g.host.run_time = false;
        g.gif.read_properties(bag);
        EXPECT_EQ(g.gif.stretch(), 3);
        EXPECT_EQ(g.gif.min_frame_delay(), 120);
        EXPECT_EQ(g.gif.delay_animation(), 2);
        EXPECT_EQ(g.gif.mirrored(), 1);
        EXPECT_EQ(g.gif.loops(), 0);  // forever stays forever, not the file's 4
        EXPECT_FALSE(g.gif.enabled());
        EXPECT_EQ(g.gif.frame_count(), 2);
    }
    // Out-of-range stored values fall back to the defaults; -1 DelayLoad reads 1.
    struct Case {
        const char* key;
        int32_t value;
    } cases[] = {{"Stretch", 5},    {"Stretch", -1},  {"Delay", -5},    {"Delay", 0},
                 {"DelayLoad", -1}, {"DelayLoad", 9}, {"Mirror", 0x21}, {"Mirror", -2}};
    for (const auto& c : cases) {
        Fixture f;
        MapBag bag;
        bag.ints[c.key] = c.value;
        f.gif.read_properties(bag);
        EXPECT_EQ(f.gif.stretch(), 1) << c.key << c.value;
        EXPECT_EQ(f.gif.min_frame_delay(), 50) << c.key << c.value;
        EXPECT_EQ(f.gif.delay_animation(), 1) << c.key << c.value;
        EXPECT_EQ(f.gif.mirrored(), 0) << c.key << c.value;
    }
}

TEST(AnimatedGif, PropertyNotices) {
    Fixture f;
    f.gif.set_stretch(1);  // unchanged: nothing
    f.gif.set_stretch(9);  // out of range: nothing
    f.gif.set_stretch(0);
    f.gif.set_min_frame_delay(50);
    f.gif.set_min_frame_delay(60);
    f.gif.set_enabled(true);
    f.gif.set_delay_animation(3);
    f.gif.set_loops(2);
    f.gif.set_mirrored(2);
    EXPECT_EQ(f.host.notices,
              (std::vector<std::string>{"Stretch", "Delay", "Enabled", "DelayAnimation", "Loops", "Mirrored"}));
}

}  // namespace
}  // namespace mj::anigif
