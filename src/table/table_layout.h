// table_layout.h: the table's design-time controls and the two start-up
// layouts that place them for the screen's scale and create the control
// arrays that exist only at run time.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::table {

// Creates the table's controls as the window design has them (element 0 of
// each array, at design size, with its design picture), leaving alone any
// the client already made.
void buildTableDesign(link::Client& client);

// Start-up, before the launch line: seats, faces, video frames, toolbar,
// seat captions, ready marks and the store button.
void initSeatLayout(link::Client& client);
// The twelve seat captions, the room caption and the quick-phrase buttons.
void layoutSeatInfoLabels(link::Client& client);
// Start-up, near its end: countdown, claim buttons, the 136 tiles, the dice
// store, message strip, chat box, banner, own camera frame and captions.
void initTableControls(link::Client& client);

}  // namespace mj::table
