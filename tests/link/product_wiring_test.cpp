// product_wiring_test.cpp: the client as the program builds it. Every seam a
// built subsystem provides must be filled once the client is constructed; a
// seam left empty here means a subsystem that exists but never runs.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "link/client.h"
#include "platform/sim/sim_platform.h"

namespace mj::test {
namespace {

using Seam = std::pair<std::string, std::function<bool(const link::Client&)>>;

template <typename F>
Seam seam(std::string name, F link::Client::*member) {
    return {std::move(name), [member](const link::Client& c) { return static_cast<bool>(c.*member); }};
}

std::vector<Seam> filledSeams() {
    using C = link::Client;
    return {
        seam("dispatchServerCommand", &C::dispatchServerCommand),
        seam("resetSession", &C::resetSession),
        seam("connectViaProxy", &C::connectViaProxy),
        seam("onProxyData", &C::onProxyData),
        seam("startReconnect", &C::startReconnect),
        seam("setupSpectatorTable", &C::setupSpectatorTable),
        seam("initSeatLayout", &C::initSeatLayout),
        seam("initTableControls", &C::initTableControls),
        seam("resetHandDisplay", &C::resetHandDisplay),
        seam("resetTableForHand", &C::resetTableForHand),
        seam("resetRoundData", &C::resetRoundData),
        seam("newGameResetRoundData", &C::newGameResetRoundData),
        seam("autoPlay", &C::autoPlay),
        seam("timeoutDefaultAction", &C::timeoutDefaultAction),
        seam("showAction", &C::showAction),
        seam("sideShowAction", &C::sideShowAction),
        seam("hideZhahu", &C::hideZhahu),
        seam("playerVoice", &C::playerVoice),
        seam("showSettlement", &C::showSettlement),
        seam("showBoardPlayer", &C::showBoardPlayer),
        seam("filterChatText", &C::filterChatText),
        seam("showSpeakBubble", &C::showSpeakBubble),
        seam("loadChatWindows", &C::loadChatWindows),
        seam("initGameDll", &C::initGameDll),
        seam("exitGameDll", &C::exitGameDll),
        seam("closePropDisplay", &C::closePropDisplay),
        seam("relayToProps", &C::relayToProps),
        seam("onPropRequest", &C::onPropRequest),
        seam("startBaoXiang", &C::startBaoXiang),
        seam("boxCountdown", &C::boxCountdown),
        seam("startOwnCamera", &C::startOwnCamera),
        seam("showOwnVideo", &C::showOwnVideo),
        seam("loginVideoServer", &C::loginVideoServer),
        seam("requestTableVideo", &C::requestTableVideo),
        seam("leaveVideo", &C::leaveVideo),
        seam("leaveTableVideo", &C::leaveTableVideo),
        seam("closeRemotePanel", &C::closeRemotePanel),
        seam("hideRemotePanel", &C::hideRemotePanel),
        seam("connectVideoComponents", &C::connectVideoComponents),
        {"video event bridges",
         [](const C& c) { return c.video.socketEvents != nullptr && c.video.cameraEvents != nullptr; }},
        {"video timers",
         [](const C& c) {
             return c.video.timerZoom && c.video.timerRelogin && c.video.timerVshow[1] && c.video.timerVshow[2] &&
                    c.video.timerVshow[3];
         }},
        {"ImCmd.onClick",
         [](const C& c) {
             for (int i = 0; i < 16; ++i) {
                 auto* b = c.mainForm.find("ImCmd", i);
                 if (!b || !b->onClick || !b->onMouseMove) return false;
             }
             return true;
         }},
        {"ImgShow.onClick",
         [](const C& c) {
             for (int i = 0; i < 4; ++i) {
                 auto* b = c.mainForm.find("ImgShow", i);
                 if (!b || !b->onClick) return false;
             }
             return true;
         }},
        {"Chat.onKeyPress",
         [](const C& c) {
             auto* box = c.mainForm.findAs<ui::TextBox>("Chat");
             return box && box->onKeyPress && box->onChange;
         }},
        seam("pic1KeyDown", &C::pic1KeyDown),
        seam("showPlayerCard", &C::showPlayerCard),
        seam("unloadExitDialog", &C::unloadExitDialog),
        seam("unloadOtherExit", &C::unloadOtherExit),
        seam("openSeatChange", &C::openSeatChange),
        seam("closeSeatChange", &C::closeSeatChange),
        seam("drawFormSkin", &C::drawFormSkin),
        seam("onChatButtonBlink", &C::onChatButtonBlink),
        {"banner events",
         [](const C& c) {
             return c.dispatch.banner && c.dispatch.banner->onDocumentComplete && c.dispatch.banner->onNavigateError;
         }},
        {"dispatch.showOtherExit", [](const C& c) { return static_cast<bool>(c.dispatch.showOtherExit); }},
        // The other eight buttons come with the seat layout at start-up.
        {"AnNiu(0) onClick",
         [](const C& c) {
             auto* b = c.mainForm.find("AnNiu", 0);
             return b && b->onClick && b->onMouseMove;
         }},
        {"Pic1 keys and pointer",
         [](const C& c) { return c.pic1->onKeyDown && c.pic1->onKeyPress && c.pic1->onMouseMove && c.pic1->onClick; }},
        {"Chat.onKeyDown",
         [](const C& c) {
             auto* box = c.mainForm.findAs<ui::TextBox>("Chat");
             return box && box->onKeyDown;
         }},
        {"bombPlayer", [](const C& c) { return c.bombPlayer != nullptr; }},
        {"mainForm.onWindowMessage", [](const C& c) { return static_cast<bool>(c.mainForm.onWindowMessage); }},
    };
}

TEST(ProductWiring, EverySeamOfTheBuiltSubsystemsIsFilled) {
    platform::sim::SimPlatform sim;
    link::Client client(sim.platform);
    for (const auto& [name, isFilled] : filledSeams()) EXPECT_TRUE(isFilled(client)) << name << " is empty";
}

}  // namespace
}  // namespace mj::test
