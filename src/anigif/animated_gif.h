// animated_gif.h: the animated GIF control. It loads, decodes and composes GIF
// pictures and runs the animation's state; the host (the window that holds the
// control) owns the surface, the timer, files and downloads, and presents the
// composed picture the control hands it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "anigif/frame_decoder.h"
#include "anigif/frame_renderer.h"
#include "anigif/gif_parser.h"

namespace mj::anigif {

// What the control asks of the window that holds it. Every call comes on the
// window thread. The requests (sizes, timer, invalidate, files, downloads) must
// not call back into the control, except that `setSize` may deliver the
// resize event, which the control ignores while it sizes itself. The events
// at the end may call into the control, which looks at its state afresh after each.
class AnimatedGifHost {
public:
    virtual ~AnimatedGifHost() = default;

    // Run time (true) or inside a form designer (false).
    virtual bool userMode() const = 0;
    // The control's inner size in pixels.
    virtual int32_t innerWidth() const = 0;
    virtual int32_t innerHeight() const = 0;
    // The control sets its own size (pixels). The resize event this causes is
    // ignored by the control.
    virtual void setSize(int32_t width, int32_t height) = 0;
    // Pixels to the container's size units, rounded down.
    virtual int32_t toContainerWidth(int32_t pixels) const { return pixels; }
    virtual int32_t toContainerHeight(int32_t pixels) const { return pixels; }
    // Pixels to the container's position units, with fractions.
    virtual double toContainerX(double pixels) const { return pixels; }
    virtual double toContainerY(double pixels) const { return pixels; }

    // The control's one timer. Arming replaces any armed timer; each arming gives
    // at most one `timerFired`, and `killTimer` cancels it. False when no timer
    // could be set.
    virtual bool armTimer(std::chrono::milliseconds interval) = 0;
    virtual void killTimer() = 0;
    // Asks for a repaint; the host then calls `paint()`.
    virtual void invalidate() = 0;
    // A stored setting changed ("AnimatedGIF", "Stretch", "Delay", ...).
    virtual void propertyChanged(std::string_view name) = 0;

    // The whole content of a file, or nothing when it is missing or unreadable.
    virtual std::optional<std::vector<uint8_t>> readFile(std::string_view path) = 0;
    // Starts an asynchronous download of `path` as bytes under `name`; false when
    // it could not start. The outcome comes back through the control's
    // downloadProgressError / downloadComplete.
    virtual bool startDownload(std::string_view path, std::string_view name) = 0;
    virtual void cancelDownload(std::string_view name) = 0;

    // Events of the control.
    virtual void loopsEnded() = 0;
    virtual void reportOver(int32_t frame) = 0;
    virtual void remoteLoadComplete(float gifWidth, float gifHeight, bool& cancel) = 0;
    virtual void remoteLoadFailure() = 0;
    // The mouse over the control: the button and shift state as the container
    // gave them, the position in the container's units rounded down. A host
    // that does not listen leaves them empty.
    virtual void click() {}
    virtual void mouseDown(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) {}
    virtual void mouseMove(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) {}
    virtual void mouseUp(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) {}
};

// The control's stored settings, as the container keeps them by name.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    virtual std::optional<std::vector<uint8_t>> readBytes(std::string_view key) const = 0;
    virtual std::optional<int32_t> readInt(std::string_view key) const = 0;
    virtual std::optional<bool> readBool(std::string_view key) const = 0;
    virtual void writeBytes(std::string_view key, std::span<const uint8_t> value) = 0;
    virtual void writeInt16(std::string_view key, int16_t value) = 0;
    virtual void writeInt32(std::string_view key, int32_t value) = 0;
    virtual void writeBool(std::string_view key, bool value) = 0;
};

enum class PlayState : int32_t { Stopped = 0, Armed = 1, Paused = 2 };

// Values written to Action.
enum class PlayAction : int32_t { StopAndClear = 0, Play = 1, Pause = 2, Step = 3, Restart = 4 };

class AnimatedGif {
public:
    static constexpr int32_t DefaultMinFrameDelay = 50;
    static constexpr int32_t MinFrameDelayFloor = 10;
    static constexpr int32_t MinFrameDelayCeiling = 32700;
    static constexpr std::chrono::milliseconds DeferredDecodeDelay{20};
    static constexpr int32_t MaxLoops = 65535;
    static constexpr int32_t Hit = 3;  // hit-test answer "hit"

    // `host` must outlive the control.
    explicit AnimatedGif(AnimatedGifHost& host, Limits limits = {});
    ~AnimatedGif();
    AnimatedGif(const AnimatedGif&) = delete;
    AnimatedGif& operator=(const AnimatedGif&) = delete;

