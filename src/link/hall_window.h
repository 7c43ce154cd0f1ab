// hall_window.h: the hall's window messages and the main window's handling of
// those the hall posts to the client.
#pragma once
#include <cstdint>

namespace mj::link {

class Client;

// A number may mean different things in the two directions.
inline constexpr std::uint32_t HallConnect = 0x16;        // hall -> client: connect and log in
inline constexpr std::uint32_t HallLeaveRequest = 0x303;  // hall -> client: leave when idle
inline constexpr std::uint32_t HallLoggedIn = 0x303;      // client -> hall
inline constexpr std::uint32_t HallLeaveNow = 0x400;      // hall -> client: leave unconditionally
inline constexpr std::uint32_t HallIdle = 0x400;          // client -> hall
inline constexpr std::uint32_t HallStatusQuery = 0x465;   // hall -> client
inline constexpr std::uint32_t HallInGame = 0x465;        // client -> hall
inline constexpr std::uint32_t HallLoggingIn = 0x466;     // client -> hall
inline constexpr std::uint32_t HallHandStarted = 0x467;   // client -> hall
// (HallConnectPending, client -> hall, is 0x16 too; see client.h.)

// The main window's handler of the hall's messages. `sent` is true for a
// message sent rather than posted: the hall posts, while the system sends its
// end-of-session message (also 0x16) and edit messages (0x303 is also the
// clear command), so those are left to the default processing. Returns true
// when the message was the hall's and is handled (the window procedure then
// returns 0); false hands it on to the previous window procedure.
bool mainWindowProc(Client& c, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam, bool sent);

}  // namespace mj::link
