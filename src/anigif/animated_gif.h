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
// not call back into the control, except that `set_size` may deliver the
// resize event, which the control ignores while it sizes itself. The events
// at the end may call into the control, which looks at its state afresh after each.
class AnimatedGifHost {
public:
    virtual ~AnimatedGifHost() = default;

    // Run time (true) or inside a form designer (false).
    virtual bool user_mode() const = 0;
    // The control's inner size in pixels.
    virtual int32_t inner_width() const = 0;
    virtual int32_t inner_height() const = 0;
    // The control sets its own size (pixels). The resize event this causes is
    // ignored by the control.
    virtual void set_size(int32_t width, int32_t height) = 0;
    // Pixels to the container's size units, rounded down.
    virtual int32_t to_container_width(int32_t pixels) const { return pixels; }
    virtual int32_t to_container_height(int32_t pixels) const { return pixels; }

    // The control's one timer. Arming replaces any armed timer; each arming gives
    // at most one `timer_fired`, and `kill_timer` cancels it. False when no timer
    // could be set.
    virtual bool arm_timer(std::chrono::milliseconds interval) = 0;
    virtual void kill_timer() = 0;
    // Asks for a repaint; the host then calls `paint()`.
    virtual void invalidate() = 0;
    // A stored setting changed ("AnimatedGIF", "Stretch", "Delay", ...).
    virtual void property_changed(std::string_view name) = 0;

    // The whole content of a file, or nothing when it is missing or unreadable.
    virtual std::optional<std::vector<uint8_t>> read_file(std::string_view path) = 0;
    // Starts an asynchronous download of `path` as bytes under `name`; false when
    // it could not start. The outcome comes back through the control's
    // download_progress_error / download_complete.
    virtual bool start_download(std::string_view path, std::string_view name) = 0;
    virtual void cancel_download(std::string_view name) = 0;

    // Events of the control.
    virtual void loops_ended() = 0;
    virtual void report_over(int32_t frame) = 0;
    virtual void remote_load_complete(float gif_width, float gif_height, bool& cancel) = 0;
    virtual void remote_load_failure() = 0;
};

// The control's stored settings, as the container keeps them by name.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    virtual std::optional<std::vector<uint8_t>> read_bytes(std::string_view key) const = 0;
    virtual std::optional<int32_t> read_int(std::string_view key) const = 0;
    virtual std::optional<bool> read_bool(std::string_view key) const = 0;
    virtual void write_bytes(std::string_view key, std::span<const uint8_t> value) = 0;
    virtual void write_int16(std::string_view key, int16_t value) = 0;
    virtual void write_int32(std::string_view key, int32_t value) = 0;
    virtual void write_bool(std::string_view key, bool value) = 0;
};

enum class PlayState : int32_t { Stopped = 0, Armed = 1, Paused = 2 };

// Values written to Action.
enum class PlayAction : int32_t { StopAndClear = 0, Play = 1, Pause = 2, Step = 3, Restart = 4 };

class AnimatedGif {
public:
    static constexpr int32_t kDefaultMinFrameDelay = 50;
    static constexpr int32_t kMinFrameDelayFloor = 10;
    static constexpr int32_t kMinFrameDelayCeiling = 32700;
    static constexpr std::chrono::milliseconds kDeferredDecodeDelay{20};
    static constexpr int32_t kMaxLoops = 65535;
    static constexpr int32_t kHit = 3;  // hit-test answer "hit"

    // `host` must outlive the control.
    explicit AnimatedGif(AnimatedGifHost& host, Limits limits = {});
    ~AnimatedGif();
    AnimatedGif(const AnimatedGif&) = delete;
    AnimatedGif& operator=(const AnimatedGif&) = delete;

