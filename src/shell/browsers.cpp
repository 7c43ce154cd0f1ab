// browsers.cpp: the banner and the seat-change screen.
#include "shell/browsers.h"

#include "link/client.h"

namespace mj::shell {
namespace {

constexpr platform::Millis ShuffleInterval{300};

ui::Control* find(link::Client& c, std::string_view name) { return c.mainForm.find(name); }

}  // namespace

void openSeatChange(link::Client& c) {
    if (ui::Control* bar = find(c, "ImgShuffle")) {
        bar->setVisible(true);
        bar->bringToFront();
    }
    ui::Control* caption = find(c, "LblShuffle");
    if (caption) {
        caption->setVisible(true);
        caption->bringToFront();
    }
    if (c.shell.timerShuffle) {
        c.shell.timerShuffle->setInterval(ShuffleInterval);
        c.shell.timerShuffle->setEnabled(true);
    }
    auto& d = c.dispatch;
    if (!d.seatChangePage) d.seatChangePage = c.p.components.createBrowser();
    ui::Control* pane = find(c, "WebBrowser2");
    if (d.seatChangePage) {
        d.seatChangePage->setPane(pane);
        d.seatChangePage->navigate(d.adPageUrl);
    }
    if (pane) {
        pane->bringToFront();
        pane->setVisible(true);
    }
    c.shell.shufflePos = 0;
    if (caption) caption->setCaption(std::string(ShuffleText[0]));
    d.seating.shuffling = true;
}

void shuffleTick(link::Client& c) {
    int& pos = c.shell.shufflePos;
    if (pos < 0 || pos > 3) pos = 0;
    if (ui::Control* caption = find(c, "LblShuffle"))
        caption->setCaption(std::string(ShuffleText[static_cast<std::size_t>(pos)]));
    if (++pos > 3) pos = 0;
}

void closeSeatChange(link::Client& c) {
    for (const char* name : {"LblShuffle", "ImgShuffle", "WebBrowser2"}) {
        if (ui::Control* x = find(c, name)) x->setVisible(false);
    }
    if (c.shell.timerShuffle) c.shell.timerShuffle->setEnabled(false);
    c.dispatch.seating.shuffleWanted = false;
    c.dispatch.seating.shuffling = false;
}

void bannerDocumentComplete(link::Client& c) {
    if (c.shell.bannerFailed) return;
    ui::Control* pane = find(c, "WebBrowser1");
    ui::Control* bird = find(c, "Bird");
    if (!pane || !bird) return;
    pane->move(bird->left() + 2, bird->top() + 2);
    pane->bringToFront();
    pane->setVisible(true);
}

void bannerNavigateError(link::Client& c) {
    if (ui::Control* pane = find(c, "WebBrowser1")) pane->setVisible(false);
    c.shell.bannerFailed = true;
}

void seatChangeNavigateError(link::Client& c) {
    if (ui::Control* pane = find(c, "WebBrowser2")) pane->setVisible(false);
}

void installBrowsers(link::Client& c) {
    c.shell.timerShuffle = c.p.clock.createTimer(platform::Millis(1000), [&c] { shuffleTick(c); });
    c.shell.shufflePos = 0;
    auto& d = c.dispatch;
    if (!d.banner) d.banner = c.p.components.createBrowser();
    if (d.banner) {
        d.banner->onDocumentComplete = [&c](const std::string&) { bannerDocumentComplete(c); };
        d.banner->onNavigateError = [&c](const std::string&, int) { bannerNavigateError(c); };
    }
    if (!d.seatChangePage) d.seatChangePage = c.p.components.createBrowser();
    if (d.seatChangePage)
        d.seatChangePage->onNavigateError = [&c](const std::string&, int) { seatChangeNavigateError(c); };
    c.closeSeatChange = [](link::Client& client) { closeSeatChange(client); };
    c.openSeatChange = [](link::Client& client) { openSeatChange(client); };
}

}  // namespace mj::shell
