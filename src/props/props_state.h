// props_state.h: the props plug-in's life, its request fields, the timed
// label and the treasure-box phase.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/components.h"
#include "platform/controls.h"

namespace mj::props {

// Plug-in states.
inline constexpr int PropStateUnused = -1;
inline constexpr int PropStateNotTried = 0;
inline constexpr int PropStateLoaded = 1;
inline constexpr int PropStateBoxes = 2;

// The treasure-box layout the plug-in gave, checked, in table pixels.
struct BoxLayout {
    platform::PropBoxPositions boxPos{};
    platform::PropPoint boxSize{};
    platform::PropPoint openCentre{};
    platform::PropPoint openSize{};
    platform::PropSeatTargets seatTarget{};
    platform::PropPoint promptCentre{};
    platform::PropBoxTiming rewardTiming{};
    ui::PictureRef closedPic;
    ui::PictureRef openPic;
};

// How the reward lines are laid out.
struct RewardLayout {
    std::array<double, 4> step{};
    std::array<double, 4> shown{};
    int nameWidth = 0;
    int amountWidth = 0;
};

struct PropsState {
    int propGameDllState = PropStateNotTried;
    std::unique_ptr<platform::PropsPlugin> propDll;
    int propSwicth = 0;
    int propLaunchArg = 0;
    std::string propUserName;
    std::string propUserText2;  // never set; the plug-in gets it empty
    bool propInitOk = false;
    bool scorePending = false;
    bool scoreInfoReady = false;
    int drawWithBoxes = 0;
    int propResultMode = 0;
    int exitPluginAfterDraw = 0;
    int propDisplayClosed = 0;
    // A member of the plug-in failed: it is never called again, the next tick
    // shuts it down, and it stays off for the rest of the run.
    bool pluginFaulted = false;

    // The request fields, kept between fetches.
    platform::PropRequest request;
    // Requests dropped because a field was out of range.
    int badRequests = 0;

    // The timed label and its timer (`TimerProp`, also the reward display's).
    ui::Label* lbProp = nullptr;
    std::unique_ptr<platform::Timer> timerProp;
    bool propLabelOn = false;
    int propLabelTicks = 0;
    int propLabelTickLimit = 0;

    // The treasure-box phase; `boxPhaseOn` from the boxes' set-up to the
    // settlement, so a phase cut short still ends in one.
    BoxLayout layout;
    bool boxPhaseOn = false;
    platform::PropBoxInfo boxInfo{};
    std::array<int, 4> baoChs{-1, -1, -1, -1};
    bool boxChosen = false;
    bool boxPromptOn = false;
    int boxPromptTicks = 0;
    int boxPromptSec = 0;
    bool rewardShowing = false;
    int rewardTicks = 0;
    int rewardTickLimit = 1;
    std::array<std::string, 4> rewardNames{};
    RewardLayout rewardLayout;
    // The random picks; seeded from the clock when the plug-in is loaded.
    std::uint32_t randomState = 1;

    [[nodiscard]] bool loaded() const { return propGameDllState > 0 && propDll != nullptr && !pluginFaulted; }
};

}  // namespace mj::props
