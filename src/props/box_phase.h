// box_phase.h: the treasure-box phase after a hand: the boxes on the table,
// the five-second choice, the flights, the reward display and the
// settlement that follows.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "platform/components.h"
#include "platform/text_codec.h"
#include "props/props_state.h"

namespace mj::link {
class Client;
}

namespace mj::props {

// The reward label's size and line layout for the rewards and box data.
struct RewardLabel {
    double width = 0;
    double height = 0;
    RewardLayout layout;
};
[[nodiscard]] RewardLabel rewardLabel(const platform::TextCodec& codec, const platform::PropBoxInfo& boxInfo,
                                      const platform::PropRewards& reward, int tickLimit);
// One seat's reward line: its name, the amount right-aligned to `amountWidth`
// characters (never cut), then "金币".
[[nodiscard]] std::string rewardLine(const std::string& name, const std::string& amount, int amountWidth);
// The "|" items of a box text.
[[nodiscard]] std::vector<std::string> boxItems(const std::string& text);

// The reward display's timing as it runs: an interval the timer takes and at
// least one tick, the whole display at most ten seconds.
[[nodiscard]] platform::PropBoxTiming boundedRewardTiming(const platform::PropBoxTiming& asked);

// A box index 0..4: uniform 0..1 times 4, to the nearest (halves to even).
[[nodiscard]] int randomPick(PropsState& s);

// The hand-off has the box data: lays out the boxes and the prompt and starts
// the countdown; without any box data, or when setting up fails, the
// settlement follows at once.
void startBaoXiang(link::Client& c);
// The countdown, one scheduler tick.
void boxCountdownTick(link::Client& c);
// A click on box `index`.
void boxClicked(link::Client& c, int index);
// Opens the chosen boxes (-1: the other seats') and starts the reward display.
void playBaoXiang(link::Client& c, int choice);
// One tick of the reward display.
void rewardTick(link::Client& c);

}  // namespace mj::props
