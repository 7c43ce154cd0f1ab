// matcher.cpp: message building, checking and formatting on the client's codec.
#include "matcher.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sstream>

#include "gbk.h"
#include "link/wire_codec.h"

namespace scripted {
namespace {

// Runs longer than this are cut in the log; a login's password field is the
// longest thing worth reading whole.
constexpr std::size_t LogRunMax = 64;

// Whether a run of non-zero bytes should be shown as text too: it must decode
// as GBK without control characters, and be more than a lone byte (lone bytes
// are usually tile codes or flags).
std::optional<std::string> runAsText(const std::uint8_t* p, std::size_t n) {
    if (n < 2) return std::nullopt;
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] < 0x20 || p[i] == 0x7F) return std::nullopt;
    }
    return gbkToUtf8(std::string_view(reinterpret_cast<const char*>(p), n));
}

}  // namespace

std::string hexBytes(const std::uint8_t* p, std::size_t n) {
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, i == 0 ? "%02x" : " %02x", p[i]);
        out += buf;
    }
    return out;
}

int commandOf(const mj::WireMessage& m) { return m[mj::wire::CmdHigh] * 256 + m[mj::wire::Cmd]; }

mj::WireMessage buildMessage(const MessageSpec& spec) {
    mj::WireMessage m{};
    mj::CmdInfo info;
    info.cmd = static_cast<std::int16_t>(static_cast<std::uint16_t>(spec.cmd < 0 ? 0 : spec.cmd));
    mj::link::encodeHeader(info, m);
    for (const Patch& p : spec.patches) {
        for (std::size_t i = 0; i < p.bytes.size(); ++i) m[p.offset + i] = p.bytes[i];
    }
    return m;
}

std::vector<std::string> checkMessage(const MessageSpec& spec, const mj::WireMessage& m) {
    std::vector<std::string> out;
    if (spec.cmd >= 0 && commandOf(m) != spec.cmd) {
        out.push_back("command: expected " + std::to_string(spec.cmd) + ", got " + std::to_string(commandOf(m)));
    }
    for (const Patch& p : spec.patches) {
        std::size_t first = p.bytes.size();
        for (std::size_t i = 0; i < p.bytes.size(); ++i) {
            if (m[p.offset + i] != p.bytes[i]) {
                first = i;
                break;
            }
        }
        if (first == p.bytes.size()) continue;
        // Show the window around the first difference, enough to read a name.
        const std::size_t from = first;
        const std::size_t n = std::min<std::size_t>(16, p.bytes.size() - first);
        std::ostringstream o;
        o << "line " << p.line << " '" << p.label << "': byte " << p.offset + first << " on: expected "
          << hexBytes(p.bytes.data() + from, n) << ", got " << hexBytes(m.data() + p.offset + from, n);
        if (auto text = runAsText(m.data() + p.offset, p.bytes.size())) o << " (\"" << *text << "\")";
        out.push_back(o.str());
    }
    return out;
}

std::string formatMessage(const mj::WireMessage& m) {
    const mj::CmdInfo info = mj::link::decodeHeader(m);
    std::ostringstream o;
    o << "cmd " << commandOf(m) << " seat " << static_cast<int>(m[mj::wire::Seat]);
    if (info.byte5 != 0) o << " byte5 " << static_cast<int>(info.byte5);
    if (info.byte7 != 0) o << " byte7 " << static_cast<int>(info.byte7);
    o << " v";
    for (std::size_t k = 0; k < 4; ++k) {
        o << ' ' << (m[mj::wire::Value + 2 * k] * 256 + m[mj::wire::Value + 2 * k + 1]);
    }
    std::size_t i = mj::wire::Body;
    while (i < mj::WireMessageSize) {
        if (m[i] == 0) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < mj::WireMessageSize && m[j] != 0) ++j;
        const std::size_t n = j - i;
        o << " | " << i << ": " << hexBytes(m.data() + i, std::min(n, LogRunMax));
        if (n > LogRunMax) o << " ... (" << n << " bytes)";
        if (auto text = runAsText(m.data() + i, n)) o << " \"" << *text << '"';
        i = j;
    }
    return o.str();
}

}  // namespace scripted
