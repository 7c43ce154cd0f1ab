// chat_install.cpp: the chat's place in the running client.
#include "shell/chat_install.h"

#include "link/client.h"
#include "shell/chat_filter.h"
#include "shell/chat_input.h"
#include "shell/chat_windows.h"

namespace mj::shell {

void showSpeakBubble(link::Client& c, int view, const std::string& phrase) {
    if (view < 0 || view > 3) return;
    auto& box = chatWindows(c).bubbles[static_cast<std::size_t>(view)];
    if (!box) {
        box = std::make_unique<SpeakBox>(c.p.clock, c.mainForm, c.link.scaleX, c.link.scaleY, view);
        if (c.shell.attachForm) c.shell.attachForm(box->form);
    }
    box->showMe(view, phrase, BubblePeak, BubbleFadeIn, BubbleFadeOut, BubbleHold);
    box->form.setVisible(true);
    c.log("speech bubble at view " + std::to_string(view) + ": " + phrase);
}

void bubblesOnResize(link::Client& c) {
    const bool minimized = c.mainForm.windowState() == ui::Form::WindowState::Minimized;
    for (auto& box : chatWindows(c).bubbles) {
        if (!box) continue;
        if (minimized)
            box->form.setVisible(false);
        else if (c.link.juNum > 0)
            box->reset();
    }
}

void closeBubbles(link::Client& c) {
    // Hidden with their fades stopped; the windows themselves end with the
    // process, so the host never paints a destroyed form.
    for (auto& box : chatWindows(c).bubbles) {
        if (!box) continue;
        box->tmrFadeIn->setEnabled(false);
        box->form.setVisible(false);
    }
}

void installChat(link::Client& c) {
    c.filterChatText = [](std::string_view text) { return filterChatText(text); };
    c.showSpeakBubble = [&c](int view, const std::string& phrase) {
        c.ignoringErrors("speech bubble", [&] { showSpeakBubble(c, view, phrase); });
    };
    c.loadChatWindows = [](link::Client& client) {
        ensureTalkLoaded(client);
        ensureHuifuLoaded(client);
    };
    installChatInput(c);
    installChatWindows(c);
    // The table mates' faces are loaded by the seat layout.
    c.initSeatLayout = [&c, layout = c.initSeatLayout](link::Client& client) {
        if (layout) layout(client);
        installChatInput(c);
    };
    c.mainForm.onResize = [&c, resize = c.mainForm.onResize] {
        c.ignoringErrors("bubbles on resize", [&] { bubblesOnResize(c); });
        if (resize) resize();
    };
    c.mainForm.onUnload = [&c, unload = c.mainForm.onUnload] {
        c.ignoringErrors("bubbles on unload", [&] { closeBubbles(c); });
        if (unload) unload();
    };
}

}  // namespace mj::shell
