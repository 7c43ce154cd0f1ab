// table_install.cpp: the table view's seams on the client.
#include "table/table_install.h"

#include "link/client.h"
#include "table/hand_reset.h"
#include "table/table_layout.h"

namespace mj::table {

void installTable(link::Client& client) {
    buildTableDesign(client);
    client.initSeatLayout = initSeatLayout;
    client.initTableControls = initTableControls;
    client.resetHandDisplay = resetHandDisplay;
    client.resetTableForHand = resetTableForHand;
    // The two reset-data procedures are one operation.
    client.resetRoundData = resetRoundData;
    client.newGameResetRoundData = resetRoundData;
}

}  // namespace mj::table
