// animated_gif_test.cpp: the control's play control, timer ticks, loads and
// stored settings, driven through a host with a manual clock.
#include "anigif/animated_gif.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "anigif/gif_builder.h"

namespace mj::anigif {
namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using testing::GifBuilder;
using testing::greyPalette;

// A host whose one timer fires when the test advances its clock.
class FakeHost : public AnimatedGifHost {
public:
    bool runTime = true;
    int32_t width = 150, height = 150;
    std::optional<std::chrono::milliseconds> timer;
    bool timersWork = true;
    int invalidations = 0, loopsEndedCount = 0, failures = 0, completes = 0;
    std::vector<int32_t> reportOvers;
    std::vector<std::string> notices;
    std::map<std::string, Bytes> files;
    bool cancelRemote = false;
    std::vector<std::string> downloads, cancelled;
    AnimatedGif* control = nullptr;
    double unitsPerPixel = 1;
    std::vector<std::string> mouse;  // the mouse events raised, as text

    bool userMode() const override { return runTime; }
    int32_t innerWidth() const override { return width; }
    int32_t innerHeight() const override { return height; }
    void setSize(int32_t w, int32_t h) override {
        width = w;
        height = h;
        if (control) control->resized();  // the container's resize event comes back at once
    }
    bool armTimer(std::chrono::milliseconds interval) override {
        if (!timersWork) return false;
        timer = interval;
        return true;
    }
    void killTimer() override { timer.reset(); }
    void invalidate() override { ++invalidations; }
    void propertyChanged(std::string_view name) override { notices.emplace_back(name); }
    std::optional<std::vector<uint8_t>> readFile(std::string_view path) override {
        auto it = files.find(std::string(path));
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool startDownload(std::string_view path, std::string_view name) override {
        downloads.emplace_back(path);
        return name == "remoteGIF" && path != "bad://";
    }
    void cancelDownload(std::string_view name) override { cancelled.emplace_back(name); }
    void loopsEnded() override { ++loopsEndedCount; }
    void reportOver(int32_t frame) override { reportOvers.push_back(frame); }
    void remoteLoadComplete(float, float, bool& cancel) override {
        ++completes;
        cancel = cancelRemote;
    }
    void remoteLoadFailure() override { ++failures; }
    double toContainerX(double pixels) const override { return pixels * unitsPerPixel; }
    double toContainerY(double pixels) const override { return pixels * unitsPerPixel; }
    void click() override { mouse.emplace_back("click"); }
    void mouseDown(int16_t b, int16_t s, float x, float y) override { record("down", b, s, x, y); }
    void mouseMove(int16_t b, int16_t s, float x, float y) override { record("move", b, s, x, y); }
    void mouseUp(int16_t b, int16_t s, float x, float y) override { record("up", b, s, x, y); }
    void record(const char* what, int16_t b, int16_t s, float x, float y) {
        std::ostringstream out;
        out << what << ' ' << b << ' ' << s << ' ' << x << ' ' << y;
        mouse.push_back(out.str());
    }

    // Fires the armed timer; returns the interval it was armed with.
    std::chrono::milliseconds tick() {
        EXPECT_TRUE(timer.has_value());
        const auto t = timer.value_or(0ms);
        timer.reset();
        control->timerFired();
        return t;
    }
};

struct Fixture {
    FakeHost host;
    AnimatedGif gif{host};
    Fixture() { host.control = &gif; }
};

// n frames of 150 x 143 with the given delays (hundredths), no loop block.
Bytes animation(const std::vector<int>& delaysCs, int loops = -1) {
    GifBuilder b;
    b.screen(greyPalette(4), 2);
    if (loops >= 0) b.netscape(loops);
    for (size_t i = 0; i < delaysCs.size(); ++i)
        b.gce(1, delaysCs[i]).image(0, 0, 150, 143, std::vector<uint8_t>(150 * 143, uint8_t(i % 4)), 2);
    return b.end();
}

const std::vector<int> BombDelays = {100, 50, 10, 50, 10, 10, 100, 10, 20, 150, 10, 10, 200};

TEST(AnimatedGif, BombPlaysOncePassAndClearsItself) {
    Fixture f;
    const Bytes bomb = animation(BombDelays);
    EXPECT_TRUE(f.gif.loadArray(bomb));
    f.gif.setLoops(1);
    EXPECT_EQ(f.gif.action(), 1);
    EXPECT_TRUE(f.gif.decodePending());
    EXPECT_EQ(f.host.tick(), 20ms);  // the deferred decode
    EXPECT_FALSE(f.gif.decodePending());
    EXPECT_FALSE(f.gif.hasSourceBytes());
    std::chrono::milliseconds total{0};
    int ticks = 0;
    while (f.gif.action() != 0 && ticks < 100) {
        total += f.host.tick();
        ++ticks;
    }
    EXPECT_EQ(total, 7300ms);
    EXPECT_EQ(ticks, 13);
    EXPECT_EQ(f.gif.currentFrame(), 0);
    EXPECT_EQ(f.gif.frameCount(), 0);
    EXPECT_EQ(f.host.loopsEndedCount, 1);
    EXPECT_FALSE(f.host.timer);
    EXPECT_EQ(f.gif.paint(), nullptr);
    EXPECT_EQ(f.gif.hitTest(), 0);
    // Nothing is shown any more: actions do nothing until the next load.
    f.gif.setAction(1);
    EXPECT_EQ(f.gif.action(), 0);
    // The control resized itself to the picture (stretch 1 in a 150 x 150 control).
    EXPECT_EQ(f.host.width, 150);
    EXPECT_EQ(f.host.height, 143);
}

TEST(AnimatedGif, IntervalsAndLoopCounting) {
    Fixture f;
    f.gif.setDelayAnimation(0);
    ASSERT_TRUE(f.gif.loadArray(animation({0, 3, 7}, 3)));
    EXPECT_EQ(f.gif.loops(), 3);
    EXPECT_EQ(f.gif.loopsRemaining(), 3);
    EXPECT_EQ(f.host.timer, 50ms);  // frame 1: delay 0 gives the minimum
    EXPECT_EQ(f.host.tick(), 50ms);
    EXPECT_EQ(f.host.tick(), 50ms);  // frame 2: 30 ms is below the minimum
    EXPECT_EQ(f.host.timer, 70ms);
    f.host.tick();
    EXPECT_EQ(f.gif.currentFrame(), 1);
    EXPECT_EQ(f.gif.loopsRemaining(), 2);
    f.gif.setMinFrameDelay(5);
    EXPECT_EQ(f.gif.minFrameDelay(), 10);
    f.gif.setMinFrameDelay(40000);
    EXPECT_EQ(f.gif.minFrameDelay(), 32700);
    f.gif.setMinFrameDelay(20);
    EXPECT_EQ(f.host.tick(), 50ms);  // armed before the change
    EXPECT_EQ(f.host.timer, 30ms);   // from the next arming on
    for (int i = 0; i < 4; ++i) f.host.tick();
    EXPECT_EQ(f.gif.action(), 1);
    f.host.tick();  // the third pass ends
    EXPECT_EQ(f.gif.action(), 0);
    EXPECT_EQ(f.host.loopsEndedCount, 1);
}

TEST(AnimatedGif, ForeverNeverEnds) {
    Fixture f;
    f.gif.setDelayAnimation(0);
    ASSERT_TRUE(f.gif.loadArray(animation({1, 1}, 0)));
    for (int i = 0; i < 1000; ++i) f.host.tick();
    EXPECT_EQ(f.gif.action(), 1);
    EXPECT_EQ(f.host.loopsEndedCount, 0);
    EXPECT_EQ(f.gif.loopsRemaining(), 0);
}

TEST(AnimatedGif, ActionTable) {
    struct Case {
        int act;
        int wantState;
        int wantFrame;
    } cases[] = {{0, 0, 0}, {1, 1, 2}, {2, 2, 2}, {3, 2, 3}, {4, 1, 1}, {5, 1, 2}, {-1, 1, 2}};
    for (const auto& c : cases) {
        Fixture f;
        f.gif.setDelayAnimation(0);
        ASSERT_TRUE(f.gif.loadArray(animation({5, 5, 5}, 0)));
        f.host.tick();  // now on frame 2, playing
        f.gif.setAction(c.act);
        EXPECT_EQ(f.gif.action(), c.wantState) << c.act;
        EXPECT_EQ(f.gif.currentFrame(), c.wantFrame) << c.act;
        EXPECT_EQ(f.host.timer.has_value(), c.wantState == 1) << c.act;
    }
}

TEST(AnimatedGif, ActionsDuringThePendingDecodeFinishItFirst) {
    for (int act : {0, 2, 3, 4}) {
        Fixture f;
        ASSERT_TRUE(f.gif.loadArray(animation({5, 5, 5})));
        ASSERT_TRUE(f.gif.decodePending());
        f.gif.setAction(act);
        EXPECT_FALSE(f.gif.decodePending()) << act;
        if (act == 0) continue;
        for (int frame = 1; frame <= 3; ++frame)  // every frame decoded
            EXPECT_EQ(f.gif.cell(frame).indices.at(0), frame - 1) << act;
    }
    // A start while the deferred decode is pending changes nothing.
    Fixture f;
    ASSERT_TRUE(f.gif.loadArray(animation({5, 5, 5})));
    f.gif.shown();
    EXPECT_EQ(f.host.timer, 20ms);
    EXPECT_TRUE(f.gif.decodePending());
}

TEST(AnimatedGif, DelayAnimationModes) {
    struct Case {
        int mode;
        bool pendingAfterLoad;
        int stateAfterDecode;
    } cases[] = {{0, false, 1}, {1, true, 1}, {2, true, 0}, {3, true, 0}};
    for (const auto& c : cases) {
        Fixture f;
        f.gif.setDelayAnimation(c.mode);
        ASSERT_TRUE(f.gif.loadArray(animation({5, 5})));
        EXPECT_EQ(f.gif.decodePending(), c.pendingAfterLoad) << c.mode;
        if (c.pendingAfterLoad) f.host.tick();
        EXPECT_EQ(f.gif.action(), c.stateAfterDecode) << c.mode;
    }
}

TEST(AnimatedGif, SingleFrame) {
    Fixture f;
    ASSERT_TRUE(f.gif.loadArray(animation({5})));
    EXPECT_EQ(f.gif.action(), 0);
    EXPECT_FALSE(f.host.timer);
    EXPECT_GT(f.host.invalidations, 0);
    f.gif.setAction(1);
    EXPECT_EQ(f.gif.action(), 0);
    f.gif.setAction(3);
    EXPECT_EQ(f.gif.currentFrame(), 1);
    EXPECT_EQ(f.gif.action(), 2);
    ASSERT_NE(f.gif.paint(), nullptr);
    EXPECT_EQ(f.host.reportOvers, std::vector<int32_t>{1});
    f.gif.setStretch(2);
    EXPECT_EQ(f.gif.currentFrame(), 1);
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
        {"missing file", [](AnimatedGif& g) { return g.loadFile("missing.gif"); }},
        {"empty file", [](AnimatedGif& g) { return g.loadFile("empty.gif"); }},
        {"empty array", [](AnimatedGif& g) { return g.loadArray({}); }},
        {"not a gif",
         [](AnimatedGif& g) {
             return g.loadArray(Bytes{'P', 'N', 'G', 1, 2, 3, 4, 5});
         }},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(f.gif.loadFile("good.gif"));
        EXPECT_FALSE(c.load(f.gif)) << c.what;
        EXPECT_EQ(f.gif.currentFrame(), 0) << c.what;
        EXPECT_EQ(f.gif.frameCount(), 0) << c.what;
        EXPECT_EQ(f.gif.action(), 0) << c.what;
        EXPECT_FALSE(f.host.timer) << c.what;
        EXPECT_FALSE(f.gif.hasSourceBytes()) << c.what;
    }
}

TEST(AnimatedGif, LoadResetsLoopsAndTheirCount) {
    Fixture f;
    f.gif.setDelayAnimation(0);
    ASSERT_TRUE(f.gif.loadArray(animation({5, 5}, 7)));
    f.gif.setLoops(-3);
    EXPECT_EQ(f.gif.loops(), 3);
    f.host.tick();
    f.host.tick();
    EXPECT_EQ(f.gif.loopsRemaining(), 2);
    ASSERT_TRUE(f.gif.loadArray(animation({5, 5}, 7)));
    EXPECT_EQ(f.gif.loops(), 7);
    EXPECT_EQ(f.gif.loopsRemaining(), 7);
    f.gif.setLoops(std::numeric_limits<int32_t>::min());
    EXPECT_EQ(f.gif.loops(), AnimatedGif::MaxLoops);
}

TEST(AnimatedGif, MirroringKeepsEveryFrameFlippedOnce) {
    // Frames 1 px wide at x 0 and 2 of a 3-wide picture; mirrored left-right,
    // frame 1 moves to x 2 and frame 2 to x 0.
    auto bytes = GifBuilder().screen(greyPalette(4), 2).image(0, 0, 1, 1, {1}, 2).image(2, 0, 1, 2, {2, 3}, 2).end();
    for (bool changeWhilePending : {false, true}) {
        Fixture f;
        if (!changeWhilePending) f.gif.setMirrored(3);
        ASSERT_TRUE(f.gif.loadArray(bytes));
        if (changeWhilePending) f.gif.setMirrored(3);
        if (f.gif.decodePending()) f.host.tick();
        EXPECT_EQ(f.gif.mirrored(), 3);
        EXPECT_EQ(f.gif.parsed().frames[0].left, 2) << changeWhilePending;
        EXPECT_EQ(f.gif.parsed().frames[0].top, 1);
        EXPECT_EQ(f.gif.parsed().frames[1].left, 0);
        EXPECT_EQ(f.gif.cell(2).indices, (std::vector<uint8_t>{3, 2})) << changeWhilePending;
    }
    Fixture f;
    f.gif.setMirrored(4);
    EXPECT_EQ(f.gif.mirrored(), 0);
}

TEST(AnimatedGif, AnimatedGifPropertyEncodesTheFrameOnScreen) {
    Fixture f;
    EXPECT_TRUE(f.gif.animatedGif().empty());
    ASSERT_TRUE(f.gif.loadArray(animation({5, 5})));
    const auto one = f.gif.animatedGif();  // read while the decode is pending
    EXPECT_TRUE(f.gif.decodePending());
    const DecodedGif d = decodeGif(one);
    ASSERT_EQ(d.cells.size(), 1u);
    EXPECT_EQ(d.cells[0].indices, f.gif.cell(1).indices);
    f.host.tick();
    EXPECT_EQ(f.gif.action(), 1);

    // Written: a picture loads; nothing clears.
    f.gif.setAnimatedGif(std::span<const uint8_t>(one));
    EXPECT_EQ(f.gif.frameCount(), 1);
    f.gif.setAnimatedGif(std::nullopt);
    EXPECT_EQ(f.gif.frameCount(), 0);
    EXPECT_EQ(f.host.notices.back(), "AnimatedGIF");
}

TEST(AnimatedGif, HiddenPausesAndShownResumes) {
    Fixture f;
    f.gif.setDelayAnimation(0);
    ASSERT_TRUE(f.gif.loadArray(animation({5, 5})));
    f.gif.hidden();
    EXPECT_EQ(f.gif.action(), 2);
    EXPECT_FALSE(f.host.timer);
    f.gif.shown();
    EXPECT_EQ(f.gif.action(), 1);
}

TEST(AnimatedGif, TimerThatCannotBeArmedLeavesTheFrameShown) {
    Fixture f;
    f.host.timersWork = false;
    ASSERT_TRUE(f.gif.loadArray(animation({5, 5, 5})));
    EXPECT_FALSE(f.gif.decodePending());  // decoded at once instead
    EXPECT_EQ(f.gif.action(), 0);
    EXPECT_EQ(f.gif.currentFrame(), 1);
    EXPECT_EQ(f.gif.cell(3).indices.at(0), 2);
}

TEST(AnimatedGif, DesignTimeDecodesFrameOneAndKeepsTheBytes) {
    Fixture f;
    f.host.runTime = false;
    f.host.width = 10;
    f.gif.setAnimatedGif(animation({5, 5, 5}));
    EXPECT_EQ(f.gif.frameCount(), 3);
    EXPECT_TRUE(f.gif.hasSourceBytes());
    EXPECT_FALSE(f.gif.cell(2).decoded);
    EXPECT_EQ(f.host.width, 150);  // sized to the picture
    EXPECT_EQ(f.gif.scaleX(), 1.0f);
    f.gif.setAction(1);
    EXPECT_EQ(f.gif.action(), 0);
    EXPECT_FALSE(f.host.timer);
}

TEST(AnimatedGif, PaintsTheComposedFrameAndReportsTheLast) {
    Fixture f;
    f.gif.setDelayAnimation(0);
    ASSERT_TRUE(f.gif.loadArray(animation({5, 5})));
    const Image* img = f.gif.paint();
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->width, 150);
    EXPECT_EQ(img->pixels[0], Opaque);  // grey 0
    EXPECT_EQ(f.gif.takeDirty(), (Rect{0, 0, 150, 143}));
    EXPECT_TRUE(f.host.reportOvers.empty());
    f.host.tick();
    EXPECT_EQ(f.gif.takeDirty(), (Rect{0, 0, 150, 143}));
    EXPECT_EQ(f.gif.paint()->pixels[0], Opaque | 0x555555);
    EXPECT_EQ(f.host.reportOvers, std::vector<int32_t>{2});
    EXPECT_EQ(f.gif.target(), (Rect{0, 0, 150, 143}));
    EXPECT_EQ(f.gif.hitTest(), AnimatedGif::Hit);
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
        ASSERT_TRUE(f.gif.loadArray(animation({5, 5})));
        f.gif.loadRemote("http://host/x.gif");
        f.host.cancelRemote = c.cancel;
        f.gif.downloadComplete(c.bytes);
        EXPECT_EQ(f.host.failures, c.failures);
        EXPECT_EQ(f.host.completes, c.completes);
        // A cancelled or failed download leaves the running picture alone.
        EXPECT_EQ(f.gif.frameCount(), c.loaded ? 1 : 2);
    }
    Fixture f;
    f.gif.loadRemote("");
    EXPECT_TRUE(f.host.downloads.empty());
    f.gif.loadRemote("bad://");
    EXPECT_EQ(f.host.failures, 1);
    f.gif.downloadProgressError();
    EXPECT_EQ(f.host.cancelled, std::vector<std::string>{"remoteGIF"});
    EXPECT_EQ(f.host.failures, 2);
}

