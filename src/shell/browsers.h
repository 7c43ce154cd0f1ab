// browsers.h: the banner pane `WebBrowser1` over the mascot and the
// seat-change screen: the golden bar `ImgShuffle`, its animated caption
// `LblShuffle` and the pane `WebBrowser2` under it.
#pragma once
#include <array>
#include <string_view>

namespace mj::link {
class Client;
}

namespace mj::shell {

inline constexpr std::array<std::string_view, 4> ShuffleText = {"正在随机换座中..", "正在随机换座中...",
                                                                "正在随机换座中....", "正在随机换座中....."};

// Opens the seat-change screen: bar, caption, page, animation. The seats are
// left alone: the callers that give them up to the server clear them first.
void openSeatChange(link::Client& c);
// One step of the caption animation.
void shuffleTick(link::Client& c);
// Takes the seat-change screen down (leaving the table).
void closeSeatChange(link::Client& c);

// The panes' events: the banner is placed over the mascot when its page is
// complete, unless a page failed before; a failed page hides its pane.
void bannerDocumentComplete(link::Client& c);
void bannerNavigateError(link::Client& c);
void seatChangeNavigateError(link::Client& c);

// Connects the panes' events and makes the animation's timer.
void installBrowsers(link::Client& c);

}  // namespace mj::shell
