// shell_state.h: the shell's flags that start-up, the tick and the hall link
// read and write.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "platform/clock.h"

namespace mj::ui {
class Form;
}

namespace mj::shell {

struct ChatWindows;
struct ShellWindows;

struct ShellState {
    bool bossKeyOn = false;
    // Both caption buttons show their normal picture.
    bool captionButtonsNormal = true;
    bool chatAllowed = true;
    bool bannerFailed = false;

    // The chat box: focus, and a backspace into the reply prefix waiting for
    // the change it causes.
    bool chatHasFocus = false;
    bool prefixBackspace = false;
    std::string prefixEditText;
    // The box text without the reply prefix, as the last face click saw it.
    std::string chatBody;
    // Alt and C pressed one after the other (either order) close the history.
    std::array<int, 2> altCKeyState{};
    // The bank button shows its hover picture.
    bool bankHover = false;
    // The settings dialog: the options switched since OK or Cancel (music,
    // system sounds, all sound, voice style), and the voice style itself.
    std::array<bool, 4> optionChanged{};
    bool dialectVoice = false;
    // The view whose player the card shows.
    int cardView = -1;
    // The seat-change caption's animation and its next caption.
    std::unique_ptr<platform::Timer> timerShuffle;
    int shufflePos = 0;
    // The chat's pop-up windows, made by the shell's install step.
    std::shared_ptr<ChatWindows> chatWindows;
    // The exit dialogs, the settings dialog and the player card, made on first use.
    std::shared_ptr<ShellWindows> windows;
    // Gives a pop-up window made after start-up to the window host, and takes
    // it back before it is destroyed.
    std::function<void(ui::Form&)> attachForm;
    std::function<void(ui::Form&)> detachForm;
};

}  // namespace mj::shell