class MapBag : public PropertyBag {
public:
    std::map<std::string, Bytes> bytes;
    std::map<std::string, int32_t> ints;
    std::map<std::string, int> widths;
    std::map<std::string, bool> bools;
    std::optional<std::vector<uint8_t>> readBytes(std::string_view k) const override {
        auto it = bytes.find(std::string(k));
        return it == bytes.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<int32_t> readInt(std::string_view k) const override {
        auto it = ints.find(std::string(k));
        return it == ints.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<bool> readBool(std::string_view k) const override {
        auto it = bools.find(std::string(k));
        return it == bools.end() ? std::nullopt : std::optional(it->second);
    }
    void writeBytes(std::string_view k, std::span<const uint8_t> v) override {
        bytes[std::string(k)] = {v.begin(), v.end()};
    }
    void writeInt16(std::string_view k, int16_t v) override { ints[std::string(k)] = v, widths[std::string(k)] = 16; }
    void writeInt32(std::string_view k, int32_t v) override { ints[std::string(k)] = v, widths[std::string(k)] = 32; }
    void writeBool(std::string_view k, bool v) override { bools[std::string(k)] = v; }
};

TEST(AnimatedGif, StoredSettings) {
    // Defaults store only the picture and the loop count.
    {
        Fixture f;
        MapBag bag;
        f.gif.writeProperties(bag);
        EXPECT_EQ(bag.bytes.size(), 1u);
        EXPECT_EQ(bag.bytes.count("GIF"), 1u);
        EXPECT_EQ(bag.ints, (std::map<std::string, int32_t>{{"Loops", 0}}));
        EXPECT_TRUE(bag.bools.empty());
    }
    // Values survive a write and a read, at design time with a picture.
    {
        Fixture f;
        f.host.runTime = false;
        f.gif.setAnimatedGif(animation({5, 5}, 4));
        f.gif.setStretch(3);
        f.gif.setMinFrameDelay(120);
        f.gif.setDelayAnimation(2);
        f.gif.setMirrored(1);
        f.gif.setLoops(0);
        f.gif.setEnabled(false);
        f.gif.setMousePointer(99);
        f.gif.setMouseIcon(Bytes{0, 0, 1, 0, 7});
        MapBag bag;
        f.gif.writeProperties(bag);
        EXPECT_EQ(bag.bytes["MouseIcon"], (Bytes{0, 0, 1, 0, 7}));
        EXPECT_EQ(bag.widths["MousePointer"], 16);
        EXPECT_EQ(bag.widths["Delay"], 16);
        Fixture g;
        g.host.runTime = false;
        g.gif.readProperties(bag);
        EXPECT_EQ(g.gif.stretch(), 3);
        EXPECT_EQ(g.gif.minFrameDelay(), 120);
        EXPECT_EQ(g.gif.delayAnimation(), 2);
        EXPECT_EQ(g.gif.mirrored(), 1);
        EXPECT_EQ(g.gif.loops(), 0);  // forever stays forever, not the file's 4
        EXPECT_FALSE(g.gif.enabled());
        EXPECT_EQ(g.gif.mouseIcon(), (Bytes{0, 0, 1, 0, 7}));
        EXPECT_EQ(g.gif.mousePointer(), 99);
        EXPECT_EQ(g.gif.frameCount(), 2);
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
        f.gif.readProperties(bag);
        EXPECT_EQ(f.gif.stretch(), 1) << c.key << c.value;
        EXPECT_EQ(f.gif.minFrameDelay(), 50) << c.key << c.value;
        EXPECT_EQ(f.gif.delayAnimation(), 1) << c.key << c.value;
        EXPECT_EQ(f.gif.mirrored(), 0) << c.key << c.value;
    }
}

TEST(AnimatedGif, PropertyNotices) {
    Fixture f;
    f.gif.setStretch(1);  // unchanged: nothing
    f.gif.setStretch(9);  // out of range: nothing
    f.gif.setStretch(0);
    f.gif.setMinFrameDelay(50);
    f.gif.setMinFrameDelay(60);
    f.gif.setEnabled(true);
    f.gif.setDelayAnimation(3);
    f.gif.setLoops(2);
    f.gif.setMirrored(2);
    f.gif.setMouseIcon(Bytes{1});
    f.gif.setMousePointer(0);
    EXPECT_EQ(f.host.notices, (std::vector<std::string>{"Stretch", "Delay", "Enabled", "DelayAnimation", "Loops",
                                                        "Mirrored", "MouseIcon", "MousePointer"}));
}

TEST(AnimatedGif, RemovingTheMouseIconPutsBackTheDefaultPointer) {
    Fixture f;
    f.gif.setMousePointer(99);  // 99: the icon's own pointer
    f.gif.setMouseIcon(Bytes{1, 2});
    EXPECT_EQ(f.gif.mousePointer(), 99);
    f.gif.setMouseIcon({});
    EXPECT_TRUE(f.gif.mouseIcon().empty());
    EXPECT_EQ(f.gif.mousePointer(), 0);
}

TEST(AnimatedGif, MouseEventsPassButtonAndShiftAndTheContainerPositionRoundedDown) {
    Fixture f;
    f.host.unitsPerPixel = 15;  // on a form: twips
    f.gif.clicked();
    f.gif.mousePressed(1, 0, 2.5, 3);
    f.gif.mouseMoved(0, 3, 10.99, 0.01);
    f.gif.mouseReleased(2, 1, -1.5, 4);
    EXPECT_EQ(f.host.mouse, (std::vector<std::string>{"click", "down 1 0 37 45", "move 0 3 164 0", "up 2 1 -23 60"}));

    // Disabled, the control takes no mouse input at all.
    f.host.mouse.clear();
    f.gif.setEnabled(false);
    f.gif.clicked();
    f.gif.mousePressed(1, 0, 1, 1);
    f.gif.mouseMoved(1, 0, 1, 1);
    f.gif.mouseReleased(1, 0, 1, 1);
    EXPECT_TRUE(f.host.mouse.empty());
}

}  // namespace
}  // namespace mj::anigif
