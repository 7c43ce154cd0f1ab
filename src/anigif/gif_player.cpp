// gif_player.cpp: the animated GIF control on a placed component.
#include "anigif/gif_player.h"

#include <cmath>
#include <utility>

namespace mj::anigif {

GifPlayer::GifPlayer(platform::Clock& clock, ui::Component& view)
    : view_(view),
      timer_(clock.createTimer(platform::Millis(AnimatedGif::DefaultMinFrameDelay), [this] { tick(); })),
      gif_(*this) {
    view_.isHit = [this](double, double) { return gif_.hitTest() == AnimatedGif::Hit; };
    // The window gives a component's mouse position in its own pixels.
    view_.onClick = [this] { gif_.clicked(); };
    view_.onMouseDown = [this](const ui::MouseEvent& e) {
        gif_.mousePressed(static_cast<std::int16_t>(e.button), static_cast<std::int16_t>(e.shift), e.x, e.y);
    };
    view_.onMouseMove = [this](const ui::MouseEvent& e) {
        gif_.mouseMoved(static_cast<std::int16_t>(e.button), static_cast<std::int16_t>(e.shift), e.x, e.y);
    };
    view_.onMouseUp = [this](const ui::MouseEvent& e) {
        gif_.mouseReleased(static_cast<std::int16_t>(e.button), static_cast<std::int16_t>(e.shift), e.x, e.y);
    };
}

// The control's destructor runs after this body and stops the timer itself;
// the component keeps whatever it shows, as the window owns it.
GifPlayer::~GifPlayer() {
    view_.isHit = nullptr;
    view_.onClick = nullptr;
    view_.onMouseDown = view_.onMouseMove = view_.onMouseUp = nullptr;
}

bool GifPlayer::loadAnimatedGifArray(std::span<const std::uint8_t> bytes) {
    const bool loaded = gif_.loadArray(bytes);
    // A failed load empties the control without asking for a repaint; the
    // component must not go on showing the previous picture.
    repaint_ = true;
    present();
    return loaded;
}

void GifPlayer::setLoops(std::int32_t count) {
    gif_.setLoops(count);
    present();
}

void GifPlayer::setAction(std::int32_t act) {
    gif_.setAction(act);
    present();
}

void GifPlayer::erase() {
    gif_.setAnimatedGif(std::nullopt);
    present();
}

// ---- the control's surface

double GifPlayer::unitsPerPixel() const {
    const ui::Container* parent = view_.parent();
    return parent ? parent->unitsPerPixel() : 1.0;
}

// Whole pixels as the window host rounds them when it draws the component.
std::int32_t GifPlayer::innerWidth() const {
    return static_cast<std::int32_t>(std::lround(view_.width() / unitsPerPixel()));
}

std::int32_t GifPlayer::innerHeight() const {
    return static_cast<std::int32_t>(std::lround(view_.height() / unitsPerPixel()));
}

void GifPlayer::setSize(std::int32_t width, std::int32_t height) {
    view_.setWidth(width * unitsPerPixel());
    view_.setHeight(height * unitsPerPixel());
}

// The platform timer repeats; each arming of the control is a one-shot, so the
// tick switches it off before it lets the control arm it again.
bool GifPlayer::armTimer(std::chrono::milliseconds interval) {
    timer_->setEnabled(false);
    timer_->setInterval(interval);
    timer_->setEnabled(true);
    return true;
}

void GifPlayer::killTimer() { timer_->setEnabled(false); }

void GifPlayer::loopsEnded() { loopsEnded_ = true; }

void GifPlayer::click() {
    if (onClick) onClick();
}

void GifPlayer::mouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
    if (onMouseDown) onMouseDown(button, shift, x, y);
}

void GifPlayer::mouseMove(std::int16_t button, std::int16_t shift, float x, float y) {
    if (onMouseMove) onMouseMove(button, shift, x, y);
}

void GifPlayer::mouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
    if (onMouseUp) onMouseUp(button, shift, x, y);
}

void GifPlayer::tick() {
    timer_->setEnabled(false);
    gif_.timerFired();
    present();
    // Raised after the component has been cleared, so a listener that looks at
    // it, or loads the next picture, sees the finished state.
    if (std::exchange(loopsEnded_, false) && onLoopsEnded) onLoopsEnded();
}

void GifPlayer::present() {
    if (!std::exchange(repaint_, false)) return;
    const Image* frame = gif_.paint();
    if (!frame || frame->width <= 0 || frame->height <= 0) {
        view_.setPicture(nullptr);
        return;
    }
    auto picture = std::make_shared<ui::Picture>();
    picture->width = frame->width;
    picture->height = frame->height;
    picture->pixels = frame->pixels;
    view_.setPicture(std::move(picture));
}

}  // namespace mj::anigif
