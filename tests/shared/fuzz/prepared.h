// prepared.h: runs each input of a client fuzz target against a state built
// once and put back afterwards (see heap_image.h), instead of building and
// taking down a whole client per input.
//
// MJ_FUZZ_RESET in the environment chooses how:
//   (unset)   the prepared states, put back after every input
//   fresh     a state built for the input alone and taken down after it, as
//             a process that runs only that input would: the way to replay
//             a finding, and the only mode that finds leaks
//   compare   both, one after the other, and a stop with both outcomes when
//             they differ: the check that the reset leaves nothing behind
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "shared/fuzz/heap_image.h"

namespace mj::fuzz {

template <class State>
class Prepared {
public:
    using Make = std::function<std::unique_ptr<State>(int kind)>;
    // What an input did, as far as the world outside the client can tell.
    using Outcome = std::function<std::string(const State&)>;
    // Runs the input; its own handling of an orderly end is part of it.
    using Play = std::function<void(State&)>;

    Prepared(int kinds, Make make, Outcome outcome)
        : kinds_(kinds), make_(std::move(make)), outcome_(std::move(outcome)) {
        const char* mode = std::getenv("MJ_FUZZ_RESET");
        fresh_ = mode && std::strcmp(mode, "fresh") == 0;
        compare_ = mode && std::strcmp(mode, "compare") == 0;
    }

    void run(int kind, const Play& play) {
        if (fresh_) {
            runFresh(kind, play);
        } else if (compare_) {
            const std::string fresh = runFresh(kind, play);
            const std::string image = runImage(kind, play, true);
            if (fresh != image) {
                std::fprintf(stderr,
                             "== the reset client's outcome differs from a fresh one's ==\n"
                             "-- fresh --\n%s\n-- reset --\n%s\n",
                             fresh.c_str(), image.c_str());
                std::abort();
            }
        } else {
            runImage(kind, play, false);
        }
    }

private:
    std::string runFresh(int kind, const Play& play) {
        std::unique_ptr<State> s = make_(kind);
        play(*s);
        return outcome_(*s);
    }

    std::string runImage(int kind, const Play& play, bool wantOutcome) {
        if (states_.empty()) {
            // Each state is built alone in the emptied region, so that an
            // input's restore copies back only the state it plays on.
            states_.reserve(static_cast<std::size_t>(kinds_));
            for (int k = 0; k < kinds_; ++k) {
                heap_image::clear();
                heap_image::Placing placing;
                states_.push_back({make_(k).release(), heap_image::take()});
            }
        }
        const auto& [state, image] = states_[static_cast<std::size_t>(kind)];
        heap_image::restore(image);
        heap_image::Placing placing;
        play(*state);
        // Made on the ordinary heap: the next input takes the region back.
        heap_image::place(false);
        return wantOutcome ? outcome_(*state) : std::string();
    }

    int kinds_;
    Make make_;
    Outcome outcome_;
    bool fresh_ = false;
    bool compare_ = false;
    // Each state lives in the region, in its own image, and is never deleted.
    std::vector<std::pair<State*, int>> states_;
};

}  // namespace mj::fuzz
