// guarded_plugin.h: the props plug-in behind a guard. Whatever a member of
// the plug-in throws stops at the guard: the call gives the answer a plug-in
// with nothing to say would give, the fault is reported once, and from then
// on the plug-in is never called again.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/components.h"

namespace mj::props {

class GuardedPlugin : public platform::PropsPlugin {
public:
    // `onFault` gets the member's name and what it threw, on the first fault.
    using FaultReport = std::function<void(std::string_view member, const std::string& what)>;
    GuardedPlugin(std::unique_ptr<platform::PropsPlugin> plugin, FaultReport onFault);

    [[nodiscard]] bool faulted() const { return faulted_; }

    bool initdll(std::string& userName, std::string& userText2, const std::string& kind, std::uintptr_t mainWindow,
                 const std::string& product, platform::PropsPlugin& self, int& scale, int& launchArg) override;
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

private:
    // Runs the member unless the plug-in has faulted; true when it ran to its end.
    template <typename Call>
    bool call(std::string_view member, Call&& work);

    std::unique_ptr<platform::PropsPlugin> plugin_;
    FaultReport onFault_;
    bool faulted_ = false;
};

}  // namespace mj::props
