// shell_state.h: the shell's flags that start-up, the tick and the hall link
// read and write.
#pragma once

namespace mj::shell {

struct ShellState {
    bool bossKeyOn = false;
    bool chatAllowed = true;
    bool bannerFailed = false;
};

}  // namespace mj::shell
