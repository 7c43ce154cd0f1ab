// toolbar.h: the nine picture buttons `AnNiu(0..8)` under the table: their
// hover pictures and tooltips, and what a click does.
#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace mj::link {
class Client;
}

namespace mj::shell {

inline constexpr std::array<std::string_view, 9> ToolbarTips = {
    "发送信息，快捷键为回车键",
    "点击打开聊天窗口",
    "点击开始新一局游戏",
    "游戏的基本设置",
    "最小化窗口，快捷键为F1",
    "可以查看当前牌局详细结果",
    "可以查看本次游戏的所有牌局详细结果",
    "点击这里了解游戏规则",
    "退出游戏",
};
inline constexpr std::string_view RulesPath = "/gameinfo/tovek/index.php";

// Button 2 shows its start pair until the first hand or the first press.
[[nodiscard]] bool startPairShown(const link::Client& c);
// The `AnNiuPic` element of button i's normal and hover picture.
[[nodiscard]] std::size_t normalPicture(const link::Client& c, int i);
[[nodiscard]] std::size_t hoverPicture(const link::Client& c, int i);

// The pointer over button i: its hover picture (once) and its tooltip.
void toolbarMouseMove(link::Client& c, int i);
// The pointer over the table: every hovered button back to normal.
void restoreToolbarPictures(link::Client& c);
// A click on button i (also the window frame's close 8 and minimise 4).
void toolbarClick(link::Client& c, int i);

// Button 2: ready for the next hand, or leave a broken-up table.
void pressStart(link::Client& c);
// Button 8, and the frame's close button: the exit dialog over the table.
void toggleExitDialog(link::Client& c);
// The rules page on the game server's host.
[[nodiscard]] std::string rulesAddress(const link::Client& c);

// The chat button on each blink run: lit on every second flash and on the
// last one, normal when not flashing.
void chatButtonBlink(link::Client& c, int chatBlinkBefore);

// Connects the buttons' events.
void installToolbar(link::Client& c);

}  // namespace mj::shell
