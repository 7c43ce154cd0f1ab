// demo_plugin.cpp: the demonstration plug-in and its box pictures.
#include "demo_plugin.h"

#include <algorithm>
#include <cmath>

namespace mj::props_demo {

namespace {

// ---------------------------------------------------------------- pictures

// Palette entries; 0 is transparent.
enum Ink : std::uint8_t { Clear, Outline, DarkWood, Wood, LightWood, Gold, LightGold, Gem, Spark };
constexpr std::array<std::uint32_t, 16> Palette{0xFF00FF, 0x2A1608, 0x5C3214, 0x8B4E22, 0xB8733A,
                                                0xE0B020, 0xFFE070, 0xD02030, 0xFFFFFF};

class Canvas {
public:
    explicit Canvas(int side) : side_(side), pixels_(static_cast<std::size_t>(side * side), Clear) {}
    // Fills the rectangle given in 64ths of the side.
    void fill(int x0, int y0, int x1, int y1, Ink ink) {
        for (int y = at(y0); y < at(y1); ++y) {
            for (int x = at(x0); x < at(x1); ++x) pixels_[static_cast<std::size_t>(y * side_ + x)] = ink;
        }
    }
    void frame(int x0, int y0, int x1, int y1, Ink inside) {
        fill(x0, y0, x1, y1, Outline);
        fill(x0 + 2, y0 + 2, x1 - 2, y1 - 2, inside);
    }
    [[nodiscard]] std::string gif() const;

private:
    [[nodiscard]] int at(int v64) const { return std::clamp(v64 * side_ / 64, 0, side_); }
    int side_;
    std::vector<std::uint8_t> pixels_;
};

void put16(std::string& out, int v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8 & 0xFF);
}

// A GIF whose codes never outgrow five bits: a clear code every fourteen
// pixels keeps the code table small. Larger than need be, and simple.
std::string Canvas::gif() const {
    std::string out = "GIF89a";
    put16(out, side_);
    put16(out, side_);
    out += static_cast<char>(0xF3);  // global table of 16 colours
    out += '\0';
    out += '\0';
    for (std::uint32_t rgb : Palette) {
        out += static_cast<char>(rgb >> 16 & 0xFF);
        out += static_cast<char>(rgb >> 8 & 0xFF);
        out += static_cast<char>(rgb & 0xFF);
    }
    out += "\x21\xF9\x04\x01";  // transparency on, colour 0
    out += std::string("\0\0\0\0", 4);
    out += ',';
    put16(out, 0);
    put16(out, 0);
    put16(out, side_);
    put16(out, side_);
    out += '\0';
    constexpr int MinCodeSize = 4;
    constexpr unsigned ClearCode = 16, EndCode = 17;
    out += static_cast<char>(MinCodeSize);
    std::string data;
    unsigned bits = 0;
    int count = 0;
    auto code = [&](unsigned c) {
        bits |= c << count;
        count += 5;
        while (count >= 8) {
            data += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            count -= 8;
        }
    };
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        if (i % 14 == 0) code(ClearCode);
        code(pixels_[i]);
    }
    code(EndCode);
    if (count > 0) data += static_cast<char>(bits & 0xFF);
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - at);
        out += static_cast<char>(n);
        out += data.substr(at, n);
    }
    out += '\0';
    out += ';';
    return out;
}

// ---------------------------------------------------------------- requests

platform::PropRequest request(int kind, std::string text) {
    platform::PropRequest r;
    r.kind = kind;
    r.text = std::move(text);
    return r;
}

constexpr int KindText = 0, KindLabel = 1, KindPacket = 2, KindChatTarget = 3, KindKey = 4, KindPlayerCard = 5;
constexpr std::uint8_t CmdPropItem = 45;
constexpr long Yellow = 0x00FFFF;  // blue-green-red

}  // namespace

std::string closedBoxGif(int side) {
    Canvas c(side);
    c.frame(4, 14, 60, 32, LightWood);  // lid
    c.frame(4, 30, 60, 60, Wood);       // body
    c.fill(12, 14, 18, 60, Gold);       // bands
    c.fill(46, 14, 52, 60, Gold);
    c.frame(26, 24, 38, 40, LightGold);  // lock
    c.fill(31, 30, 33, 36, Outline);
    c.fill(6, 56, 58, 58, DarkWood);
    return c.gif();
}

std::string openBoxGif(int side) {
    Canvas c(side);
    c.frame(4, 2, 60, 20, DarkWood);  // the lid, thrown back
    c.fill(12, 4, 18, 18, Gold);
    c.fill(46, 4, 52, 18, Gold);
    c.frame(4, 30, 60, 60, Wood);  // body
    c.fill(8, 22, 56, 34, Gold);   // the treasure
    for (int x = 10; x < 54; x += 8) c.fill(x, 24, x + 4, 28, LightGold);
    c.fill(28, 20, 36, 26, Gem);
    c.fill(12, 30, 18, 60, Gold);
    c.fill(46, 30, 52, 60, Gold);
    c.fill(20, 16, 22, 18, Spark);
    c.fill(42, 14, 44, 16, Spark);
    return c.gif();
}

long DemoPlugin::scaled(long v) const { return std::lround(static_cast<double>(v) * factor()); }

void DemoPlugin::queueText(const std::string& text) { queue_.push_back(request(KindText, text)); }

