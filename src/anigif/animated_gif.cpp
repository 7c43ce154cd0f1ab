// animated_gif.cpp: load paths, play control, timer ticks and stored settings
// of the animated GIF control.
#include "anigif/animated_gif.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "anigif/gif_encoder.h"

namespace mj::anigif {
namespace {

constexpr std::string_view DownloadName = "remoteGIF";

bool gifSignature(std::span<const uint8_t> bytes) {
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

int32_t clampLoops(int64_t count) {
    return static_cast<int32_t>(std::min<int64_t>(std::llabs(count), AnimatedGif::MaxLoops));
}

}  // namespace

AnimatedGif::AnimatedGif(AnimatedGifHost& host, Limits limits) : host_(host), limits_(limits) {}

AnimatedGif::~AnimatedGif() { clearAnimation(); }

// ---- properties ----

std::vector<uint8_t> AnimatedGif::animatedGif() {
    if (currentFrame_ == 0) return {};
    const auto i = static_cast<std::size_t>(currentFrame_ - 1);
    const FrameRecord& f = gif_.frames[i];
    try {
        return encodeFrameAsGif(f, gif_.palettes.at(static_cast<std::size_t>(f.palette)), cells_[i].indices);
    } catch (const std::bad_alloc&) {
        return {};  // no picture rather than an error out of a property read
    }
}

void AnimatedGif::setAnimatedGif(std::optional<std::span<const uint8_t>> gif) {
    if (gif)
        source_.assign(gif->begin(), gif->end());
    else
        source_.clear();
    const int32_t n = loadFromSource();
    if (!host_.userMode() && n > 0) {
        // At design time the control takes the picture's own size.
        const StretchMode saved = stretch_;
        stretch_ = StretchMode::Natural;
        resized();
        stretch_ = saved;
        scaleX_ = scaleY_ = 1;
    }
    host_.invalidate();
    host_.propertyChanged("AnimatedGIF");
}

void AnimatedGif::setEnabled(bool enabled) {
    enabled_ = enabled;
    host_.propertyChanged("Enabled");
}

int32_t AnimatedGif::frameCount() const { return currentFrame_ != 0 ? static_cast<int32_t>(gif_.frames.size()) : 0; }

int32_t AnimatedGif::actualWidth() const { return host_.toContainerWidth(gif_.width); }
int32_t AnimatedGif::actualHeight() const { return host_.toContainerHeight(gif_.height); }

void AnimatedGif::setStretch(int32_t mode) {
    if (mode < 0 || mode > 4 || mode == static_cast<int32_t>(stretch_)) return;
    pauseAround(&AnimatedGif::changeStretch, mode);
    host_.propertyChanged("Stretch");
}

void AnimatedGif::changeStretch(int32_t mode) {
    stretch_ = static_cast<StretchMode>(mode);
    resized();
}

void AnimatedGif::setMinFrameDelay(int32_t delayMs) {
    const int32_t d = std::clamp(delayMs, MinFrameDelayFloor, MinFrameDelayCeiling);
    if (d == minFrameDelay_) return;
    minFrameDelay_ = d;
    host_.propertyChanged("Delay");
}

void AnimatedGif::setLoops(int32_t count) {
    if (count == loops_) return;
    loops_ = clampLoops(count);
    host_.propertyChanged("Loops");
}

int32_t AnimatedGif::loopsRemaining() const {
    if (currentFrame_ == 0) return -1;
    if (loops_ == 0) return 0;
    return loops_ - loopsPlayed_;
}

void AnimatedGif::setMirrored(int32_t style) {
    if (style < 0 || style > 3) return;
    if (currentFrame_ == 0) {
        mirrored_ = style;
    } else if (style != mirrored_) {
        pauseAround(&AnimatedGif::changeMirror, style);
    } else {
        return;
    }
    host_.propertyChanged("Mirrored");
}

void AnimatedGif::changeMirror(int32_t style) {
    for (std::size_t i = 0; i < decodedCount_; ++i) {
        mirrorFrame(gif_.frames[i], cells_[i], cellOrientation_[i] ^ style, gif_.width, gif_.height);
        cellOrientation_[i] = static_cast<uint8_t>(style);
    }
    compositor_.mirror(mirrored_ ^ style);
    dirty_ = {0, 0, gif_.width, gif_.height};
    mirrored_ = style;
}

// Stretch and mirror changes pause around the change and then resume, so a
// still picture stays on screen with the new geometry.
void AnimatedGif::pauseAround(void (AnimatedGif::*change)(int32_t), int32_t value) {
    finishPendingDecode();
    const bool wasPlaying = playState_ == PlayState::Armed;
    setAction(static_cast<int32_t>(PlayAction::Pause));
    (this->*change)(value);
    if (wasPlaying)
        setAction(static_cast<int32_t>(PlayAction::Play));
    else
        host_.invalidate();
}

void AnimatedGif::setAction(int32_t act) {
    if (!host_.userMode() || currentFrame_ == 0 || act < 0 || act > 4) return;
    // A pending deferred decode is finished first, so no action leaves frames
    // undecoded.
    finishPendingDecode();
    if (currentFrame_ == 0) return;
    switch (static_cast<PlayAction>(act)) {
    case PlayAction::StopAndClear:
        stopAndClear();
        return;
    case PlayAction::Play:
        start(TimerUse::Advance);
        return;
    case PlayAction::Pause:
        if (playState_ != PlayState::Stopped) {
            stop();
            playState_ = PlayState::Paused;
        }
        return;
    case PlayAction::Step: {
        stop();
        const int32_t next = currentFrame_ + 1 > static_cast<int32_t>(gif_.frames.size()) ? 1 : currentFrame_ + 1;
        showFrame(next);
        host_.invalidate();
        playState_ = PlayState::Paused;
        return;
    }
    case PlayAction::Restart:
        stop();
        loopsPlayed_ = 0;
        showFrame(1);
        host_.invalidate();
        start(TimerUse::Advance);
        return;
    }
}

void AnimatedGif::setDelayAnimation(int32_t mode) {
    if (mode < 0 || mode > 3 || mode == delayAnimation_) return;
    delayAnimation_ = mode;
    host_.propertyChanged("DelayAnimation");
}

void AnimatedGif::setMousePointer(int32_t pointer) {
    mousePointer_ = pointer;
    host_.propertyChanged("MousePointer");
}

void AnimatedGif::setMouseIcon(std::span<const uint8_t> icon) {
    mouseIcon_.assign(icon.begin(), icon.end());
    if (mouseIcon_.empty()) mousePointer_ = 0;
    host_.propertyChanged("MouseIcon");
}

// ---- loads ----

bool AnimatedGif::loadBytes(std::span<const uint8_t> bytes) {
    // Missing or empty data fails like any unreadable picture: the control is
    // emptied, and the previous picture is never loaded again in its place.
    source_.assign(bytes.begin(), bytes.end());
    const int32_t n = loadFromSource();
    if (n > 0 &&
        (stretch_ == StretchMode::Fit || stretch_ == StretchMode::FitNoEnlarge || stretch_ == StretchMode::Natural))
        resized();
    return n > 0;
}

bool AnimatedGif::loadFile(std::string_view path) {
    const auto bytes = host_.readFile(path);
    return loadBytes(bytes ? std::span<const uint8_t>(*bytes) : std::span<const uint8_t>());
}

bool AnimatedGif::loadArray(std::span<const uint8_t> bytes) { return loadBytes(bytes); }

void AnimatedGif::loadRemote(std::string_view path) {
    if (path.empty()) return;
    if (!host_.startDownload(path, DownloadName)) host_.remoteLoadFailure();
}

void AnimatedGif::downloadProgressError() {
    host_.cancelDownload(DownloadName);
    host_.remoteLoadFailure();
}

void AnimatedGif::downloadComplete(std::span<const uint8_t> bytes) {
    // The header is judged on the download itself; the picture on screen and
    // its bytes are untouched until the load really starts.
    if (bytes.size() <= 14 || !gifSignature(bytes)) {
        host_.remoteLoadFailure();
        return;
    }
    const int32_t w = bytes[6] | (bytes[7] << 8), h = bytes[8] | (bytes[9] << 8);
    bool cancel = false;
    host_.remoteLoadComplete(static_cast<float>(host_.toContainerWidth(w)),
                             static_cast<float>(host_.toContainerHeight(h)), cancel);
    if (!cancel) loadBytes(bytes);
}

int32_t AnimatedGif::loadFromSource() {
    // Memory running out while a picture is decoded fails the load; it never
    // leaves the control half-built or ends the program.
    try {
        return loadPicture();
    } catch (const std::bad_alloc&) {
        source_.clear();
        clearAnimation();
        return 0;
    }
}

int32_t AnimatedGif::loadPicture() {
    clearAnimation();
    loops_ = 0;
    scaleX_ = scaleY_ = 0;
    loopsPlayed_ = 0;
    if (source_.empty()) {
        clearAnimation();
        return 0;
    }
    gif_ = parseGif(source_, limits_);
    parsedFrameCount_ = static_cast<int32_t>(gif_.frames.size());
    if (gif_.frames.empty()) {
        source_.clear();
        clearAnimation();
        return 0;
    }
    const std::size_t n = gif_.frames.size();
    loops_ = gif_.loops;
    cells_.assign(n, FrameCell{});
    cellOrientation_.assign(n, 0);
    compositor_.reset(gif_.width, gif_.height);
    cells_[0] = decoder_.decode(gif_, source_, 0);
    mirrorFrame(gif_.frames[0], cells_[0], mirrored_, gif_.width, gif_.height);
    cellOrientation_[0] = static_cast<uint8_t>(mirrored_);
    decodedCount_ = 1;

    currentFrame_ = 1;
    const StretchResult s = computeStretch(stretch_, host_.innerWidth(), host_.innerHeight(), gif_.width, gif_.height);
    scaleX_ = s.scaleX;
    scaleY_ = s.scaleY;
    dirty_ = {};
    showFrame(1);

    if (!host_.userMode()) {
        finishDecoding();  // a form designer shows frame 1 only
    } else if (delayAnimation_ == 0 || n == 1) {
        decodeRemaining();
        finishDecoding();
    } else {
        // Frame 1 shows at once; the rest decode from a short one-shot.
        decodePending_ = true;
        start(TimerUse::DeferredDecode);
        if (playState_ != PlayState::Armed) {
            decodeRemaining();
            finishDecoding();
        }
    }
    host_.invalidate();
    return static_cast<int32_t>(n);
}

void AnimatedGif::clearAnimation() {
    stop();
    gif_ = ParsedGif{};
    cells_.clear();
    cellOrientation_.clear();
    decodedCount_ = 0;
    decodePending_ = false;
    currentFrame_ = 0;
    compositor_.reset(0, 0);
    dirty_ = {};
}

void AnimatedGif::decodeRemaining() {
    for (std::size_t i = decodedCount_; i < gif_.frames.size(); ++i) {
        cells_[i] = decoder_.decode(gif_, source_, i);
        mirrorFrame(gif_.frames[i], cells_[i], mirrored_, gif_.width, gif_.height);
        cellOrientation_[i] = static_cast<uint8_t>(mirrored_);
    }
    decodedCount_ = gif_.frames.size();
}

void AnimatedGif::finishDecoding() {
    decodePending_ = false;
    if (!host_.userMode()) return;  // the designer keeps the bytes to store them
    source_.clear();
    source_.shrink_to_fit();
    if (!(delayAnimation_ & 2)) start(TimerUse::Advance);
}

void AnimatedGif::finishPendingDecode() {
    if (!decodePending_) return;
    timerFiredNow();
}

// The deferred decode's tick, run early.
void AnimatedGif::timerFiredNow() {
    stop();
    timerUse_ = TimerUse::DeferredDecode;
    timerFired();
}

// ---- animation ----

std::chrono::milliseconds AnimatedGif::interval(int32_t frame) const {
    const int32_t delay = gif_.frames.at(static_cast<std::size_t>(frame - 1)).delayMs;
    return std::chrono::milliseconds(std::max(delay, minFrameDelay_));
}

void AnimatedGif::start(TimerUse use) {
    if (playState_ == PlayState::Armed) return;
    playState_ = PlayState::Stopped;
    if (currentFrame_ == 0 || !host_.userMode()) return;
    if (use == TimerUse::Advance && gif_.frames.size() <= 1) return;
    if (!host_.armTimer(use == TimerUse::DeferredDecode ? DeferredDecodeDelay : interval(currentFrame_))) return;
    timerUse_ = use;
    playState_ = PlayState::Armed;
}

void AnimatedGif::stop() {
    if (timerUse_ != TimerUse::None) host_.killTimer();
    timerUse_ = TimerUse::None;
    playState_ = PlayState::Stopped;
}

void AnimatedGif::stopAndClear() {
    stop();
    loopsPlayed_ = 0;
    currentFrame_ = 0;
    dirty_ = {0, 0, gif_.width, gif_.height};
    host_.invalidate();
}

void AnimatedGif::showFrame(int32_t frame) {
    currentFrame_ = frame;
    dirty_ = united(dirty_, compositor_.compose(gif_, cells_, static_cast<std::size_t>(frame - 1)));
}

void AnimatedGif::timerFired() {
    const TimerUse use = timerUse_;
    timerUse_ = TimerUse::None;  // every arming is a one-shot
    if (use == TimerUse::DeferredDecode) {
        playState_ = PlayState::Stopped;
        try {
            decodeRemaining();
        } catch (const std::bad_alloc&) {
            source_.clear();
            clearAnimation();
            host_.invalidate();
            return;
        }
        finishDecoding();
        return;
    }
    if (use != TimerUse::Advance || currentFrame_ == 0) return;  // a tick that was already cancelled

    int32_t next = currentFrame_ + 1;
    if (next > static_cast<int32_t>(gif_.frames.size())) {
        next = 1;
        if (loops_ != 0 && ++loopsPlayed_ >= loops_) {
            // A finite animation clears itself when frame 1 would come back.
            stopAndClear();
            host_.loopsEnded();
            return;
        }
    }
    showFrame(next);
    host_.invalidate();
    if (host_.armTimer(interval(currentFrame_)))
        timerUse_ = TimerUse::Advance;
    else
        playState_ = PlayState::Stopped;
}

// ---- container events ----

void AnimatedGif::resized() {
    if (inResize_ || currentFrame_ == 0) return;
    const StretchResult s = computeStretch(stretch_, host_.innerWidth(), host_.innerHeight(), gif_.width, gif_.height);
    scaleX_ = s.scaleX;
    scaleY_ = s.scaleY;
    inResize_ = true;
    host_.setSize(s.width, s.height);
    inResize_ = false;
    dirty_ = {0, 0, gif_.width, gif_.height};
}

void AnimatedGif::shown() { start(TimerUse::Advance); }

void AnimatedGif::hidden() { setAction(static_cast<int32_t>(PlayAction::Pause)); }

const Image* AnimatedGif::paint() {
    if (currentFrame_ == 0) return nullptr;
    if (currentFrame_ == parsedFrameCount_) host_.reportOver(currentFrame_);
    return currentFrame_ != 0 ? &compositor_.image() : nullptr;
}

Rect AnimatedGif::target() const {
    if (currentFrame_ == 0) return {};
    return {0, 0, scaled(scaleX_, gif_.width), scaled(scaleY_, gif_.height)};
}

Rect AnimatedGif::takeDirty() {
    const Rect r = dirty_;
    dirty_ = {};
    return r;
}

void AnimatedGif::clicked() {
    if (enabled_) host_.click();
}

void AnimatedGif::mousePressed(int16_t button, int16_t shift, double x, double y) {
    raiseMouse(&AnimatedGifHost::mouseDown, button, shift, x, y);
}

void AnimatedGif::mouseMoved(int16_t button, int16_t shift, double x, double y) {
    raiseMouse(&AnimatedGifHost::mouseMove, button, shift, x, y);
}

void AnimatedGif::mouseReleased(int16_t button, int16_t shift, double x, double y) {
    raiseMouse(&AnimatedGifHost::mouseUp, button, shift, x, y);
}

// A disabled control takes no mouse input, as its container would give it none.
void AnimatedGif::raiseMouse(void (AnimatedGifHost::*event)(int16_t, int16_t, float, float), int16_t button,
                             int16_t shift, double x, double y) {
    if (!enabled_) return;
    const auto down = [](double v) { return static_cast<float>(std::floor(v)); };
    (host_.*event)(button, shift, down(host_.toContainerX(x)), down(host_.toContainerY(y)));
}

// ---- stored settings ----

void AnimatedGif::readProperties(const PropertyBag& bag) {
    // Stored values are checked like the setters check them; anything out of
    // range falls back to the default.
    if (auto gif = bag.readBytes("GIF")) source_ = std::move(*gif);
    if (auto v = bag.readInt("Delay"); v && *v >= MinFrameDelayFloor && *v <= MinFrameDelayCeiling) minFrameDelay_ = *v;
    const auto stretch = bag.readInt("Stretch");
    stretch_ = static_cast<StretchMode>(stretch && *stretch >= 0 && *stretch <= 4 ? *stretch : 1);
    auto delayLoad = bag.readInt("DelayLoad");
    if (delayLoad == -1) delayLoad = 1;
    delayAnimation_ = delayLoad && *delayLoad >= 0 && *delayLoad <= 3 ? *delayLoad : 1;
    const auto mirror = bag.readInt("Mirror");
    mirrored_ = mirror && *mirror >= 0 && *mirror <= 3 ? *mirror : 0;
    enabled_ = bag.readBool("Enabled").value_or(true);
    mouseIcon_ = bag.readBytes("MouseIcon").value_or(std::vector<uint8_t>{});
    mousePointer_ = bag.readInt("MousePointer").value_or(0);
    if (loadFromSource() > 0) {
        if (auto loops = bag.readInt("Loops")) loops_ = clampLoops(*loops);
    }
}

void AnimatedGif::writeProperties(PropertyBag& bag) const {
    bag.writeBytes("GIF", source_);
    if (minFrameDelay_ != DefaultMinFrameDelay) bag.writeInt16("Delay", static_cast<int16_t>(minFrameDelay_));
    if (stretch_ != StretchMode::Fit) bag.writeInt32("Stretch", static_cast<int32_t>(stretch_));
    // Always written: a stored 0 (forever) must not read back as the file's count.
    bag.writeInt32("Loops", loops_);
    if (delayAnimation_ != 1) bag.writeInt32("DelayLoad", delayAnimation_);
    if (mirrored_ != 0) bag.writeInt32("Mirror", mirrored_);
    if (!mouseIcon_.empty()) bag.writeBytes("MouseIcon", mouseIcon_);
    if (mousePointer_ != 0) bag.writeInt16("MousePointer", static_cast<int16_t>(mousePointer_));
    if (!enabled_) bag.writeBool("Enabled", enabled_);
}

}  // namespace mj::anigif
