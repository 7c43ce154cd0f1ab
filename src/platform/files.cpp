// files.cpp: path helpers shared by every platform.
#include "platform/files.h"

namespace mj::platform {

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && out.back() != '\\' && out.back() != '/') out += '\\';
    out += name;
    return out;
}

}  // namespace mj::platform
