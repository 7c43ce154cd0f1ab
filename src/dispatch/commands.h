// commands.h: the numbers of the commands the server sends.
#pragma once
#include <cstdint>

namespace mj::dispatch {

enum ServerCmd : std::int16_t {
    CmdDealTiles = 1,
    CmdDiscard = 2,
    CmdSeatName = 3,
    CmdHandStart = 4,
    CmdDrawTile = 5,
    CmdOfferClaims = 6,
    CmdPlayerAction = 7,
    CmdHandGold = 9,
    CmdSpecialTiles = 14,
    CmdHandReveal = 15,
    CmdTableStatus = 16,
    CmdHandDetail = 17,
    CmdLoginResult = 18,
    CmdChat = 19,
    CmdUserInfo = 20,
    CmdPlayerLeft = 21,
    CmdServerKick = 22,
    CmdPlayerReady = 23,
    CmdReconnectResult = 29,
    CmdRestorePlayer = 40,
    CmdRestoreHand = 41,
    CmdPropMsg44 = 44,
    CmdPropItem = 45,
    CmdPropNotice = 46,
};

// Status codes of the login reply (value 3).
inline constexpr int LoginOk = 1;
inline constexpr int LoginStartFailed = 2;

}  // namespace mj::dispatch
