// gif_player.h: the animated GIF control placed on a window. It holds the
// control, runs its one timer on the client's clock and hands every painted
// frame to the placed component as its picture, which the window host draws
// stretched to the component's rectangle, transparent where nothing is drawn.
// Hiding the component does not pause the animation: a caller that waits for
// its end must get it also while the window is minimised.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "anigif/animated_gif.h"
#include "platform/clock.h"
#include "platform/controls.h"

namespace mj::anigif {

class GifPlayer final : private AnimatedGifHost {
public:
    // `clock` and `view` must outlive the player.
    GifPlayer(platform::Clock& clock, ui::Component& view);
    ~GifPlayer() override;
    GifPlayer(const GifPlayer&) = delete;
    GifPlayer& operator=(const GifPlayer&) = delete;

    // Loads a GIF held in memory; frame 1 shows at once and, with more than one
    // frame, the animation starts by itself. False (and nothing shown) when no
    // frame could be read.
    bool loadAnimatedGifArray(std::span<const std::uint8_t> bytes);
    // Passes to play before the control stops and clears itself; 0 = forever.
    // A load replaces it with the file's own count, so set it after the load.
    [[nodiscard]] std::int32_t loops() const { return gif_.loops(); }
    void setLoops(std::int32_t count);
    // 0 stopped, 1 playing, 2 paused; written: 0 stop and clear, 1 play,
    // 2 pause, 3 step, 4 restart.
    [[nodiscard]] std::int32_t action() const { return gif_.action(); }
    void setAction(std::int32_t act);
    // Puts nothing into the control: the animation is stopped and dropped and
    // the component shows nothing.
    void erase();

    // Raised once when a finite animation has played its passes and cleared itself.
    std::function<void()> onLoopsEnded;
    // The mouse over the shown picture (an empty control lets it through to
    // what lies behind): the button and shift state as the window gives them,
    // the position in the container's units (twips on a form, pixels in a
    // picture box), rounded down.
    std::function<void()> onClick;
    using MouseHandler = std::function<void(std::int16_t button, std::int16_t shift, float x, float y)>;
    MouseHandler onMouseDown;
    MouseHandler onMouseMove;
    MouseHandler onMouseUp;

    [[nodiscard]] const ui::Component& view() const { return view_; }

private:
    // AnimatedGifHost: the component is the control's surface.
    bool userMode() const override { return true; }
    std::int32_t innerWidth() const override;
    std::int32_t innerHeight() const override;
    void setSize(std::int32_t width, std::int32_t height) override;
    double toContainerX(double pixels) const override { return pixels * unitsPerPixel(); }
    double toContainerY(double pixels) const override { return pixels * unitsPerPixel(); }
    bool armTimer(std::chrono::milliseconds interval) override;
    void killTimer() override;
    void invalidate() override { repaint_ = true; }
    void propertyChanged(std::string_view) override {}
    std::optional<std::vector<std::uint8_t>> readFile(std::string_view) override { return std::nullopt; }
    bool startDownload(std::string_view, std::string_view) override { return false; }
    void cancelDownload(std::string_view) override {}
    void loopsEnded() override;
    void reportOver(std::int32_t) override {}
    void remoteLoadComplete(float, float, bool&) override {}
    void remoteLoadFailure() override {}
    void click() override;
    void mouseDown(std::int16_t button, std::int16_t shift, float x, float y) override;
    void mouseMove(std::int16_t button, std::int16_t shift, float x, float y) override;
    void mouseUp(std::int16_t button, std::int16_t shift, float x, float y) override;

    void tick();
    // Hands the control's picture to the component when it asked for a repaint.
    // Runs after each call into the control, as the control must not be called
    // back from inside its own requests.
    void present();
    double unitsPerPixel() const;

    ui::Component& view_;
    std::unique_ptr<platform::Timer> timer_;
    bool repaint_ = false;
    bool loopsEnded_ = false;
    // Declared last so it is destroyed first: its destructor still stops the timer.
    AnimatedGif gif_;
};

}  // namespace mj::anigif
