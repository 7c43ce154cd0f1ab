// shell_fixture.h: the chat fixture with a tiny picture under every resource
// number, so each button tells which picture it shows, and helpers for the
// shell's windows.
#pragma once
#include "shell/chat_fixture.h"
#include "shell/shell_windows.h"
#include "table/table_fixture.h"

namespace mj::test {

class ShellFixture : public ChatFixture {
protected:
    void SetUp() override {
        addTablePictures(sim);
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
