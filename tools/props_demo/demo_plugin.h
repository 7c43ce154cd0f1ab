// demo_plugin.h: our demonstration props plug-in. It takes the players it is
// told about, offers treasure boxes with pictures of its own at both scales,
// queues one request of every kind when it starts, and a second after a hand
// ends has the box data and rewards for the seats it knows.
#pragma once
#include <array>
#include <deque>
#include <string>
#include <vector>

#include "platform/components.h"

namespace mj::props_demo {

// How many of the client's request polls (one a tick) pass between the end
// of a hand and the box data being ready.
inline constexpr int TicksUntilBoxData = 20;

// The two box pictures as GIF files, drawn at `side` pixels square.
[[nodiscard]] std::string closedBoxGif(int side);
[[nodiscard]] std::string openBoxGif(int side);

class DemoPlugin : public platform::PropsPlugin {
public:
    bool initdll(std::string& userName, std::string& userText2, const std::string& kind, std::uintptr_t mainWindow,
                 const std::string& product, PropsPlugin& self, int& scale, int& launchArg) override;
    bool getBaoInfo(platform::PropBoxPositions& boxPos, platform::PropPoint& openCentre,
                    platform::PropSeatTargets& seatTarget, platform::PropPoint& promptCentre,
                    platform::PropBoxTiming& rewardTiming, std::string& closedPicture, platform::PropPoint& boxSize,
                    std::string& openPicture, platform::PropPoint& openSize) override;
    int checkSendBuff() override;
    void getSendBuff(std::string& picture, std::string& text, std::vector<std::uint8_t>& packet, int& kind,
                     std::vector<long>& rect, std::vector<long>& style) override;
    int getScoreInfo(platform::PropItemTexts& itemText, platform::PropRewards& reward,
                     platform::PropBoxInfo& boxInfo) override;
    void recMsg(const std::vector<std::uint8_t>& message) override;
    bool setUserinfo(const std::string& nickName, const std::string& seatName, std::uint8_t seatBit, int view,
                     bool hasCredit, int sex, const std::string& title, const std::string& faceCode) override;
    void clearUser(int view) override;
    bool ainit(const std::string& settingsFile) override;
    void initShowEnd() override;
    void initShowNext(bool flag) override;
    void showGif(int which, bool show) override;
    void initExit(int flag) override;
    void setKeyDown(int keyCode) override;
    void setbankstate(int state) override;
    void fixBuffPos() override;
    void recState(int kind, bool flag, int seat) override;
    bool showQvVideo(int seat, bool show, int zero) override;
    void updataMyProp(bool flag) override;

    // What it knows, for its tests.
    [[nodiscard]] const std::array<std::string, 4>& players() const { return players_; }
    [[nodiscard]] std::size_t waiting() const { return queue_.size(); }

private:
    void queueText(const std::string& text);
    [[nodiscard]] double factor() const { return scale_ == 1 ? 1.0 : 0.78125; }
    [[nodiscard]] long scaled(long v) const;

    int scale_ = 1;
    bool started_ = false;
    std::array<std::string, 4> players_{};
    std::deque<platform::PropRequest> queue_;
    int ticksSinceHandEnd_ = -1;
    int messages_ = 0;
};

}  // namespace mj::props_demo
