// dispatcher.cpp: the frame every server command runs in.
#include "dispatch/dispatcher.h"

#include "dispatch/commands.h"
#include "dispatch/validate.h"
#include "link/client.h"
#include "link/general.h"

namespace mj::dispatch {

void forwardToPlugin(link::Client& c) {
    if (!c.props.loaded()) return;
    c.props.propDll->recMsg(std::vector<std::uint8_t>(c.link.msg.begin(), c.link.msg.end()));
}

void onChat(link::Client& c) {
    // The decoder has shown the line; here the sender becomes a view.
    auto& info = c.link.info;
    const int own = link::bitToIndex(c.table.custom[0].seat);
    const int from = link::bitToIndex(static_cast<std::uint8_t>(info.seat & 15));
    info.seat = static_cast<std::uint8_t>((own + 4 - from) % 4);
}

void dispatchServerCommand(link::Client& c) {
    const CmdInfo& info = c.link.info;
    if (auto why = findMalformedField(c.link.msg, info, c.table.custom[0].seat)) {
        ++c.dispatch.droppedMessages;
        c.log("dropped command " + std::to_string(info.cmd) + ": " + *why);
        return;
    }
    switch (info.cmd) {
    case CmdDealTiles:
        return onDealTiles(c);
    case CmdDiscard:
        return onDiscard(c);
    case CmdSeatName:
        return onSeatName(c);
    case CmdHandStart:
        return onHandStart(c);
    case CmdDrawTile:
        return onDrawTile(c);
    case CmdOfferClaims:
        return onOfferClaims(c);
    case CmdPlayerAction:
        return onPlayerAction(c);
    case CmdHandGold:
        return onHandGold(c);
    case CmdSpecialTiles:
        return onSpecialTiles(c);
    case CmdHandReveal:
        return onHandReveal(c);
    case CmdTableStatus:
        return onTableStatus(c);
    case CmdHandDetail:
        return onHandDetail(c);
    case CmdLoginResult:
        return onLoginResult(c);
    case CmdChat:
        return onChat(c);
    case CmdUserInfo:
        return onUserInfo(c);
    case CmdPlayerLeft:
        return onPlayerLeft(c);
    case CmdServerKick:
        return onServerKick(c);
    case CmdPlayerReady:
        return onPlayerReady(c);
    case CmdReconnectResult:
        return onReconnectResult(c);
    case CmdRestorePlayer:
        return onRestorePlayer(c);
    case CmdRestoreHand:
        return onRestoreHand(c);
    case CmdPropNotice:
        // The hand-end score information is announced only to a loaded plug-in.
        if (!c.props.loaded()) return;
        c.props.scoreInfoReady = true;
        return forwardToPlugin(c);
    case CmdPropMsg44:
    case CmdPropItem:
    default:
        return forwardToPlugin(c);
    }
}

}  // namespace mj::dispatch
