// chat_fixture.h: a logged-in client at a full table, with helpers to type
// into the chat box and to read the chat messages it sent.
#pragma once
#include <string>
#include <vector>

#include "dispatch/dispatch_fixture.h"
#include "link/general.h"
#include "shell/chat_input.h"
#include "shell/chat_windows.h"

namespace mj::test {

class ChatFixture : public DispatchFixture {
protected:
    ui::TextBox* box = nullptr;

    void SetUp() override {
        DispatchFixture::SetUp();
        client->link.loggedIn = true;
        const char* names[4] = {"小张", "阿明", "Bob", "赌博王"};
        for (std::size_t v = 0; v < 4; ++v) {
            client->dispatch.player[v].nickName = names[v];
            client->table.custom[v].seat = static_cast<std::uint8_t>(1u << v);
        }
        box = shell::chatBox(*client);
        ASSERT_NE(box, nullptr);
    }

    // Types text at the end of the box, as the edit control would.
    void type(const std::string& text) {
        box->setText(box->text() + text);
        box->setSelStart(static_cast<int>(link::utf8Chars(box->text()).size()));
    }
    void press(int key) {
        ASSERT_TRUE(box->onKeyPress);
        box->onKeyPress(key);
    }
    // The Backspace as the edit control runs it: the key event, then the
    // character before the caret goes.
    void backspace() {
        press(8);
        const int at = box->selStart();
        if (at == 0) return;
        auto chars = link::utf8Chars(box->text());
        chars.erase(chars.begin() + (at - 1));
        std::string t;
        for (auto& c : chars) t += c;
        box->setText(t);
        box->setSelStart(at - 1);
    }

    struct Sent {
        std::vector<std::uint8_t> bytes;
        std::string text;  // the line, back in UTF-8
        int value(int k) const { return bytes[8 + 2 * k] << 8 | bytes[9 + 2 * k]; }
    };
    // The chat messages sent since the last call, after the tick sent them.
    std::vector<Sent> sentChats() {
        EXPECT_FALSE(run(platform::Millis(100)));
        std::vector<Sent> out;
        for (const auto& m : sim.socket.sentMessages()) {
            if (m[wire::Cmd] != CmdChat) continue;
            std::string gbk;
            for (std::size_t i = wire::Body; i < wire::BodyEnd && m[i] != 0; ++i) gbk += static_cast<char>(m[i]);
            out.push_back({m, sim.codec.fromGbk(gbk)});
        }
        sim.socket.clearSent();
        return out;
    }
    [[nodiscard]] const std::vector<std::string>& history() { return shell::talkHistory(*client).items(); }
};

}  // namespace mj::test
