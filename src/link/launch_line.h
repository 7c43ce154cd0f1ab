// launch_line.h: the hall's launch line and the login message built from it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_codec.h"
#include "shared/wire.h"

namespace mj::link {

inline constexpr char DefaultHallTitle[] = "曲维山庄";
// Bytes of the login message the name and the password may use: the name
// field is bytes 16-31; the password runs from 32 up to the echo bytes.
inline constexpr std::size_t LoginNameMaxBytes = 16;
inline constexpr std::size_t LoginPasswordMaxBytes = wire::Echo - 32;
inline constexpr std::size_t ProxyCredentialMaxBytes = 255;

struct LaunchConfig {
    bool isSpectator = false;
    std::string loginName;
    std::string loginPassword;
    std::string serverHost;
    int serverPort = 0;
    std::optional<std::string> roomCaption;  // absent: the design-time caption
    int connectMode = 0;
    std::string proxyHost;
    int proxyPort = 0;
    std::string proxyUser;
    std::string proxyPassword;
    bool customHallMode = false;
    std::string hallTitle = DefaultHallTitle;
    std::string windowCaption;
    int propSwitch = 0;
    int propLaunchArg = 0;
    double watchedUserId = 0;  // watching form only
};

enum class LaunchError {
    None,
    Empty,            // no launch line at all
    BadNumber,        // a numeric field that is not a whole number
    BadWatchedId,     // the watched player's id is not a number
    NameTooLong,      // more login name bytes than the message holds
    PasswordTooLong,  // more password bytes than the message holds
    ProxyCredentialTooLong,
    ProxyCredentialNotSingleByte,
    LoginNotGbk,  // the login name or password has characters GBK cannot hold
};
[[nodiscard]] std::string_view toString(LaunchError e);

struct LaunchResult {
    LaunchConfig config;
    LaunchError error = LaunchError::None;
    int badField = 0;  // the field number an error is about
};

// Splits the line into its "$"-ended fields and converts them. The GBK codec
// measures the login and proxy credentials in the bytes they take on the wire.
[[nodiscard]] LaunchResult parseLaunchLine(std::string_view line, const platform::TextCodec& codec);

// The login message: command 18, byte 14 = 1, the name from byte 16 and the
// password from byte 32 in GBK, everything else 0. The caller has checked the
// lengths (parseLaunchLine does).
[[nodiscard]] WireMessage buildLoginMessage(const LaunchConfig& config, const platform::TextCodec& codec);

// A whole number as the launch line writes it: optional blanks and sign,
// digits, within [lo, hi].
[[nodiscard]] std::optional<int> parseWholeNumber(std::string_view text, int lo, int hi);
// The leading number of a text, 0 when there is none (how the custom-hall
// switch is read).
[[nodiscard]] double leadingNumber(std::string_view text);

}  // namespace mj::link