    // --- properties ---
    // The frame on screen as a one-frame GIF file; empty when nothing is shown.
    std::vector<uint8_t> animated_gif();
    // Loads a GIF file's bytes; nothing (std::nullopt) clears the control.
    void set_animated_gif(std::optional<std::span<const uint8_t>> gif);
    bool enabled() const { return enabled_; }
    void set_enabled(bool enabled);
    int32_t frame_count() const;
    int32_t actual_width() const;
    int32_t actual_height() const;
    int32_t stretch() const { return static_cast<int32_t>(stretch_); }
    void set_stretch(int32_t mode);
    int32_t min_frame_delay() const { return min_frame_delay_; }
    void set_min_frame_delay(int32_t delay_ms);
    int32_t loops() const { return loops_; }
    void set_loops(int32_t count);
    int32_t loops_remaining() const;
    int32_t mirrored() const { return mirrored_; }
    void set_mirrored(int32_t style);
    int32_t action() const { return static_cast<int32_t>(play_state_); }
    void set_action(int32_t act);
    int32_t delay_animation() const { return delay_animation_; }
    void set_delay_animation(int32_t mode);
    int32_t mouse_pointer() const { return mouse_pointer_; }
    void set_mouse_pointer(int32_t pointer);

    // --- methods ---
    // True when frames were found. A missing file or empty data fails and leaves
    // the control empty, like any failed load.
    bool load_file(std::string_view path);
    bool load_array(std::span<const uint8_t> bytes);
    void load_remote(std::string_view path);
    void refresh() { host_.invalidate(); }

    // --- container events ---
    void timer_fired();
    void resized();
    void shown();
    void hidden();
    // The picture to present, or null when nothing is shown. Raises report_over
    // when it is the last frame.
    const Image* paint();
    // Where the host draws the picture: (0, 0) and the scaled logical size. The
    // host scales with smoothing when the size differs from the picture's.
    Rect target() const;
    // The area of the picture that changed since the last call; resets it.
    Rect take_dirty();
    // Hit only where something is shown; an empty control lets clicks through.
    int32_t hit_test() const { return current_frame_ != 0 ? kHit : 0; }
    void download_progress_error();
    void download_complete(std::span<const uint8_t> bytes);
    void read_properties(const PropertyBag& bag);
    void write_properties(PropertyBag& bag) const;

    // State for tests and the presenter.
    int32_t current_frame() const { return current_frame_; }
    const ParsedGif& parsed() const { return gif_; }
    const FrameCell& cell(int32_t frame) const { return cells_.at(static_cast<std::size_t>(frame - 1)); }
    float scale_x() const { return scale_x_; }
    float scale_y() const { return scale_y_; }
    bool decode_pending() const { return decode_pending_; }
    bool has_source_bytes() const { return !source_.empty(); }

private:
    enum class TimerUse { None, Advance, DeferredDecode };

    int32_t load_from_source();
    int32_t load_picture();
    void timer_fired_now();
    void clear_animation();
    void decode_remaining();
    void finish_decoding();
    void finish_pending_decode();
    void start(TimerUse use);
    void stop();
    void stop_and_clear();
    std::chrono::milliseconds interval(int32_t frame) const;
    void show_frame(int32_t frame);
    void pause_around(void (AnimatedGif::*change)(int32_t), int32_t value);
    void change_stretch(int32_t mode);
    void change_mirror(int32_t style);
    bool load_bytes(std::span<const uint8_t> bytes);

    AnimatedGifHost& host_;
    Limits limits_;

    // Settings.
    StretchMode stretch_ = StretchMode::Fit;
    int32_t min_frame_delay_ = kDefaultMinFrameDelay;
    int32_t delay_animation_ = 1;
    int32_t mirrored_ = 0;
    bool enabled_ = true;
    int32_t mouse_pointer_ = 0;
    int32_t loops_ = 0;

    // Picture.
    std::vector<uint8_t> source_;
    ParsedGif gif_;
    std::vector<FrameCell> cells_;
    std::vector<uint8_t> cell_orientation_;  // flips each decoded cell stands in
    FrameDecoder decoder_;
    Compositor compositor_;
    int32_t parsed_frame_count_ = 0;
    std::size_t decoded_count_ = 0;
    bool decode_pending_ = false;
    float scale_x_ = 0, scale_y_ = 0;
    Rect dirty_;

    // Animation.
    PlayState play_state_ = PlayState::Stopped;
    TimerUse timer_use_ = TimerUse::None;
    int32_t current_frame_ = 0;
    int32_t loops_played_ = 0;
    bool in_resize_ = false;
};

}  // namespace mj::anigif
