// speak_box.cpp: shaping, placing and fading the bubbles.
#include "shell/speak_box.h"

#include <algorithm>
#include <array>

namespace mj::shell {
namespace {

constexpr double Twips = 15.0;

struct Size {
    int w, h;
};
constexpr std::array<Size, 4> BubbleSize{{{174, 92}, {198, 92}, {208, 104}, {208, 104}}};

// Placements in twips, before the scale: shown position relative to the main
// window, and the phrase's place inside the bubble.
struct Spot {
    double left, top, labLeft, labTop;
};
constexpr std::array<Spot, 4> Spots{{
    {1500, 8550, 260, 180},
    {1050, 3000, 570, 350},
    {6150, 1050, 450, 620},
    {11400, 3000, 270, 470},
}};

constexpr std::uint32_t KeyPixel = 0xFFFF00FF;  // magenta, never in the bubble
constexpr std::uint32_t BodyPixel = 0xFFFFFBEA;
constexpr std::uint32_t EdgePixel = 0xFF8A6A3A;

bool insideRoundedBody(int x, int y, int left, int top, int right, int bottom, int r) {
    if (x < left || x >= right || y < top || y >= bottom) return false;
    const int cx = std::clamp(x, left + r, right - 1 - r);
    const int cy = std::clamp(y, top + r, bottom - 1 - r);
    const int dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= r * r;
}

// The tail: a triangle with its tip at (tx, ty) and its base on the body.
bool insideTail(int view, int x, int y, int w, int h) {
    switch (view) {
    case 0: {  // below, toward the own seat at the bottom left
        const int dy = y - (h - 16);
        return dy >= 0 && x >= 24 + dy && x <= 44 - dy / 2;
    }
    case 1: {  // left, toward the left seat
        const int dx = 16 - x;
        return dx >= 0 && y >= 30 + dx && y <= 50 - dx / 2;
    }
    case 2: {  // above, toward the top seat
        const int dy = 16 - y;
        return dy >= 0 && x >= w / 2 - 10 + dy && x <= w / 2 + 10 - dy / 2;
    }
    default: {  // right, toward the right seat
        const int dx = x - (w - 16);
        return dx >= 0 && y >= 30 + dx && y <= 50 - dx / 2;
    }
    }
}

}  // namespace

ui::PictureRef bubblePicture(int view) {
    view &= 3;
    const auto [w, h] = BubbleSize[static_cast<std::size_t>(view)];
    auto pic = std::make_shared<ui::Picture>();
    pic->width = w;
    pic->height = h;
    pic->pixels.assign(static_cast<std::size_t>(w * h), KeyPixel);
    // The body leaves room for the tail on the seat's side.
    const int left = view == 1 ? 16 : 0, top = view == 2 ? 16 : 0;
    const int right = view == 3 ? w - 16 : w, bottom = view == 0 ? h - 16 : h;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool body = insideRoundedBody(x, y, left, top, right, bottom, 18);
            if (!body && !insideTail(view, x, y, w, h)) continue;
            const bool edge = body && !insideRoundedBody(x, y, left + 2, top + 2, right - 2, bottom - 2, 16);
            pic->pixels[static_cast<std::size_t>(y * w + x)] = edge ? EdgePixel : BodyPixel;
        }
    }
    return pic;
}

std::vector<ui::Form::Rect> shapeRegion(const ui::Picture& picture, std::int32_t& keyColor) {
    std::vector<ui::Form::Rect> rects;
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() < static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
        return rects;
    auto rgb = [&](int x, int y) {
        return static_cast<std::int32_t>(picture.pixels[static_cast<std::size_t>(y * picture.width + x)] & 0xFFFFFF);
    };
    if (keyColor < 1) keyColor = rgb(0, 0);
    for (int y = 0; y < picture.height; ++y) {
        int x = 0;
        while (x < picture.width) {
            if (rgb(x, y) == keyColor) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < picture.width && rgb(x, y) != keyColor) ++x;
            rects.push_back({start, y, x, y + 1});
        }
    }
    return rects;
}

bool setWindowAlpha(ui::Form& form, int alpha) {
    if (alpha < 0 || alpha > 255) return false;
    form.setAlpha(alpha);
    return true;
}

SpeakBox::SpeakBox(platform::Clock& clock, const ui::Form& mainForm, double scaleX, double scaleY, int view)
    : main_(mainForm), scaleX_(scaleX), scaleY_(scaleY) {
    view &= 3;
    form.setCaption(std::string(SpeakBoxCaption));
    form.setTag("speak" + std::to_string(view));
    const ui::PictureRef pic = bubblePicture(view);
    form.setPicture(pic);
    form.move(0, 0, pic->width * Twips, pic->height * Twips);
    std::int32_t keyColor = 0;
    form.setRegion(shapeRegion(*pic, keyColor));

    // The picture also lies behind the phrase as the window's surface.
    auto& back = form.add<ui::Image>("imgSpeakBox", view);
    back.setStretch(true);
    back.setPicture(pic);
    back.move(0, 0, form.width(), form.height());
    labPhrase = &form.add<ui::Label>("labPhrase", -1);
    labPhrase->setFont({"宋体", 10.5, false});
    labPhrase->setTransparentBack(true);
    labPhrase->setCaption("  ");
    const Spot& s = Spots[static_cast<std::size_t>(view)];
    labPhrase->move(s.labLeft * scaleX_, s.labTop * scaleY_, 2100, 750);

    // Parked just off the screen at the shown height (views 0, 1) or left (2, 3).
    if (view < 2)
        form.move(-form.width(), main_.top() + s.top * scaleY_);
    else
        form.move(main_.left() + s.left * scaleX_, -form.height());

    tmrFadeIn = clock.createTimer(FadeTick, [this] { fadeStep(); });
    tmrFadeIn->setEnabled(false);
    form.setTopmost(true);
    form.setVisible(true);
}

void SpeakBox::showMe(int view, const std::string& phrase, int peak, int in, int out, int hold) {
    if (view >= 0 && view <= 3) {
        const Spot& s = Spots[static_cast<std::size_t>(view)];
        form.move(main_.left() + s.left * scaleX_, main_.top() + s.top * scaleY_);
    }
    peakAlpha = peak;
    fadeIn = in;
    fadeOut = out;
    showTime = hold;
    labPhrase->setCaption(phrase);
    tmrFadeIn->setEnabled(true);
    fadeCounter = 0;
}

void SpeakBox::fadeStep() {
    fadeCounter += fadeIn;
    if (fadeCounter < peakAlpha) setWindowAlpha(form, fadeCounter);
    if (fadeCounter > peakAlpha + showTime) {
        peakAlpha -= fadeOut;
        setWindowAlpha(form, peakAlpha);
        if (peakAlpha <= 1) {
            tmrFadeIn->setEnabled(false);
            labPhrase->setCaption("");
            form.setLeft(-2 * form.width());
        }
    }
}

void SpeakBox::reset() {
    tmrFadeIn->setEnabled(false);
    setWindowAlpha(form, 0);
    form.setVisible(false);
    form.setTopmost(true);
}

}  // namespace mj::shell
