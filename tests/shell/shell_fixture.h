// shell_fixture.h: the chat fixture with a tiny picture under every resource
// number, so each button tells which picture it shows, and helpers for the
// shell's windows.
#pragma once
#include <fstream>
#include <sstream>

#include "shell/chat_fixture.h"
#include "shell/shell_windows.h"
#include "table/table_fixture.h"

namespace mj::test {

class ShellFixture : public ChatFixture {
protected:
    void SetUp() override {
        addTablePictures(sim);
        // The real skin, so the frame's pieces can be cut from it.
        std::ifstream skin(std::string(MJ_ART_DIR) + "/1025.gif", std::ios::binary);
        std::stringstream bytes;
        bytes << skin.rdbuf();
        sim.resources.add(1025, "GIF", bytes.str());
        ChatFixture::SetUp();
    }
    ui::Control& button(int i) { return control(*client, "AnNiu", i); }
    int buttonPicture(int i) { return shownResource(button(i)); }
    shell::ShellWindows& windows() { return shell::shellWindows(*client); }
    // The ready messages sent since the last call, after the tick sent them.
    int sentOf(int cmd) {
        EXPECT_FALSE(run(platform::Millis(100)));
        int n = 0;
        for (const auto& m : sim.socket.sentMessages()) n += m[wire::Cmd] == cmd;
        sim.socket.clearSent();
        return n;
    }
    bool minimized() { return client->mainForm.windowState() == ui::Form::WindowState::Minimized; }
};

}  // namespace mj::test
