// reconnect.h: the attempts to get the table back after the game link was
// lost, with the session key the server gave between hands.
#pragma once
#include <array>
#include <cstdint>

#include "shared/wire.h"

namespace mj::link {

class Client;

// Attempts after one loss of the link; the next tick after the last one gives up.
inline constexpr int ReconnectAttempts = 21;
inline constexpr char ReconnectingStripText[] = "正在重新连接服务器...";
inline constexpr char ReconnectFailedText[] = "重连失败，请检查您的网络！";

// The login message turned into a reconnect request: the command, the echo of
// the last server message and the session key, its bytes as received. The
// login message itself is left as built, so a fresh connect still logs in.
[[nodiscard]] WireMessage reconnectMessage(const WireMessage& login, const std::array<std::uint8_t, 2>& echo,
                                           const std::array<std::uint8_t, 4>& sessionKey);

// One attempt: a new connection that sends the reconnect request first.
void reconnectServer(Client& c);

// Fills the client's reconnect seam with the hidden controller: one second
// after the loss, then every three seconds while the socket is down, one
// attempt, at most ReconnectAttempts before the server accepts a reconnect.
void installReconnect(Client& c);

}  // namespace mj::link
