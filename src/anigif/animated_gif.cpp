// animated_gif.cpp: load paths, play control, timer ticks and stored settings
// of the animated GIF control.
#include "anigif/animated_gif.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "anigif/gif_encoder.h"

namespace mj::anigif {
namespace {

constexpr std::string_view kDownloadName = "remoteGIF";

bool gif_signature(std::span<const uint8_t> bytes) {
    if (bytes.size() < 6) return false;
    char sig[6];
    for (int i = 0; i < 6; ++i) {
        uint8_t c = bytes[static_cast<std::size_t>(i)];
        if (c >= 'A' && c <= 'Z') c = static_cast<uint8_t>(c - 'A' + 'a');
        sig[i] = static_cast<char>(c);
    }
    const std::string_view s(sig, 6);
    return s == "gif89a" || s == "gif87a";
}

int32_t clamp_loops(int64_t count) {
    return static_cast<int32_t>(std::min<int64_t>(std::llabs(count), AnimatedGif::kMaxLoops));
}

}  // namespace

AnimatedGif::AnimatedGif(AnimatedGifHost& host, Limits limits) : host_(host), limits_(limits) {}

AnimatedGif::~AnimatedGif() { clear_animation(); }

// ---- properties ----

std::vector<uint8_t> AnimatedGif::animated_gif() {
    if (current_frame_ == 0) return {};
    const auto i = static_cast<std::size_t>(current_frame_ - 1);
    const FrameRecord& f = gif_.frames[i];
    try {
        return encode_frame_as_gif(f, gif_.palettes.at(static_cast<std::size_t>(f.palette)), cells_[i].indices);
    } catch (const std::bad_alloc&) {
        return {};  // no picture rather than an error out of a property read
    }
}

void AnimatedGif::set_animated_gif(std::optional<std::span<const uint8_t>> gif) {
    if (gif)
        source_.assign(gif->begin(), gif->end());
    else
        source_.clear();
    const int32_t n = load_from_source();
    if (!host_.user_mode() && n > 0) {
        // At design time the control takes the picture's own size.
        const StretchMode saved = stretch_;
        stretch_ = StretchMode::Natural;
        resized();
        stretch_ = saved;
        scale_x_ = scale_y_ = 1;
    }
    host_.invalidate();
    host_.property_changed("AnimatedGIF");
}

void AnimatedGif::set_enabled(bool enabled) {
    enabled_ = enabled;
    host_.property_changed("Enabled");
}

int32_t AnimatedGif::frame_count() const { return current_frame_ != 0 ? static_cast<int32_t>(gif_.frames.size()) : 0; }

int32_t AnimatedGif::actual_width() const { return host_.to_container_width(gif_.width); }
int32_t AnimatedGif::actual_height() const { return host_.to_container_height(gif_.height); }

void AnimatedGif::set_stretch(int32_t mode) {
    if (mode < 0 || mode > 4 || mode == static_cast<int32_t>(stretch_)) return;
    pause_around(&AnimatedGif::change_stretch, mode);
    host_.property_changed("Stretch");
}

void AnimatedGif::change_stretch(int32_t mode) {
    stretch_ = static_cast<StretchMode>(mode);
    resized();
}

void AnimatedGif::set_min_frame_delay(int32_t delay_ms) {
    const int32_t d = std::clamp(delay_ms, kMinFrameDelayFloor, kMinFrameDelayCeiling);
    if (d == min_frame_delay_) return;
    min_frame_delay_ = d;
    host_.property_changed("Delay");
}

void AnimatedGif::set_loops(int32_t count) {
    if (count == loops_) return;
    loops_ = clamp_loops(count);
    host_.property_changed("Loops");
}

int32_t AnimatedGif::loops_remaining() const {
    if (current_frame_ == 0) return -1;
    if (loops_ == 0) return 0;
    return loops_ - loops_played_;
}

void AnimatedGif::set_mirrored(int32_t style) {
    if (style < 0 || style > 3) return;
    if (current_frame_ == 0) {
        mirrored_ = style;
    } else if (style != mirrored_) {
        pause_around(&AnimatedGif::change_mirror, style);
    } else {
        return;
    }
    host_.property_changed("Mirrored");
}

void AnimatedGif::change_mirror(int32_t style) {
    for (std::size_t i = 0; i < decoded_count_; ++i) {
        mirror_frame(gif_.frames[i], cells_[i], cell_orientation_[i] ^ style, gif_.width, gif_.height);
        cell_orientation_[i] = static_cast<uint8_t>(style);
    }
    compositor_.mirror(mirrored_ ^ style);
    dirty_ = {0, 0, gif_.width, gif_.height};
    mirrored_ = style;
}

// Stretch and mirror changes pause around the change and then resume, so a
// still picture stays on screen with the new geometry.
void AnimatedGif::pause_around(void (AnimatedGif::*change)(int32_t), int32_t value) {
    finish_pending_decode();
    const bool was_playing = play_state_ == PlayState::Armed;
    set_action(static_cast<int32_t>(PlayAction::Pause));
    (this->*change)(value);
    if (was_playing)
        set_action(static_cast<int32_t>(PlayAction::Play));
    else
        host_.invalidate();
}

void AnimatedGif::set_action(int32_t act) {
    if (!host_.user_mode() || current_frame_ == 0 || act < 0 || act > 4) return;
    // A pending deferred decode is finished first, so no action leaves frames
    // undecoded.
    finish_pending_decode();
    if (current_frame_ == 0) return;
    switch (static_cast<PlayAction>(act)) {
    case PlayAction::StopAndClear:
        stop_and_clear();
        return;
    case PlayAction::Play:
        start(TimerUse::Advance);
        return;
    case PlayAction::Pause:
        if (play_state_ != PlayState::Stopped) {
            stop();
            play_state_ = PlayState::Paused;
        }
        return;
    case PlayAction::Step: {
        stop();
        const int32_t next = current_frame_ + 1 > static_cast<int32_t>(gif_.frames.size()) ? 1 : current_frame_ + 1;
        show_frame(next);
        host_.invalidate();
        play_state_ = PlayState::Paused;
        return;
    }
    case PlayAction::Restart:
        stop();
        loops_played_ = 0;
        show_frame(1);
        host_.invalidate();
        start(TimerUse::Advance);
        return;
    }
}

void AnimatedGif::set_delay_animation(int32_t mode) {
    if (mode < 0 || mode > 3 || mode == delay_animation_) return;
    delay_animation_ = mode;
    host_.property_changed("DelayAnimation");
}

void AnimatedGif::set_mouse_pointer(int32_t pointer) {
    mouse_pointer_ = pointer;
    host_.property_changed("MousePointer");
}

// ---- loads ----

bool AnimatedGif::load_bytes(std::span<const uint8_t> bytes) {
    // Missing or empty data fails like any unreadable picture: the control is
    // emptied, and the previous picture is never loaded again in its place.
    source_.assign(bytes.begin(), bytes.end());
    const int32_t n = load_from_source();
    if (n > 0 &&
        (stretch_ == StretchMode::Fit || stretch_ == StretchMode::FitNoEnlarge || stretch_ == StretchMode::Natural))
        resized();
    return n > 0;
}

bool AnimatedGif::load_file(std::string_view path) {
    const auto bytes = host_.read_file(path);
    return load_bytes(bytes ? std::span<const uint8_t>(*bytes) : std::span<const uint8_t>());
}

bool AnimatedGif::load_array(std::span<const uint8_t> bytes) { return load_bytes(bytes); }

void AnimatedGif::load_remote(std::string_view path) {
    if (path.empty()) return;
    if (!host_.start_download(path, kDownloadName)) host_.remote_load_failure();
}

void AnimatedGif::download_progress_error() {
    host_.cancel_download(kDownloadName);
    host_.remote_load_failure();
}

void AnimatedGif::download_complete(std::span<const uint8_t> bytes) {
    // The header is judged on the download itself; the picture on screen and
    // its bytes are untouched until the load really starts.
    if (bytes.size() <= 14 || !gif_signature(bytes)) {
        host_.remote_load_failure();
        return;
    }
    const int32_t w = bytes[6] | (bytes[7] << 8), h = bytes[8] | (bytes[9] << 8);
    bool cancel = false;
    host_.remote_load_complete(static_cast<float>(host_.to_container_width(w)),
                               static_cast<float>(host_.to_container_height(h)), cancel);
    if (!cancel) load_bytes(bytes);
}

int32_t AnimatedGif::load_from_source() {
    // Memory running out while a picture is decoded fails the load; it never
    // leaves the control half-built or ends the program.
    try {
        return load_picture();
    } catch (const std::bad_alloc&) {
        source_.clear();
        clear_animation();
        return 0;
    }
}

int32_t AnimatedGif::load_picture() {
    clear_animation();
    loops_ = 0;
    scale_x_ = scale_y_ = 0;
    loops_played_ = 0;
    if (source_.empty()) {
        clear_animation();
        return 0;
    }
    gif_ = parse_gif(source_, limits_);
    parsed_frame_count_ = static_cast<int32_t>(gif_.frames.size());
    if (gif_.frames.empty()) {
        source_.clear();
        clear_animation();
        return 0;
    }
    const std::size_t n = gif_.frames.size();
    loops_ = gif_.loops;
    cells_.assign(n, FrameCell{});
    cell_orientation_.assign(n, 0);
    compositor_.reset(gif_.width, gif_.height);
    cells_[0] = decoder_.decode(gif_, source_, 0);
    mirror_frame(gif_.frames[0], cells_[0], mirrored_, gif_.width, gif_.height);
    cell_orientation_[0] = static_cast<uint8_t>(mirrored_);
    decoded_count_ = 1;

    current_frame_ = 1;
    const StretchResult s =
        compute_stretch(stretch_, host_.inner_width(), host_.inner_height(), gif_.width, gif_.height);
    scale_x_ = s.scale_x;
    scale_y_ = s.scale_y;
    dirty_ = {};
    show_frame(1);

    if (!host_.user_mode()) {
        finish_decoding();  // a form designer shows frame 1 only
    } else if (delay_animation_ == 0 || n == 1) {
        decode_remaining();
        finish_decoding();
    } else {
        // Frame 1 shows at once; the rest decode from a short one-shot.
        decode_pending_ = true;
        start(TimerUse::DeferredDecode);
        if (play_state_ != PlayState::Armed) {
            decode_remaining();
            finish_decoding();
        }
    }
    host_.invalidate();
    return static_cast<int32_t>(n);
}

void AnimatedGif::clear_animation() {
    stop();
    gif_ = ParsedGif{};
    cells_.clear();
    cell_orientation_.clear();
    decoded_count_ = 0;
    decode_pending_ = false;
    current_frame_ = 0;
    compositor_.reset(0, 0);
    dirty_ = {};
}

void AnimatedGif::decode_remaining() {
    for (std::size_t i = decoded_count_; i < gif_.frames.size(); ++i) {
        cells_[i] = decoder_.decode(gif_, source_, i);
        mirror_frame(gif_.frames[i], cells_[i], mirrored_, gif_.width, gif_.height);
        cell_orientation_[i] = static_cast<uint8_t>(mirrored_);
    }
    decoded_count_ = gif_.frames.size();
}

void AnimatedGif::finish_decoding() {
    decode_pending_ = false;
    if (!host_.user_mode()) return;  // the designer keeps the bytes to store them
    source_.clear();
    source_.shrink_to_fit();
    if (!(delay_animation_ & 2)) start(TimerUse::Advance);
}

void AnimatedGif::finish_pending_decode() {
    if (!decode_pending_) return;
    timer_fired_now();
}

// The deferred decode's tick, run early.
void AnimatedGif::timer_fired_now() {
    stop();
    timer_use_ = TimerUse::DeferredDecode;
    timer_fired();
}

// ---- animation ----

std::chrono::milliseconds AnimatedGif::interval(int32_t frame) const {
    const int32_t delay = gif_.frames.at(static_cast<std::size_t>(frame - 1)).delay_ms;
    return std::chrono::milliseconds(std::max(delay, min_frame_delay_));
}

void AnimatedGif::start(TimerUse use) {
    if (play_state_ == PlayState::Armed) return;
    play_state_ = PlayState::Stopped;
    if (current_frame_ == 0 || !host_.user_mode()) return;
    if (use == TimerUse::Advance && gif_.frames.size() <= 1) return;
    if (!host_.arm_timer(use == TimerUse::DeferredDecode ? kDeferredDecodeDelay : interval(current_frame_))) return;
    timer_use_ = use;
    play_state_ = PlayState::Armed;
}

void AnimatedGif::stop() {
    if (timer_use_ != TimerUse::None) host_.kill_timer();
    timer_use_ = TimerUse::None;
    play_state_ = PlayState::Stopped;
}

void AnimatedGif::stop_and_clear() {
    stop();
    loops_played_ = 0;
    current_frame_ = 0;
    dirty_ = {0, 0, gif_.width, gif_.height};
    host_.invalidate();
}

void AnimatedGif::show_frame(int32_t frame) {
    current_frame_ = frame;
    dirty_ = united(dirty_, compositor_.compose(gif_, cells_, static_cast<std::size_t>(frame - 1)));
}

void AnimatedGif::timer_fired() {
    const TimerUse use = timer_use_;
    timer_use_ = TimerUse::None;  // every arming is a one-shot
    if (use == TimerUse::DeferredDecode) {
        play_state_ = PlayState::Stopped;
        try {
            decode_remaining();
        } catch (const std::bad_alloc&) {
            source_.clear();
            clear_animation();
            host_.invalidate();
            return;
        }
        finish_decoding();
        return;
    }
    if (use != TimerUse::Advance || current_frame_ == 0) return;  // a tick that was already cancelled

    int32_t next = current_frame_ + 1;
    if (next > static_cast<int32_t>(gif_.frames.size())) {
        next = 1;
        if (loops_ != 0 && ++loops_played_ >= loops_) {
            // A finite animation clears itself when frame 1 would come back.
            stop_and_clear();
            host_.loops_ended();
            return;
        }
    }
    show_frame(next);
    host_.invalidate();
    if (host_.arm_timer(interval(current_frame_)))
        timer_use_ = TimerUse::Advance;
    else
        play_state_ = PlayState::Stopped;
}

// ---- container events ----

void AnimatedGif::resized() {
    if (in_resize_ || current_frame_ == 0) return;
    const StretchResult s =
        compute_stretch(stretch_, host_.inner_width(), host_.inner_height(), gif_.width, gif_.height);
    scale_x_ = s.scale_x;
    scale_y_ = s.scale_y;
    in_resize_ = true;
    host_.set_size(s.width, s.height);
    in_resize_ = false;
    dirty_ = {0, 0, gif_.width, gif_.height};
}

void AnimatedGif::shown() { start(TimerUse::Advance); }

void AnimatedGif::hidden() { set_action(static_cast<int32_t>(PlayAction::Pause)); }

const Image* AnimatedGif::paint() {
    if (current_frame_ == 0) return nullptr;
    if (current_frame_ == parsed_frame_count_) host_.report_over(current_frame_);
    return current_frame_ != 0 ? &compositor_.image() : nullptr;
}

Rect AnimatedGif::target() const {
    if (current_frame_ == 0) return {};
    return {0, 0, scaled(scale_x_, gif_.width), scaled(scale_y_, gif_.height)};
}

Rect AnimatedGif::take_dirty() {
    const Rect r = dirty_;
    dirty_ = {};
    return r;
}

// ---- stored settings ----

void AnimatedGif::read_properties(const PropertyBag& bag) {
    // Stored values are checked like the setters check them; anything out of
    // range falls back to the default.
    if (auto gif = bag.read_bytes("GIF")) source_ = std::move(*gif);
    if (auto v = bag.read_int("Delay"); v && *v >= kMinFrameDelayFloor && *v <= kMinFrameDelayCeiling)
        min_frame_delay_ = *v;
    const auto stretch = bag.read_int("Stretch");
    stretch_ = static_cast<StretchMode>(stretch && *stretch >= 0 && *stretch <= 4 ? *stretch : 1);
    auto delay_load = bag.read_int("DelayLoad");
    if (delay_load == -1) delay_load = 1;
    delay_animation_ = delay_load && *delay_load >= 0 && *delay_load <= 3 ? *delay_load : 1;
    const auto mirror = bag.read_int("Mirror");
    mirrored_ = mirror && *mirror >= 0 && *mirror <= 3 ? *mirror : 0;
    enabled_ = bag.read_bool("Enabled").value_or(true);
    mouse_pointer_ = bag.read_int("MousePointer").value_or(0);
    if (load_from_source() > 0) {
        if (auto loops = bag.read_int("Loops")) loops_ = clamp_loops(*loops);
    }
}

void AnimatedGif::write_properties(PropertyBag& bag) const {
    bag.write_bytes("GIF", source_);
    if (min_frame_delay_ != kDefaultMinFrameDelay) bag.write_int16("Delay", static_cast<int16_t>(min_frame_delay_));
    if (stretch_ != StretchMode::Fit) bag.write_int32("Stretch", static_cast<int32_t>(stretch_));
    // Always written: a stored 0 (forever) must not read back as the file's count.
    bag.write_int32("Loops", loops_);
    if (delay_animation_ != 1) bag.write_int32("DelayLoad", delay_animation_);
    if (mirrored_ != 0) bag.write_int32("Mirror", mirrored_);
    if (mouse_pointer_ != 0) bag.write_int16("MousePointer", static_cast<int16_t>(mouse_pointer_));
    if (!enabled_) bag.write_bool("Enabled", enabled_);
}

}  // namespace mj::anigif
