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
    bool userMode() const override { return true; }
    int32_t innerWidth() const override { return width_; }
    int32_t innerHeight() const override { return height_; }
    void setSize(int32_t, int32_t) override {}
    bool armTimer(std::chrono::milliseconds) override { return armed = true; }
    void killTimer() override { armed = false; }
    void invalidate() override {}
    void propertyChanged(std::string_view) override {}
    std::optional<std::vector<uint8_t>> readFile(std::string_view) override { return std::nullopt; }
    bool startDownload(std::string_view, std::string_view) override { return false; }
    void cancelDownload(std::string_view) override {}
    void loopsEnded() override {}
    void reportOver(int32_t) override {}
    void remoteLoadComplete(float, float, bool&) override {}
    void remoteLoadFailure() override {}

private:
    int32_t width_;
    int32_t height_;
};

}  // namespace mj::anigif
