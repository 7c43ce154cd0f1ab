// launch_line_fuzz.cpp: the hall's launch line. Any text either parses into a
// configuration whose login message holds the name and password whole, or is
// refused with a reason; never a crash.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/launch_line.h"
#include "platform/sim/sim_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const mj::platform::sim::IconvCodec codec;
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto result = mj::link::parseLaunchLine(line, codec);
    if (result.error != mj::link::LaunchError::None) {
        if (mj::link::toString(result.error).empty()) std::abort();
        return 0;
    }
    const auto& cfg = result.config;
    if (cfg.serverPort < 0 || cfg.serverPort > 65535 || cfg.proxyPort < 0 || cfg.proxyPort > 65535) std::abort();
    const auto msg = mj::link::buildLoginMessage(cfg, codec);
    const auto name = codec.toGbk(cfg.loginName);
    if (name.size() > mj::link::LoginNameMaxBytes) std::abort();
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (msg[16 + i] != static_cast<std::uint8_t>(name[i])) std::abort();
    }
    return 0;
}
