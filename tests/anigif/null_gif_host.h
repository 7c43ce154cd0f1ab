// null_gif_host.h: a host for the animated GIF control that shows nothing and
// only remembers whether its timer is armed; for tests that feed the control
// arbitrary bytes.
#pragma once
#include "anigif/animated_gif.h"

namespace mj::anigif {

class NullGifHost : public AnimatedGifHost {
public:
    NullGifHost(int32_t width, int32_t height) : width_(width), height_(height) {}
    bool armed = false;
    bool user_mode() const override { return true; }
    int32_t inner_width() const override { return width_; }
    int32_t inner_height() const override { return height_; }
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

private:
    int32_t width_;
    int32_t height_;
};

}  // namespace mj::anigif