    // --- properties ---
    // The frame on screen as a one-frame GIF file; empty when nothing is shown.
    std::vector<uint8_t> animatedGif();
    // Loads a GIF file's bytes; nothing (std::nullopt) clears the control.
    void setAnimatedGif(std::optional<std::span<const uint8_t>> gif);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    int32_t frameCount() const;
    int32_t actualWidth() const;
    int32_t actualHeight() const;
    int32_t stretch() const { return static_cast<int32_t>(stretch_); }
    void setStretch(int32_t mode);
    int32_t minFrameDelay() const { return minFrameDelay_; }
    void setMinFrameDelay(int32_t delayMs);
    int32_t loops() const { return loops_; }
    void setLoops(int32_t count);
    int32_t loopsRemaining() const;
    int32_t mirrored() const { return mirrored_; }
    void setMirrored(int32_t style);
    int32_t action() const { return static_cast<int32_t>(playState_); }
    void setAction(int32_t act);
    int32_t delayAnimation() const { return delayAnimation_; }
    void setDelayAnimation(int32_t mode);
    int32_t mousePointer() const { return mousePointer_; }
    void setMousePointer(int32_t pointer);
    // The bytes of the mouse icon's picture file; empty when there is none.
    const std::vector<uint8_t>& mouseIcon() const { return mouseIcon_; }
    // An empty icon also puts the mouse pointer back to 0, the default.
    void setMouseIcon(std::span<const uint8_t> icon);

    // --- methods ---
    // True when frames were found. A missing file or empty data fails and leaves
    // the control empty, like any failed load.
    bool loadFile(std::string_view path);
    bool loadArray(std::span<const uint8_t> bytes);
    void loadRemote(std::string_view path);
    void refresh() { host_.invalidate(); }

    // --- container events ---
    void timerFired();
    void resized();
    void shown();
    void hidden();
    // The picture to present, or null when nothing is shown. Raises reportOver
    // when it is the last frame.
    const Image* paint();
    // Where the host draws the picture: (0, 0) and the scaled logical size. The
    // host scales with smoothing when the size differs from the picture's.
    Rect target() const;
    // The area of the picture that changed since the last call; resets it.
    Rect takeDirty();
    // Hit only where something is shown; an empty control lets clicks through.
    int32_t hitTest() const { return currentFrame_ != 0 ? Hit : 0; }
    // Mouse input from the container, the position in the control's pixels.
    // Passed on as the control's events while it is enabled.
    void clicked();
    void mousePressed(int16_t button, int16_t shift, double x, double y);
    void mouseMoved(int16_t button, int16_t shift, double x, double y);
    void mouseReleased(int16_t button, int16_t shift, double x, double y);
    void downloadProgressError();
    void downloadComplete(std::span<const uint8_t> bytes);
    void readProperties(const PropertyBag& bag);
    void writeProperties(PropertyBag& bag) const;

    // State for tests and the presenter.
    int32_t currentFrame() const { return currentFrame_; }
    const ParsedGif& parsed() const { return gif_; }
    const FrameCell& cell(int32_t frame) const { return cells_.at(static_cast<std::size_t>(frame - 1)); }
    float scaleX() const { return scaleX_; }
    float scaleY() const { return scaleY_; }
    bool decodePending() const { return decodePending_; }
    bool hasSourceBytes() const { return !source_.empty(); }

private:
    enum class TimerUse { None, Advance, DeferredDecode };

    int32_t loadFromSource();
    int32_t loadPicture();
    void timerFiredNow();
    void clearAnimation();
    void decodeRemaining();
    void finishDecoding();
    void finishPendingDecode();
    void start(TimerUse use);
    void stop();
    void stopAndClear();
    std::chrono::milliseconds interval(int32_t frame) const;
    void showFrame(int32_t frame);
    void pauseAround(void (AnimatedGif::*change)(int32_t), int32_t value);
    void changeStretch(int32_t mode);
    void changeMirror(int32_t style);
    bool loadBytes(std::span<const uint8_t> bytes);
    void raiseMouse(void (AnimatedGifHost::*event)(int16_t, int16_t, float, float), int16_t button, int16_t shift,
                    double x, double y);

    AnimatedGifHost& host_;
    Limits limits_;

    // Settings.
    StretchMode stretch_ = StretchMode::Fit;
    int32_t minFrameDelay_ = DefaultMinFrameDelay;
    int32_t delayAnimation_ = 1;
    int32_t mirrored_ = 0;
    bool enabled_ = true;
    int32_t mousePointer_ = 0;
    std::vector<uint8_t> mouseIcon_;
    int32_t loops_ = 0;

    // Picture.
    std::vector<uint8_t> source_;
    ParsedGif gif_;
    std::vector<FrameCell> cells_;
    std::vector<uint8_t> cellOrientation_;  // flips each decoded cell stands in
    FrameDecoder decoder_;
    Compositor compositor_;
    int32_t parsedFrameCount_ = 0;
    std::size_t decodedCount_ = 0;
    bool decodePending_ = false;
    float scaleX_ = 0, scaleY_ = 0;
    Rect dirty_;

    // Animation.
    PlayState playState_ = PlayState::Stopped;
    TimerUse timerUse_ = TimerUse::None;
    int32_t currentFrame_ = 0;
    int32_t loopsPlayed_ = 0;
    bool inResize_ = false;
};

}  // namespace mj::anigif
