// sim_props_plugin.h: an in-memory props plug-in for tests. It records every
// call and answers from what the test set: the initialisation, the box
// layout, a queue of requests and the hand-end box data.
#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/components.h"

namespace mj::platform::sim {

class FakePropsPlugin : public PropsPlugin {
    void called(const char* member) {
        ++memberCalls;
        if (throwIn == member) throw std::runtime_error(std::string(member) + " broke");
    }

public:
    bool initdll(std::string& userName, std::string&, const std::string& kind, std::uintptr_t,
                 const std::string& product, PropsPlugin& self, int& scale, int& launchArg) override {
        called("initdll");
        calls.emplace_back("initdll");
        initUser = userName;
        initKind = kind;
        initProduct = product;
        initScale = scale;
        initLaunchArg = launchArg;
        initSelfIsThis = &self == this;
        return initdllResult;
    }
    bool getBaoInfo(PropBoxPositions& pos, PropPoint& openCentre, PropSeatTargets& seatTarget, PropPoint& promptCentre,
                    PropBoxTiming& timing, std::string& closedPicture, PropPoint& size, std::string& openPicture,
                    PropPoint& openSize) override {
        called("getBaoInfo");
        calls.emplace_back("getBaoInfo");
        if (!hasBoxes) return false;
        pos = boxPos;
        openCentre = boxOpenCentre;
        seatTarget = boxSeatTarget;
        promptCentre = boxPromptCentre;
        timing = rewardTiming;
        closedPicture = closedPic;
        size = boxSize;
        openPicture = openPic;
        openSize = boxOpenSize;
        return true;
    }
    int checkSendBuff() override {
        called("checkSendBuff");
        ++checks;
        return waitingOverride ? *waitingOverride : static_cast<int>(requests.size());
    }
    void getSendBuff(std::string& picture, std::string& text, std::vector<std::uint8_t>& packet, int& kind,
                     std::vector<long>& rect, std::vector<long>& style) override {
        called("getSendBuff");
        ++fetches;
        kindPresets.push_back(kind);
        if (requests.empty()) return;
        PropRequest r = std::move(requests.front());
        requests.pop_front();
        if (!r.picture.empty()) picture = r.picture;
        if (!r.text.empty()) text = r.text;
        if (!r.packet.empty()) packet = r.packet;
        kind = r.kind;
        if (!r.rect.empty()) rect = r.rect;
        if (!r.style.empty()) style = r.style;
        if (onFetch) onFetch();
    }
    int getScoreInfo(PropItemTexts& itemText, PropRewards& reward, PropBoxInfo& boxInfo) override {
        called("getScoreInfo");
        ++scoreAsks;
        if (scoreReady != 1) return scoreReady;
        itemText = boxItemText;
        reward = boxReward;
        boxInfo = boxInfoData;
        return 1;
    }
    void recMsg(const std::vector<std::uint8_t>& m) override {
        called("recMsg");
        received.push_back(m);
    }
    bool setUserinfo(const std::string& nick, const std::string& seatName, std::uint8_t seatBit, int view,
                     bool hasCredit, int sex, const std::string& title, const std::string& face) override {
        called("setUserinfo");
        users.push_back({nick, seatName, seatBit, view, hasCredit, sex, title, face});
        return !refuseUsers;
    }
    void clearUser(int view) override {
        called("clearUser");
        clearedViews.push_back(view);
    }
    bool ainit(const std::string& file) override {
        called("ainit");
        reinits.push_back(file);
        return true;
    }
    void initShowEnd() override {
        called("initShowEnd");
        ++showEnds;
    }
    void initShowNext(bool flag) override {
        called("initShowNext");
        showNexts.push_back(flag);
    }
    void showGif(int which, bool show) override {
        called("showGif");
        gifs.emplace_back(which, show);
    }
    void initExit(int flag) override {
        called("initExit");
        exits.push_back(flag);
    }
    void setKeyDown(int key) override {
        called("setKeyDown");
        keys.push_back(key);
    }
    void setbankstate(int state) override {
        called("setbankstate");
        bankStates.push_back(state);
    }
    void fixBuffPos() override {
        called("fixBuffPos");
        ++fixes;
    }
    void recState(int kind, bool flag, int) override {
        called("recState");
        states.emplace_back(kind, flag);
    }
    bool showQvVideo(int seat, bool show, int) override {
        called("showQvVideo");
        videos.emplace_back(seat, show);
        return true;
    }
    void updataMyProp(bool flag) override {
        called("updataMyProp");
        myProps.push_back(flag);
    }

    // What the test sets. `throwIn`: the member that throws when called.
    std::string throwIn;
    bool initdllResult = true;
    bool hasBoxes = false;
    PropBoxPositions boxPos{};
    PropPoint boxOpenCentre{}, boxPromptCentre{}, boxSize{}, boxOpenSize{};
    PropSeatTargets boxSeatTarget{};
    PropBoxTiming rewardTiming{100, 10};
    std::string closedPic, openPic;
    std::deque<PropRequest> requests;
    std::optional<int> waitingOverride;
    std::function<void()> onFetch;
    int scoreReady = 0;
    PropItemTexts boxItemText{};
    PropRewards boxReward{};
    PropBoxInfo boxInfoData{};
    bool refuseUsers = false;

    // What the client did. `memberCalls` counts every call of any member.
    int memberCalls = 0;
    std::vector<std::string> calls;
    std::string initUser, initKind, initProduct;
    int initScale = 0, initLaunchArg = 0;
    bool initSelfIsThis = false;
    int checks = 0, fetches = 0, scoreAsks = 0, showEnds = 0, fixes = 0;
    std::vector<int> kindPresets;
    std::vector<std::vector<std::uint8_t>> received;
    std::vector<PropsUser> users;
    std::vector<int> clearedViews;
    std::vector<std::string> reinits;
    std::vector<bool> showNexts;
    std::vector<std::pair<int, bool>> gifs;
    std::vector<int> exits;
    std::vector<int> keys;
    std::vector<int> bankStates;
    std::vector<std::pair<int, bool>> states;
    std::vector<std::pair<int, bool>> videos;
    std::vector<bool> myProps;
};

}  // namespace mj::platform::sim
