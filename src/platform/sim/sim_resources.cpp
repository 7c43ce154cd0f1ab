// sim_resources.cpp: in-memory resources.
#include "platform/sim/sim_resources.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <sstream>

namespace mj::platform::sim {
namespace {

// Resource types are matched without regard to case, as the system does.
std::string typeKey(std::string_view type) {
    std::string key(type);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return key;
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

std::optional<std::string> SimResources::bytes(int id, std::string_view type) const {
    ++reads_;
    const auto it = items_.find({typeKey(type), id});
    if (it == items_.end()) return std::nullopt;
    return it->second;
}

void SimResources::add(int id, std::string_view type, std::string bytes) {
    items_[{typeKey(type), id}] = std::move(bytes);
}

int SimResources::loadScript(const std::string& scriptPath) {
    const auto script = readFile(scriptPath);
    if (!script) return -1;
    std::istringstream lines(*script);
    std::string line;
    int added = 0;
    while (std::getline(lines, line)) {
        int id = 0;
        const auto idEnd = std::from_chars(line.data(), line.data() + line.size(), id);
        if (idEnd.ec != std::errc{} || idEnd.ptr == line.data()) continue;
        std::istringstream rest(line.substr(static_cast<std::size_t>(idEnd.ptr - line.data())));
        std::string type;
        rest >> type;
        const auto open = line.find('"');
        const auto close = line.rfind('"');
        if (type.empty() || open == std::string::npos || close <= open) continue;
        const auto data = readFile(line.substr(open + 1, close - open - 1));
        if (!data) continue;
        add(id, type, *data);
        ++added;
    }
    return added;
}

}  // namespace mj::platform::sim
