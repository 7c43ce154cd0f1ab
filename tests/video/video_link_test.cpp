// video_link_test.cpp: the per-hand video cycle, the slot choice, the frames
// sent at full and reduced rate, and the routing of received frames.
#include <gtest/gtest.h>

#include <algorithm>

#include "video/video_link.h"
#include "video_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;
using Calls = std::vector<std::string>;

class VideoLink : public VideoFixture {};

TEST_F(VideoLink, EachOperationRunsOncePerHandAndTheLeaveRearmsThem) {
    c().loginVideoServer(c());
    c().loginVideoServer(c());
    EXPECT_EQ(calls(), (Calls{"configure 127.0.0.1 8888 3", "login zhang"}));
    clearCalls();
    c().requestTableVideo(c());
    c().requestTableVideo(c());
    EXPECT_EQ(calls(), (Calls{"connect 1 li", "connect 2 wang", "connect 3 zhao"}));

    clearCalls();
    vs().videoThrottle = {0, 5, 6, 7};
    vs().videoShown = {false, true, true, true};
    vs().lastFrame[2] = frame(0x112233);
    c().leaveVideo(c());
    c().leaveVideo(c());
    EXPECT_EQ(calls(), (Calls{"disconnect 1", "disconnect 2", "disconnect 3", "logout"}));
    EXPECT_EQ(vs().videoThrottle, (std::array<int, 4>{}));
    EXPECT_EQ(vs().videoShown, (std::array<bool, 4>{}));
    EXPECT_TRUE(vs().lastFrame[2].empty());

    // The next hand logs in and requests again.
    clearCalls();
    c().loginVideoServer(c());
    c().requestTableVideo(c());
    EXPECT_EQ(calls(),
              (Calls{"configure 127.0.0.1 8888 3", "login zhang", "connect 1 li", "connect 2 wang", "connect 3 zhao"}));
}

// The relay going away in the middle of a hand: the login is tried again
// after a pause, again while it keeps failing, and no more once the hand
// has left the video.
TEST_F(VideoLink, ALoginLostMidHandIsTriedAgainUntilTheHandEnds) {
    c().loginVideoServer(c());
    c().requestTableVideo(c());
    sock().loggedIn();
    pump();
    clearCalls();
    sock().linkLost();
    pump(video::ReloginDelay - Millis(10));
    EXPECT_TRUE(calls().empty());
    pump(Millis(10));
    EXPECT_EQ(calls(), Calls{"login zhang"});
    // The relay is still away: the login fails the same way.
    clearCalls();
    sock().linkLost();
    pump(video::ReloginDelay);
    EXPECT_EQ(calls(), Calls{"login zhang"});
    // Back: nothing more is tried.
    clearCalls();
    sock().loggedIn();
    pump(3 * video::ReloginDelay);
    EXPECT_TRUE(calls().empty());
    EXPECT_TRUE(sim.process.logged("video: own login state 0"));

    // Lost after the hand's leave: the next hand logs in.
    c().leaveVideo(c());
    clearCalls();
    sock().linkLost();
    pump(3 * video::ReloginDelay);
    EXPECT_TRUE(calls().empty());
}

TEST_F(VideoLink, VideoSwitchedOffMakesNoComponentCall) {
    vs().videoEnabled = false;
    bool shownOwn = false;
    c().showOwnVideo = [&](link::Client&, bool, bool) { shownOwn = true; };
    c().loginVideoServer(c());
    c().requestTableVideo(c());
    EXPECT_TRUE(calls().empty());
    EXPECT_TRUE(shownOwn) << "the own picture is still asked for";
}

