// speak_box.h: the speech bubbles: one shaped, translucent, topmost window per
// view that shows a received quick phrase beside the sender's seat and fades.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/controls.h"

namespace mj::shell {

inline constexpr std::string_view SpeakBoxCaption = "speakbox";
// The fade's tick. A fixed period makes a bubble last as long everywhere
// (329 ticks, about 5.3 s, with the decoder's values).
inline constexpr platform::Millis FadeTick{16};
// The decoder's bubble: peak alpha, fade-in step, fade-out step, hold.
inline constexpr int BubblePeak = 210, BubbleFadeIn = 8, BubbleFadeOut = 4, BubbleHold = 2000;

// Our own bubble picture for a view (174x92, 198x92, 208x104, 208x104 pixels
// for views 0..3): a rounded body with a tail toward the seat on a key colour
// that the top left pixel carries.
[[nodiscard]] ui::PictureRef bubblePicture(int view);

// The window shape: per row, each run of pixels whose colour (0xRRGGBB)
// differs from the key colour. A key colour below 1 asks for the top left
// pixel's colour, handed back in keyColor.
[[nodiscard]] std::vector<ui::Form::Rect> shapeRegion(const ui::Picture& picture, std::int32_t& keyColor);

// Makes the window layered with that alpha; false, and nothing changed, when
// alpha is outside 0..255.
bool setWindowAlpha(ui::Form& form, int alpha);

class SpeakBox {
public:
    // Makes view's bubble: shaped to its picture, parked off screen, topmost
    // and shown. `mainForm` gives the positions, the scales the layout.
    SpeakBox(platform::Clock& clock, const ui::Form& mainForm, double scaleX, double scaleY, int view);
    SpeakBox(const SpeakBox&) = delete;
    SpeakBox& operator=(const SpeakBox&) = delete;

    // Moves beside the view's seat, takes the phrase and (re)starts the fade.
    void showMe(int view, const std::string& phrase, int peakAlpha, int fadeIn, int fadeOut, int showTime);
    // One step of the fade.
    void fadeStep();
    // Fade off, alpha 0, hidden, topmost: the state after the main window's restore.
    void reset();

    ui::Form form{"frmSpeakBox"};
    ui::Label* labPhrase = nullptr;
    std::unique_ptr<platform::Timer> tmrFadeIn;
    int peakAlpha = 0, fadeIn = 0, fadeOut = 0, showTime = 0, fadeCounter = 0;

private:
    const ui::Form& main_;
    double scaleX_, scaleY_;
};

}  // namespace mj::shell
