// shell_state.h: the shell's flags that start-up, the tick and the hall link
// read and write.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>

namespace mj::ui {
class Form;
}

namespace mj::shell {

struct ChatWindows;

struct ShellState {
    bool bossKeyOn = false;
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
    // The chat's pop-up windows, made by the shell's install step.
    std::shared_ptr<ChatWindows> chatWindows;
    // Gives a pop-up window made after start-up to the window host.
    std::function<void(ui::Form&)> attachForm;
};

}  // namespace mj::shell
