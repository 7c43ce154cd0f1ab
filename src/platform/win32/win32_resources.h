// win32_resources.h: the numbered resources linked into a module.
#pragma once
#include <windows.h>

#include "platform/resources.h"

namespace mj::platform::win32 {

class Win32Resources : public Resources {
public:
    // nullptr: the program's own exe.
    explicit Win32Resources(HMODULE module = nullptr) : module_(module) {}
    [[nodiscard]] std::optional<std::string> bytes(int id, std::string_view type) const override;

private:
    HMODULE module_;
};

}  // namespace mj::platform::win32
