// video_fixture.h: a logged-in client with three table mates named and the
// in-memory video socket and camera, with helpers for frames and controls.
#pragma once
#include <string>
#include <vector>

#include "dispatch/dispatch_fixture.h"
#include "table/table_fixture.h"
#include "video/frame_bitmap.h"
#include "video/video_state.h"

namespace mj::test {

// A plug-in that records what the video tells it, view included.
class VideoPlugin : public RecordingPlugin {
public:
    void recState(int kind, bool flag, int view) override { videoStates.push_back({kind, flag, view}); }
    bool showQvVideo(int view, bool show, int) override {
        (show ? popups : closed).push_back(view);
        return opens;
    }
    struct State {
        int kind;
        bool hidden;
        int view;
        friend bool operator==(const State&, const State&) = default;
    };
    std::vector<State> videoStates;
    std::vector<int> popups;
    std::vector<int> closed;
    bool opens = true;
};

class VideoFixture : public DispatchFixture {
protected:
    VideoPlugin* videoPlugin = nullptr;

    void SetUp() override {
        addTablePictures(sim);
        DispatchFixture::SetUp();
        auto& t = client->table;
        t.custom[1].name = "li";
        t.custom[2].name = "wang";
        t.custom[3].name = "zhao";
        ASSERT_NE(sim.components.videoSocket, nullptr);
        ASSERT_NE(sim.components.camera, nullptr);
        ASSERT_TRUE(client->video.videoEnabled);
        sim.components.videoCalls.clear();
    }

    link::Client& c() { return *client; }
    platform::sim::SimVideoSocket& sock() { return *sim.components.videoSocket; }
    platform::sim::SimCamera& cam() { return *sim.components.camera; }
    video::VideoState& vs() { return client->video; }
    ui::Control& ctl(std::string_view name, int index = -1) {
        ui::Control* x = client->mainForm.find(name, index);
        EXPECT_NE(x, nullptr) << name << "(" << index << ")";
        return *x;
    }

    void loadVideoPlugin() {
        auto p = std::make_unique<VideoPlugin>();
        videoPlugin = p.get();
        client->props.propDll = std::move(p);
        client->props.propGameDllState = 1;
    }

    // A small frame of one colour.
    static video::Frame frame(std::uint32_t rgb, int w = 4, int h = 3) {
        std::vector<std::uint32_t> px(static_cast<std::size_t>(w * h), rgb);
        return video::encodeBmp(w, h, px);
    }
    // The colour a viewer shows at its top-left pixel, 0 when it shows nothing.
    static std::uint32_t shownColour(const ui::Control& viewer) {
        const auto& p = viewer.picture();
        return p && !p->pixels.empty() ? p->pixels[0] & 0xFFFFFF : 0;
    }
    // Runs the posted component events and the timers due in that time.
    void pump(platform::Millis d = platform::Millis(0)) { ASSERT_FALSE(run(d)); }
    // All three table mates linked at that state.
    void linkAll(int state) {
        for (int s = 1; s <= 3; ++s) sock().setSlot(s, c().table.custom[static_cast<std::size_t>(s)].name, state);
    }
    void clearCalls() { sim.components.videoCalls.clear(); }
    const std::vector<std::string>& calls() { return sim.components.videoCalls; }
};

}  // namespace mj::test
