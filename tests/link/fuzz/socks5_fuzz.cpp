// socks5_fuzz.cpp: the SOCKS5 reply byte machine fed arbitrary replies in
// arbitrary splits. Input: byte 0 picks the credentials (with or without a
// user name), then runs of [length byte][that many reply bytes].
// Finds: a crash, a request sent after the end, or split-dependent results:
// the same bytes fed in one piece must end in the same step and error.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "link/proxy.h"

namespace {
using mj::link::Socks5Handshake;
using mj::link::Socks5Request;
using mj::link::Socks5Step;

struct Run {
    Socks5Step step;
    mj::link::Socks5Error error;
    std::vector<std::uint8_t> sent;
    std::vector<std::uint8_t> surplus;
};

Run feedAll(const Socks5Request& r, const std::vector<std::vector<std::uint8_t>>& pieces) {
    Socks5Handshake h;
    Run run{Socks5Step::Idle, mj::link::Socks5Error::None, h.start(r), {}};
    for (const auto& p : pieces) {
        const bool finished = h.step() == Socks5Step::Done || h.step() == Socks5Step::Failed;
        auto out = h.feed(p);
        if (finished && !out.send.empty()) std::abort();  // nothing goes out after the end
        run.sent.insert(run.sent.end(), out.send.begin(), out.send.end());
        run.surplus.insert(run.surplus.end(), out.surplus.begin(), out.surplus.end());
    }
    run.step = h.step();
    run.error = h.error();
    return run;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const Socks5Request r =
        (data[0] & 1) ? Socks5Request{"10.0.0.5", 443, "gamer", "s3cret"} : Socks5Request{"game.example", 9000, "", ""};
    std::vector<std::vector<std::uint8_t>> pieces;
    std::vector<std::uint8_t> whole;
    for (std::size_t at = 1; at < size;) {
        const std::size_t n = std::min<std::size_t>(data[at], size - at - 1);
        pieces.emplace_back(data + at + 1, data + at + 1 + n);
        whole.insert(whole.end(), data + at + 1, data + at + 1 + n);
        at += 1 + n;
    }
    const Run split = feedAll(r, pieces);
    const Run once = feedAll(r, {whole});
    if (split.step != once.step || split.error != once.error || split.sent != once.sent) std::abort();
    if (split.step == Socks5Step::Done && split.surplus != once.surplus) std::abort();
    return 0;
}
