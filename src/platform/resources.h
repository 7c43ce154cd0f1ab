// resources.h: the program's own numbered resources.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace mj::platform {

class Resources {
public:
    virtual ~Resources() = default;
    // The bytes of resource `id` of the custom type (case-insensitive), or
    // nullopt when there is none.
    [[nodiscard]] virtual std::optional<std::string> bytes(int id, std::string_view type) const = 0;
};

}  // namespace mj::platform
