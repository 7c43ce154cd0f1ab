// dispatch_state.h: what the command handlers keep between messages.
#pragma once

namespace mj::dispatch {

struct DispatchState {};

}  // namespace mj::dispatch
