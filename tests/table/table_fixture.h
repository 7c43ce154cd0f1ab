// table_fixture.h: a client on the in-memory platform whose resources hold a
// tiny picture under every number the table uses, so each control's picture
// tells which resource it came from.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/client.h"
#include "platform/sim/sim_platform.h"
#include "table/tiles.h"

namespace mj::test {

// A 1 x 1 GIF.
inline std::string tinyGif() {
    const unsigned char bytes[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
                                   0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00,
                                   0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// The tiny picture under every resource number the table uses.
inline void addTablePictures(platform::sim::SimPlatform& sim) {
    for (int id = 101; id <= 1049; ++id) {
        if (id == 865) continue;  // the tool-button table names one that does not exist
        sim.resources.add(id, "GIF", tinyGif());
    }
}

// The main window's control, which the test expects to exist.
inline ui::Control& control(link::Client& client, std::string_view name, int index = -1) {
    ui::Control* x = client.mainForm.find(name, index);
    if (!x) throw std::runtime_error("no control " + std::string(name));
    return *x;
}

// The resource number the control shows, 0 for none.
inline int shownResource(const ui::Control& x) { return x.picture() ? x.picture()->resourceId : 0; }

// The files played once on the main buffer since the device's log had `from`
// lines, by file name.
inline std::vector<std::string> soundsPlayedSince(const platform::sim::SimSoundDevice& sound, std::size_t from) {
    std::vector<std::string> names;
    const auto& log = sound.log;
    for (std::size_t i = from; i + 1 < log.size(); ++i) {
        if (log[i].rfind("create main ", 0) == 0 && log[i + 1] == "play main once")
            names.push_back(log[i].substr(log[i].find_last_of('\\') + 1));
    }
    return names;
}

class TableFixture : public ::testing::Test {
protected:
    platform::sim::SimPlatform sim;
    std::optional<link::Client> client;
    static constexpr platform::WindowHandle HallWindow = 0x1234;

    static std::string tinyGif() { return test::tinyGif(); }

    void SetUp() override {
        addTablePictures(sim);
        sim.hall.windows["曲维山庄"] = HallWindow;
    }

    // Builds the client and runs its start-up on a screen of w x h pixels.
    void startOn(int w, int h) {
        sim.process.screen = {w, h};
        client.emplace(sim.platform);
        sim.process.commandLineText = "zhang$pw$127.0.0.1$9000$房间$0$$0$$$0$$$0$0$";
        try {
            client->formLoad();
        } catch (const platform::ProcessEnded& e) {
            FAIL() << "start-up ended the process with " << e.exitCode;
        }
    }

    link::Client& c() { return *client; }
    ui::Control& ctl(std::string_view name, int index = -1) { return control(*client, name, index); }
    ui::Control& tile(int i) { return ctl("MJ_Image", i); }
    // The resource number the control shows, 0 for none.
    int shownId(std::string_view name, int index = -1) { return shownResource(ctl(name, index)); }
    int zOf(const ui::Control& x) { return x.parent()->zIndexOf(x); }
};

}  // namespace mj::test
