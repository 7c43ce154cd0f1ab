// props_bridge.h: the props plug-in in the running client: finding, loading
// and starting it, shutting it down, clearing its last hand's display, and
// handing it server messages.
#pragma once
#include <string>

namespace mj::link {
class Client;
}

namespace mj::props {

// Where the plug-in library lies: below the program folder, never relative
// to whatever folder the hall started us in.
[[nodiscard]] std::string pluginPath(const link::Client& c);

// Loads (once) and starts the plug-in and takes its box layout. A missing
// library or a plug-in that cannot be made leaves it unused for the run;
// nothing is shown. True when the plug-in is ready.
bool initGameDll(link::Client& c);
// Shuts the plug-in down (flag 1 at program end). Nothing happens unless it
// is loaded. A treasure-box phase cut short still ends in the settlement.
void exitGameDll(link::Client& c, int flag);
// Clears the last hand's boxes and label, once per hand.
void closePropDisplay(link::Client& c);

// Fills the plug-in's seams, creates its label and timer and hooks the store
// button and the boxes once the table's controls exist.
void installProps(link::Client& c);

}  // namespace mj::props
