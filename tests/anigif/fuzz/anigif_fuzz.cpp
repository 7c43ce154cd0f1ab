// anigif_fuzz.cpp: libFuzzer entry over the animated GIF control's whole load
// path: parser, decoder, compositor, mirroring, timer ticks and the encoder.
// Rejecting bad input is fine; a crash or a sanitizer report is a find (keep
// it as a named fixture in tests/anigif/fixtures).
#include <cstddef>
#include <cstdint>

#include "anigif/animated_gif.h"
#include "anigif/frame_decoder.h"
#include "anigif/gif_encoder.h"
#include "anigif/null_gif_host.h"

namespace {

using namespace mj::anigif;

// Smaller caps than the product's keep each run fast; the cap checks are the
// same code. The area caps matter most: every frame is composed on a canvas
// of the logical screen, and a canvas of a million pixels per input held the
// target to a few hundred runs a second.
Limits fuzzLimits() {
    Limits l;
    l.maxSide = 4096;
    l.maxLogicalPixels = 1 << 16;
    l.maxTotalFramePixels = 1 << 18;
    l.maxFrames = 256;
    return l;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    // The last byte picks the control's settings, so they are fuzzed too.
    const uint8_t knobs = size > 0 ? data[size - 1] : 0;

    NullGifHost host(150, 150);
    AnimatedGif gif(host, fuzzLimits());
    gif.setMirrored(knobs & 3);
    gif.setDelayAnimation((knobs >> 2) & 3);
    gif.setStretch((knobs >> 4) % 5);
    if (!gif.loadArray(bytes)) return 0;
    for (int t = 0; t < 40 && host.armed; ++t) {
        host.armed = false;
        gif.timerFired();
        (void)gif.paint();
        if (t == 5) gif.setMirrored((knobs >> 1) & 3);
    }
    gif.setAction(3);
    (void)gif.animatedGif();
    gif.setAction(4);
    gif.setAction(0);
    return 0;
}
