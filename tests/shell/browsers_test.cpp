// browsers_test.cpp: the banner pane's events and the seat-change screen's
// pane, opening and closing.
#include <gtest/gtest.h>

#include "shell/browsers.h"
#include "shell/shell_fixture.h"

namespace mj::test {
namespace {

class BrowsersTest : public ShellFixture {
protected:
    ui::Control& banner() { return control(*client, "WebBrowser1"); }
    void loginWith(const std::string& url) {
        WireMessage reply = message(18, OwnSeat);
        setValue(reply, 3, 1);
        setText(reply, 16, url);
        ASSERT_FALSE(receive(reply));
    }
};

TEST_F(BrowsersTest, ACompletedBannerSitsOverTheMascotUntilAPageFails) {
    loginWith("http://example.test/ad");
    EXPECT_TRUE(banner().visible());
    EXPECT_EQ(client->dispatch.adPageUrl, "http://example.test/ad.gamead");
    banner().setVisible(false);
    client->dispatch.banner->onDocumentComplete("http://example.test/ad");
    const ui::Control& bird = control(*client, "Bird");
    EXPECT_TRUE(banner().visible());
    EXPECT_EQ(banner().left(), bird.left() + 2);
    EXPECT_EQ(banner().top(), bird.top() + 2);

    client->dispatch.banner->onNavigateError("http://example.test/ad", -1);
    EXPECT_FALSE(banner().visible());
    EXPECT_TRUE(client->shell.bannerFailed);
    client->dispatch.banner->onDocumentComplete("http://example.test/ad");
    EXPECT_FALSE(banner().visible());
}

TEST_F(BrowsersTest, OnlyWebAddressesAreNavigated) {
    loginWith("file:///c:/secret");
    EXPECT_FALSE(banner().visible());
    EXPECT_EQ(client->dispatch.adPageUrl, "");
}

TEST_F(BrowsersTest, AFailedSeatChangePageHidesItsPaneUntilTheNextOpening) {
    shell::openSeatChange(*client);
    auto& pane = control(*client, "WebBrowser2");
    EXPECT_TRUE(pane.visible());
    client->dispatch.seatChangePage->onNavigateError("x", -1);
    EXPECT_FALSE(pane.visible());
    shell::openSeatChange(*client);
    EXPECT_TRUE(pane.visible());
}

// A browser that notes which control each page was asked for over.
class PaneBrowser : public platform::Browser {
public:
    explicit PaneBrowser(std::vector<std::string>& log) : log_(log) {}
    void setPane(ui::Control* pane) override { pane_ = pane; }
    void navigate(const std::string& url) override { log_.push_back((pane_ ? pane_->name() : "none") + " " + url); }

private:
    std::vector<std::string>& log_;
    ui::Control* pane_ = nullptr;
};

TEST_F(BrowsersTest, EachPageIsAskedForOverItsOwnPane) {
    std::vector<std::string> pages;
    client->dispatch.banner = std::make_unique<PaneBrowser>(pages);
    client->dispatch.seatChangePage = std::make_unique<PaneBrowser>(pages);
    loginWith("http://example.test/ad");
    shell::openSeatChange(*client);
    EXPECT_EQ(pages, (std::vector<std::string>{"WebBrowser1 http://example.test/ad",
                                               "WebBrowser2 http://example.test/ad.gamead"}));
}

TEST_F(BrowsersTest, LeavingTakesTheSeatChangeScreenDown) {
    client->dispatch.seating.shuffleWanted = true;
    shell::openSeatChange(*client);
    link::leaveTable(*client);
    EXPECT_FALSE(client->shell.timerShuffle->enabled());
    EXPECT_FALSE(client->dispatch.seating.shuffling);
    EXPECT_FALSE(client->dispatch.seating.shuffleWanted);
    for (const char* name : {"LblShuffle", "ImgShuffle", "WebBrowser2"}) EXPECT_FALSE(control(*client, name).visible());
}

}  // namespace
}  // namespace mj::test