bool DemoPlugin::initdll(std::string&, std::string&, const std::string& kind, std::uintptr_t, const std::string&,
                         PropsPlugin&, int& scale, int&) {
    if (kind != "DLL") return false;
    scale_ = scale == 1 ? 1 : 2;
    if (started_) return true;
    started_ = true;
    queueText("道具演示插件已加载");
    platform::PropRequest label = request(KindLabel, "欢迎来到牌桌");
    label.rect = {scaled(240), scaled(40), scaled(392), scaled(250)};
    label.style = {1000, 3, 14, Yellow, 2};
    queue_.push_back(label);
    platform::PropRequest packet = request(KindPacket, "");
    packet.packet.assign(272, 0);
    packet.packet[3] = CmdPropItem;
    packet.packet[9] = 1;
    queue_.push_back(packet);
    queue_.push_back(request(KindChatTarget, "2"));
    queue_.push_back(request(KindKey, "113"));
    queue_.push_back(request(KindPlayerCard, "0"));
    return true;
}

bool DemoPlugin::getBaoInfo(platform::PropBoxPositions& boxPos, platform::PropPoint& openCentre,
                            platform::PropSeatTargets& seatTarget, platform::PropPoint& promptCentre,
                            platform::PropBoxTiming& rewardTiming, std::string& closedPicture,
                            platform::PropPoint& boxSize, std::string& openPicture, platform::PropPoint& openSize) {
    // Three rows of five over the middle of the table, the local player's lowest.
    for (int k = 0; k < platform::PropBoxCount; ++k) {
        boxPos[static_cast<std::size_t>(k)] = {scaled(272 + 100 * (k % 5)), scaled(420 - 110 * (k / 5))};
    }
    boxSize = {scaled(80), scaled(80)};
    openCentre = {scaled(512), scaled(330)};
    openSize = {scaled(120), scaled(120)};
    seatTarget = {
        {{scaled(30), scaled(560)}, {scaled(110), scaled(330)}, {scaled(560), scaled(70)}, {scaled(850), scaled(330)}}};
    promptCentre = {scaled(512), scaled(520)};
    rewardTiming = {100, 20};
    const int side = static_cast<int>(scaled(64));
    closedPicture = closedBoxGif(side);
    openPicture = openBoxGif(side);
    return true;
}

int DemoPlugin::checkSendBuff() {
    if (ticksSinceHandEnd_ >= 0 && ticksSinceHandEnd_ < TicksUntilBoxData) ++ticksSinceHandEnd_;
    return static_cast<int>(queue_.size());
}

void DemoPlugin::getSendBuff(std::string&, std::string& text, std::vector<std::uint8_t>& packet, int& kind,
                             std::vector<long>& rect, std::vector<long>& style) {
    if (queue_.empty()) return;
    platform::PropRequest r = std::move(queue_.front());
    queue_.pop_front();
    kind = r.kind;
    text = r.text;
    if (!r.packet.empty()) packet = r.packet;
    if (!r.rect.empty()) rect = r.rect;
    if (!r.style.empty()) style = r.style;
}

int DemoPlugin::getScoreInfo(platform::PropItemTexts& itemText, platform::PropRewards& reward,
                             platform::PropBoxInfo& boxInfo) {
    if (ticksSinceHandEnd_ < TicksUntilBoxData) return 0;
    ticksSinceHandEnd_ = -1;
    itemText = {};
    reward = {};
    boxInfo = {};
    // The local player and the player opposite win something when known.
    struct Prize {
        int view;
        double gold;
        const char* items;
        const char* boardItems;
    };
    const Prize prizes[] = {{0, 188, "金元宝|聚宝盆", "宝箱：金元宝00000255|宝箱：聚宝盆00000255"},
                            {2, 66, "银元宝", "宝箱：银元宝00000255"}};
    for (const auto& p : prizes) {
        const auto v = static_cast<std::size_t>(p.view);
        if (players_[v].empty()) continue;
        reward[v] = p.gold;
        itemText[v] = p.boardItems;
        boxInfo[0][v] = players_[v];
        boxInfo[1][v] = p.items;
    }
    return 1;
}

void DemoPlugin::recMsg(const std::vector<std::uint8_t>&) { ++messages_; }

bool DemoPlugin::setUserinfo(const std::string& nickName, const std::string&, std::uint8_t, int view, bool, int,
                             const std::string&, const std::string&) {
    if (view < 0 || view > 3) return true;
    players_[static_cast<std::size_t>(view)] = nickName;
    return true;
}

void DemoPlugin::clearUser(int view) {
    if (view >= 0 && view <= 3) players_[static_cast<std::size_t>(view)].clear();
}

bool DemoPlugin::ainit(const std::string&) { return true; }

void DemoPlugin::initShowEnd() {
    ticksSinceHandEnd_ = 0;
    queueText("本局结束，宝箱即将开启");
}

void DemoPlugin::initShowNext(bool) {}
void DemoPlugin::showGif(int, bool) {}
void DemoPlugin::initExit(int) { queue_.clear(); }
void DemoPlugin::setKeyDown(int) {}
void DemoPlugin::setbankstate(int state) {
    if (state == 0) queueText("道具商店暂未开放");
}
void DemoPlugin::fixBuffPos() {}
void DemoPlugin::recState(int, bool, int) {}
bool DemoPlugin::showQvVideo(int, bool, int) { return false; }
void DemoPlugin::updataMyProp(bool) {}

}  // namespace mj::props_demo
