// launch_line.cpp: launch line fields and the login message.
#include "link/launch_line.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace mj::link {

std::string_view toString(LaunchError e) {
    switch (e) {
    case LaunchError::None:
        return "no error";
    case LaunchError::Empty:
        return "the launch line is empty";
    case LaunchError::BadNumber:
        return "a numeric launch field is not a whole number";
    case LaunchError::BadWatchedId:
        return "the watched player's id is not a number";
    case LaunchError::NameTooLong:
        return "the login name is longer than 16 bytes";
    case LaunchError::PasswordTooLong:
        return "the login password is longer than the login message holds";
    case LaunchError::ProxyCredentialTooLong:
        return "the proxy user or password is longer than 255 bytes";
    case LaunchError::ProxyCredentialNotSingleByte:
        return "the proxy user or password has characters outside the single-byte range";
    case LaunchError::LoginNotGbk:
        return "the login name or password has characters the server cannot receive";
    }
    return "unknown launch line error";
}

namespace {
std::string_view trimBlanks(std::string_view s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}
}  // namespace

std::optional<int> parseWholeNumber(std::string_view text, int lo, int hi) {
    std::string_view t = trimBlanks(text);
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    if (t.empty()) return std::nullopt;
    long long v = 0;
    const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || ptr != t.data() + t.size()) return std::nullopt;
    if (v < lo || v > hi) return std::nullopt;
    return static_cast<int>(v);
}

double leadingNumber(std::string_view text) {
    // Blanks are skipped inside the number, as the hall's number reading does
    // ("1 0" is 10); anything else ends it.
    std::string digits;
    bool seenDot = false;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) digits += text[i++];
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t') continue;
        if (c >= '0' && c <= '9')
            digits += c;
        else if (c == '.' && !seenDot) {
            seenDot = true;
            digits += c;
        } else
            break;
    }
    if (digits.empty() || digits == "-" || digits == "+") return 0;
    return std::strtod(digits.c_str(), nullptr);
}

namespace {
std::optional<double> parseDouble(std::string_view text) {
    std::string_view t = trimBlanks(text);
    if (t.empty()) return std::nullopt;
    std::string s(t);
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}
}  // namespace

LaunchResult parseLaunchLine(std::string_view rawLine, const platform::TextCodec& codec) {
    LaunchResult r;
    LaunchConfig& c = r.config;
    const std::string_view line = trimBlanks(rawLine);
    if (line.empty()) {
        r.error = LaunchError::Empty;
        return r;
    }
    c.isSpectator = line.back() != '$';
    std::string_view rest = line;
    bool hallTitleGiven = false;
    for (int field = 1; field <= 15; ++field) {
        const auto dollar = rest.find('$');
        if (dollar == std::string_view::npos) continue;
        const std::string_view f = rest.substr(0, dollar);
        rest = rest.substr(dollar + 1);
        auto number = [&](int lo, int hi) -> std::optional<int> {
            auto v = parseWholeNumber(f, lo, hi);
            if (!v && r.error == LaunchError::None) {
                r.error = LaunchError::BadNumber;
                r.badField = field;
            }
            return v;
        };
        switch (field) {
        case 1:
            c.loginName = std::string(f);
            break;
        case 2:
            c.loginPassword = std::string(f);
            break;
        case 3:
            c.serverHost = std::string(f);
            break;
        case 4:
            if (auto v = number(0, 65535)) c.serverPort = *v;
            break;
        case 5:
            c.roomCaption = std::string(f);
            if (c.isSpectator) {
                if (auto id = parseDouble(rest)) {
                    c.watchedUserId = *id;
                } else if (r.error == LaunchError::None) {
                    r.error = LaunchError::BadWatchedId;
                    r.badField = 6;
                }
            }
            break;
        case 6:
            if (auto v = number(-32768, 32767)) c.connectMode = *v;
            break;
        case 7:
            c.proxyHost = std::string(f);
            break;
        case 8:
            if (auto v = number(0, 65535)) c.proxyPort = *v;
            break;
        case 9:
            c.proxyUser = std::string(f);
            break;
        case 10:
            c.proxyPassword = std::string(f);
            break;
        case 11:
            c.customHallMode = leadingNumber(f) == 1.0;
            break;
        case 12:
            c.hallTitle = std::string(f);
            hallTitleGiven = true;
            break;
        case 13:
            c.windowCaption = std::string(f);
            break;
        case 14:
            if (auto v = number(-32768, 32767)) c.propSwitch = *v;
            break;
        case 15:
            if (auto v = number(-32768, 32767)) c.propLaunchArg = *v;
            break;
        default:
            break;
        }
    }
    // The hall title counts only in custom-hall mode, where an absent one is
    // empty: "no hall known".
    if (!c.customHallMode)
        c.hallTitle = DefaultHallTitle;
    else if (!hallTitleGiven)
        c.hallTitle.clear();

    if (r.error != LaunchError::None) return r;
    bool nameLossless = true;
    bool passLossless = true;
    const std::size_t nameBytes = codec.toGbk(c.loginName, &nameLossless).size();
    const std::size_t passBytes = codec.toGbk(c.loginPassword, &passLossless).size();
    if (nameBytes > LoginNameMaxBytes) {
        r.error = LaunchError::NameTooLong;
        r.badField = 1;
    } else if (passBytes > LoginPasswordMaxBytes) {
        r.error = LaunchError::PasswordTooLong;
        r.badField = 2;
    } else if (!nameLossless || !passLossless) {
        r.error = LaunchError::LoginNotGbk;
        r.badField = 1;
    } else if (c.proxyUser.size() > ProxyCredentialMaxBytes || c.proxyPassword.size() > ProxyCredentialMaxBytes) {
        r.error = LaunchError::ProxyCredentialTooLong;
        r.badField = c.proxyUser.size() > ProxyCredentialMaxBytes ? 9 : 10;
    } else {
        for (unsigned char ch : c.proxyUser + c.proxyPassword) {
            if (ch >= 0x80) {
                r.error = LaunchError::ProxyCredentialNotSingleByte;
                r.badField = 9;
                break;
            }
        }
    }
    return r;
}

WireMessage buildLoginMessage(const LaunchConfig& config, const platform::TextCodec& codec) {
    WireMessage m{};
    m[wire::Cmd] = static_cast<std::uint8_t>(CmdLogin);
    // The status word's low byte would be byte 15; the server reads byte 14.
    m[14] = 1;
    const std::string name = codec.toGbk(config.loginName);
    const std::string pass = codec.toGbk(config.loginPassword);
    std::memcpy(&m[16], name.data(), std::min(name.size(), LoginNameMaxBytes));
    std::memcpy(&m[32], pass.data(), std::min(pass.size(), LoginPasswordMaxBytes));
    return m;
}

}  // namespace mj::link
