// anigif_fuzz.cpp: libFuzzer entry over the animated GIF control's whole load
// path: parser, decoder, compositor, mirroring, timer ticks and the encoder.
// Rejecting bad input is fine; a crash or a sanitizer report is a find (keep
// it as a named fixture in tests/anigif/fixtures).
#include <cstddef>
#include <cstdint>

#include "anigif/animated_gif.h"
#include "anigif/frame_decoder.h"
#include "anigif/gif_encoder.h"

namespace {

using namespace mj::anigif;

class NullHost : public AnimatedGifHost {
 public:
  bool armed = false;
  bool user_mode() const override { return true; }
  int32_t inner_width() const override { return 150; }
  int32_t inner_height() const override { return 150; }
  void set_size(int32_t, int32_t) override {}
  bool arm_timer(std::chrono::milliseconds) override { return armed = true; }
  void kill_timer() override { armed = false; }
  void invalidate() override {}
  void property_changed(std::string_view) override {}
  std::optional<std::vector<uint8_t>> read_file(std::string_view) override { return std::nullopt; }
  bool start_download(std::string_view, std::string_view) override { return false; }
  void cancel_download(std::string_view) override {}
  void loops_ended() override {}
  void report_over(int32_t) override {}
  void remote_load_complete(float, float, bool&) override {}
  void remote_load_failure() override {}
};

// Smaller caps than the product's keep each run fast; the cap checks are the
// same code.
Limits fuzz_limits() {
  Limits l;
  l.max_side = 4096;
  l.max_logical_pixels = 1 << 20;
  l.max_total_frame_pixels = 1 << 22;
  l.max_frames = 256;
  return l;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  // The last byte picks the control's settings, so they are fuzzed too.
  const uint8_t knobs = size > 0 ? data[size - 1] : 0;

  NullHost host;
  AnimatedGif gif(host, fuzz_limits());
  gif.set_mirrored(knobs & 3);
  gif.set_delay_animation((knobs >> 2) & 3);
  gif.set_stretch((knobs >> 4) % 5);
  if (!gif.load_array(bytes)) return 0;
  for (int t = 0; t < 40 && host.armed; ++t) {
    host.armed = false;
    gif.timer_fired();
    (void)gif.paint();
    if (t == 5) gif.set_mirrored((knobs >> 1) & 3);
  }
  gif.set_action(3);
  (void)gif.animated_gif();
  gif.set_action(4);
  gif.set_action(0);
  return 0;
}