TEST_F(VideoLink, SlotsAreChosenByNameAndNeverTakenFromAnotherPlayer) {
    struct Slot {
        std::string name;
        int state;
    };
    struct Case {
        const char* what;
        std::array<Slot, 3> slots;
        std::array<std::string, 3> names;  // views 1..3
        Calls expected;
    };
    const std::vector<Case> cases = {
        {"all free", {}, {"li", "wang", "zhao"}, {"connect 1 li", "connect 2 wang", "connect 3 zhao"}},
        {"the first free slot wins over the one that holds the player",
         {Slot{"", 0}, Slot{"x", 12}, Slot{"li", 5}},
         {"li", "", ""},
         {"connect 1 li"}},
        {"a linked slot is left alone",
         {Slot{"li", 12}, Slot{"", 0}, Slot{"", 0}},
         {"li", "wang", "zhao"},
         {"connect 2 wang", "connect 3 zhao"}},
        {"slots of other players are not taken",
         {Slot{"x", 5}, Slot{"y", 12}, Slot{"z", 3}},
         {"li", "wang", "zhao"},
         {}},
        {"an empty seat asks for nothing", {}, {"li", "", "zhao"}, {"connect 1 li", "connect 2 zhao"}},
        {"a slot still linking the same player is asked again",
         {Slot{"wang", 3}, Slot{"", 0}, Slot{"", 0}},
         {"li", "wang", ""},
         {"connect 2 li", "connect 1 wang"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        for (int s = 1; s <= 3; ++s) sock().setSlot(s, k.slots[s - 1].name, k.slots[s - 1].state);
        for (int v = 1; v <= 3; ++v) c().table.custom[static_cast<std::size_t>(v)].name = k.names[v - 1];
        vs().videoBusy[video::GuardRequest] = false;
        clearCalls();
        c().requestTableVideo(c());
        EXPECT_EQ(calls(), k.expected);
    }
}

TEST_F(VideoLink, ASocketReportingMoreSlotsIsUsedOnlyForThree) {
    sock().reportedUserCount = 6;
    linkAll(12);
    c().requestTableVideo(c());
    for (int i = 0; i < 30; ++i) sim.components.camera->capture(frame(0x010203));
    pump();
    EXPECT_EQ(sock().sentFrames.count(4), 0u);
    EXPECT_EQ(sock().sentFrames[1].size(), 4u);
}

TEST_F(VideoLink, OwnFramesGoToEachSlotByItsState) {
    sock().setSlot(1, "li", 12);
    sock().setSlot(2, "wang", 15);
    sock().setSlot(3, "zhao", 5);
    for (int i = 1; i <= 70; ++i) cam().capture(frame(static_cast<std::uint32_t>(i)));
    pump();
    auto numbers = [&](int slot) {
        std::vector<int> out;
        for (const auto& f : sock().sentFrames[slot]) out.push_back(video::decodeBmp(f)->pixels[0] & 0xFF);
        return out;
    };
    EXPECT_EQ(numbers(1), (std::vector<int>{1, 2, 3, 24, 45, 66})) << "three, then one in 21";
    EXPECT_EQ(numbers(2).size(), 70u);
    EXPECT_TRUE(numbers(3).empty());
    EXPECT_EQ(video::decodeBmp(vs().lastFrame[0])->pixels[0] & 0xFF, 70u);
}

TEST_F(VideoLink, ANewLinkGetsFormatModeAndTheLastOwnFrame) {
    linkAll(1);
    sock().peerState(2, 14);
    pump();
    EXPECT_EQ(calls(), (Calls{"format 2 1", "mode 2 0"})) << "no own frame yet: none is sent";
    EXPECT_TRUE(sock().sentFrames[2].empty());

    clearCalls();
    vs().lastFrame[0] = frame(0xABCDEF);
    sock().peerState(3, 15);
    sock().peerState(1, 12);
    sock().peerState(9, 15);
    pump();
    EXPECT_EQ(calls(), (Calls{"format 3 1", "mode 3 0"}));
    ASSERT_EQ(sock().sentFrames[3].size(), 1u);
    EXPECT_EQ(sock().sentFrames[3][0], vs().lastFrame[0]);
    EXPECT_TRUE(sim.process.logged("slot 9")) << "a slot out of range is dropped at the edge";
}

TEST_F(VideoLink, ReceivedFramesReachTheViewOfTheirSender) {
    loadVideoPlugin();
    linkAll(12);
    sock().setSlot(3, "stranger", 12);
    sock().peerFrame(3, frame(0x777777));
    pump();
    EXPECT_TRUE(vs().lastFrame[3].empty()) << "a frame from nobody at the table is dropped";
    EXPECT_FALSE(ctl("vshow", 3).visible());

    // The first frame brings the view up; its timer paints it 30 ms later.
    sock().peerFrame(2, frame(0x102030));
    pump();
    EXPECT_TRUE(ctl("vshow", 2).visible());
    EXPECT_TRUE(ctl("ImgKuang", 2).visible());
    EXPECT_TRUE(ctl("PicLocal", 2).visible());
    EXPECT_TRUE(vs().videoShown[2]);
    EXPECT_TRUE(sim.process.logged("video: view 2 shown"));
    EXPECT_EQ(shownColour(ctl("vshow", 2)), 0u);
    EXPECT_EQ(videoPlugin->videoStates, (std::vector<VideoPlugin::State>{{2, false, 2}}));
    pump(Millis(30));
    EXPECT_EQ(shownColour(ctl("vshow", 2)), 0x102030u);

    // Later frames are painted at once.
    sock().peerFrame(2, frame(0x405060));
    pump();
    EXPECT_EQ(shownColour(ctl("vshow", 2)), 0x405060u);
}

TEST_F(VideoLink, EveryViewRepaintsItsFirstFrame) {
    linkAll(12);
    for (int s = 1; s <= 3; ++s) sock().peerFrame(s, frame(0x100000u * static_cast<std::uint32_t>(s)));
    pump(Millis(30));
    for (int v = 1; v <= 3; ++v) EXPECT_EQ(shownColour(ctl("vshow", v)), 0x100000u * static_cast<std::uint32_t>(v));
}

TEST_F(VideoLink, AClosedViewShowsNothingButViewsTwoAndThreeKeepTheirLastFrame) {
    linkAll(12);
    vs().videoClosed = {false, true, true, false};
    vs().lastFrame[1] = frame(0x111111);
    sock().peerFrame(1, frame(0x222222));
    sock().peerFrame(2, frame(0x333333));
    pump(Millis(50));
    EXPECT_FALSE(ctl("vshow", 1).visible());
    EXPECT_FALSE(ctl("vshow", 2).visible());
    EXPECT_EQ(vs().lastFrame[1], frame(0x111111)) << "view 1 keeps the frame from before the closing";
    EXPECT_EQ(vs().lastFrame[2], frame(0x333333));
}

TEST_F(VideoLink, FramesThatAreNoPictureAreDroppedWithALogLine) {
    linkAll(12);
    sock().peerFrame(1, frame(0x445566));
    pump(Millis(30));
    const std::vector<video::Frame> bad = {{},
                                           {'B', 'M'},
                                           video::Frame(60, 0),
                                           [] {
                                               auto f = frame(0x1, 4, 3);
                                               f[28] = 8;  // eight bits per pixel is not ours
                                               return f;
                                           }(),
                                           [] {
                                               auto f = frame(0x1, 4, 3);
                                               f.resize(f.size() - 5);  // cut short
                                               return f;
                                           }()};
    for (const auto& f : bad) sock().peerFrame(1, f);
    pump();
    EXPECT_EQ(shownColour(ctl("vshow", 1)), 0x445566u);
    EXPECT_TRUE(sim.process.logged("is not a picture"));
}

// A frame that is no picture is never kept: a photo taken after it is the
// last picture. The log gets a line when the frames turn bad and one when
// they turn good again, with the count, not a line per frame.
TEST_F(VideoLink, FramesThatAreNoPictureAreNeitherKeptNorPhotographedAndLoggedPerChange) {
    linkAll(12);
    const video::Frame good = frame(0x445566);
    const video::Frame junk(8, 0x42);
    sock().peerFrame(1, good);
    for (int i = 0; i < 50; ++i) sock().peerFrame(1, junk);
    pump(Millis(30));
    EXPECT_EQ(vs().lastFrame[1], good);
    ctl("ImCmd", 6).onClick();  // view 1's photo
    std::string saved;
    for (const auto& [path, bytes] : sim.files.files) {
        if (path.find("\\photo\\") != std::string::npos) saved = bytes;
    }
    EXPECT_EQ(saved, std::string(good.begin(), good.end()));
    const auto lines = [&](std::string_view text) {
        return std::count_if(sim.process.logLines.begin(), sim.process.logLines.end(),
                             [&](const std::string& l) { return l.find(text) != std::string::npos; });
    };
    EXPECT_EQ(lines("is not a picture"), 1);
    sock().peerFrame(1, frame(0x778899));
    sock().peerFrame(1, frame(0x778899));
    pump();
    EXPECT_EQ(lines("view 1 sends pictures again; 50 frames dropped"), 1);
    EXPECT_EQ(shownColour(ctl("vshow", 1)), 0x778899u);
    sock().peerFrame(1, junk);
    pump();
    EXPECT_EQ(lines("is not a picture"), 2);

    // The own camera's frames alike: kept and sent only when they are pictures.
    const video::Frame own = frame(0x0A0B0C);
    cam().capture(own);
    cam().capture(junk);
    pump();
    EXPECT_EQ(vs().lastFrame[0], own);
    for (int slot = 1; slot <= 3; ++slot) {
        for (const auto& sent : sock().sentFrames[slot]) EXPECT_NE(sent, junk) << slot;
    }
}

TEST_F(VideoLink, LeavingTheTableStopsTheCameraAndForgetsEverySeatsVideo) {
    vs().ownVideoOn = true;
    cam().capturing = true;
    vs().videoThrottle = {0, 1, 2, 3};
    vs().videoClosed = {false, true, false, true};
    vs().videoShown = {false, true, true, true};
    for (int v = 1; v <= 3; ++v) vs().lastFrame[static_cast<std::size_t>(v)] = frame(0x10);
    ctl("ImCmd", 5).onClick();  // frm_Remote1 open
    ASSERT_TRUE(vs().panels[1].form->visible());
    clearCalls();
    link::leaveTable(c());
    EXPECT_FALSE(cam().capturing);
    EXPECT_EQ(calls(), (Calls{"disconnect 1", "disconnect 2", "disconnect 3", "logout"}));
    EXPECT_EQ(vs().videoThrottle, (std::array<int, 4>{}));
    EXPECT_EQ(vs().videoClosed, (std::array<bool, 4>{}));
    EXPECT_EQ(vs().videoShown, (std::array<bool, 4>{}));
    for (int v = 1; v <= 3; ++v) EXPECT_TRUE(vs().lastFrame[static_cast<std::size_t>(v)].empty());
    // The panel's paint, still due, made it again during the leave's wait: hidden.
    EXPECT_FALSE(vs().panels[1].form->visible());
    EXPECT_FALSE(vs().ownVideoOn);
    for (bool b : vs().videoBusy) EXPECT_FALSE(b);
}

TEST_F(VideoLink, ClosingTheWindowLogsOutFreesTheCameraAndUnloadsThePanels) {
    c().startOwnCamera(c());
    ctl("ImCmd", 1).onClick();
    ASSERT_TRUE(vs().panels[0].form->visible());
    clearCalls();
    sim.components.cameraCalls.clear();
    try {
        client->formUnload();
    } catch (const platform::ProcessEnded&) {}
    EXPECT_EQ(calls(), Calls{"logout"});
    EXPECT_EQ(sim.components.cameraCalls, (Calls{"stopCapture", "freeCapture"}));
    EXPECT_FALSE(vs().panels[0].form->visible());
    EXPECT_FALSE(vs().panels[0].loaded);
}

}  // namespace
}  // namespace mj::test
