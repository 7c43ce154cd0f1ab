// sim_resources.h: the program's resources held in memory for tests, filled by
// hand or from a resource script such as the generated picture list.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/resources.h"

namespace mj::platform::sim {

class SimResources : public Resources {
public:
    [[nodiscard]] std::optional<std::string> bytes(int id, std::string_view type) const override;

    void add(int id, std::string_view type, std::string bytes);
    // Reads every `<id> <TYPE> "<file>"` line of a resource script and the
    // files it names; returns how many resources were added, -1 when the
    // script cannot be read. Lines of any other shape are skipped.
    int loadScript(const std::string& scriptPath);

    // How many times bytes() was asked, to see what a cache saves.
    [[nodiscard]] int reads() const { return reads_; }

private:
    std::map<std::pair<std::string, int>, std::string> items_;
    mutable int reads_ = 0;
};

}  // namespace mj::platform::sim
