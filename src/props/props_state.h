// props_state.h: the props plug-in's life and hand-result flags.
#pragma once
#include <memory>

#include "platform/components.h"

namespace mj::props {

struct PropsState {
    int propGameDllState = 0;  // 0 not tried, -1 not used, 1 loaded, 2 with boxes
    std::unique_ptr<platform::PropsPlugin> propDll;
    int propSwicth = 0;
    int propLaunchArg = 0;
    std::string propUserName;
    bool propInitOk = false;
    bool scorePending = false;
    bool scoreInfoReady = false;
    int drawWithBoxes = 0;
    int propResultMode = 0;
    int exitPluginAfterDraw = 0;
    int propDisplayClosed = 0;
    bool boxPromptOn = false;

    [[nodiscard]] bool loaded() const { return propGameDllState > 0 && propDll != nullptr; }
};

}  // namespace mj::props
