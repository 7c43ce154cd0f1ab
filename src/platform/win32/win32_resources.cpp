// win32_resources.cpp: resource bytes through FindResource/LoadResource.
#include "platform/win32/win32_resources.h"

#include <string>

namespace mj::platform::win32 {

std::optional<std::string> Win32Resources::bytes(int id, std::string_view type) const {
    if (id <= 0 || id > 0xFFFF || type.empty()) return std::nullopt;
    // Resource type names are ASCII; the lookup ignores case (windres stores them upper-cased).
    std::wstring wideType;
    for (char c : type) {
        if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
        wideType.push_back(static_cast<wchar_t>(c));
    }
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), wideType.c_str());
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(module_, found);
    const DWORD size = SizeofResource(module_, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::string(static_cast<const char*>(data), size);
}

}  // namespace mj::platform::win32
