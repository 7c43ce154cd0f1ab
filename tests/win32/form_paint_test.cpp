// The window host paints only what changed into the picture it keeps: after
// many small changes in a row, that picture, and what the window shows, equal
// a painting of the form from scratch.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/win32/win32_forms.h"

namespace mj::platform::win32 {
namespace {

using Pixels = std::vector<std::uint32_t>;

ui::PictureRef picture(int w, int h, std::uint32_t seed) {
    auto p = std::make_shared<ui::Picture>();
    p->width = w;
    p->height = h;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            // A corner of each picture is transparent.
            const bool hole = x < w / 4 && y < h / 4;
            p->pixels.push_back(hole ? 0u : 0xFF000000u | ((seed * 2654435761u + x * 40503u + y * 977u) & 0xFFFFFFu));
        }
    }
    return p;
}

// A small table: a picture box with a background, a box inside it that
// sticks out of its left edge, tiles in both, a label and a list on the form.
struct PaintedForm {
    static constexpr int W = 160, H = 120;
    ui::Form form{"F"};
    ui::PictureBox* box = nullptr;
    ui::PictureBox* inner = nullptr;
    std::vector<ui::Image*> tiles;
    ui::Label* digit = nullptr;
    ui::ListBox* list = nullptr;
    std::vector<ui::PictureRef> faces{picture(10, 14, 1), picture(12, 16, 2), picture(9, 9, 3)};
    FormHost host;

    PaintedForm() {
        form.move(0, 0, W * 15, H * 15);
        form.setBackColor({20, 90, 40});
        box = &form.add<ui::PictureBox>("Pic1", -1);
        box->move(0, 0, 140 * 15, 110 * 15);
        box->setPicture(picture(140, 110, 9));
        inner = &box->add<ui::PictureBox>("Inner", -1);
        inner->move(-10, 60, 60, 40);
        inner->setBackColor({200, 200, 0});
        for (int i = 0; i < 16; ++i) {
            ui::Container& in = i < 12 ? static_cast<ui::Container&>(*box) : *inner;
            auto& t = in.add<ui::Image>("MJ_Image", i);
            t.setStretch(i % 2 == 0);
            t.move(5 + i * 8, 10 + (i % 3) * 12, 10, 14);
            t.setPicture(faces[static_cast<std::size_t>(i) % faces.size()]);
            tiles.push_back(&t);
        }
        digit = &form.add<ui::Label>("Number", -1);
        digit->move(120 * 15, 5 * 15, 24 * 15, 24 * 15);
        digit->setTransparentBack(true);
        digit->setFontSize(12);
        digit->setCaption("8");
        list = &form.add<ui::ListBox>("Text1", -1);
        list->move(100 * 15, 70 * 15, 60 * 15, 50 * 15);
        form.setVisible(true);
        host.attach(form);
        paint();
    }

    [[nodiscard]] HWND window() const { return host.windowOf(form); }
    void paint() const { UpdateWindow(window()); }

    // Pixels of the window's kept picture that differ from a fresh painting.
    [[nodiscard]] long stale() const {
        const BackBuffer* b = host.backBufferOf(form);
        if (!b || !b->pixels()) return -1;
        Pixels fresh(static_cast<std::size_t>(b->width()) * b->height());
        FormHost::render(form, b->width(), b->height(), fresh.data());
        long n = 0;
        for (std::size_t i = 0; i < fresh.size(); ++i) n += (fresh[i] & 0xFFFFFF) != (b->pixels()[i] & 0xFFFFFF);
        return n;
    }

    // One change of the kinds a hand makes, picked by the generator.
    void change(std::mt19937& rng) {
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        ui::Image& t = *tiles[static_cast<std::size_t>(pick(static_cast<int>(tiles.size())))];
        switch (pick(10)) {
        case 0:
        case 1:
            t.move(t.left() + pick(21) - 10, t.top() + pick(21) - 10);
            break;
        case 2:
            t.setVisible(!t.visible());
            break;
        case 3:
            t.bringToFront();
            break;
        case 4:
            t.sendToBack();
            break;
        case 5:
            t.setPicture(faces[static_cast<std::size_t>(pick(static_cast<int>(faces.size())))]);
            break;
        case 6:
            digit->setCaption(std::to_string(pick(10)));
            digit->setForeColor(pick(2) ? ui::Color{0, 255, 0} : ui::Color{255, 0, 0});
            break;
        case 7:
            list->addItem("line " + std::to_string(pick(100)));
            list->setTopIndex(list->listCount() - 3);
            break;
        case 8:
            inner->move(inner->left() + pick(11) - 5, inner->top() + pick(11) - 5);
            break;
        default:
            if (pick(8) == 0) inner->setVisible(!inner->visible());
            break;
        }
    }
};

// The window's own pixels, read back from its device context.
Pixels screenOf(HWND h, int w, int hgt) {
    BackBuffer copy;
    copy.resize(w, hgt);
    HDC dc = GetDC(h);
    BitBlt(copy.dc(), 0, 0, w, hgt, dc, 0, 0, SRCCOPY);
    ReleaseDC(h, dc);
    GdiFlush();
    return Pixels(copy.pixels(), copy.pixels() + static_cast<std::size_t>(w) * hgt);
}

TEST(FormPaint, ManySmallChangesPaintedPieceByPieceEqualAFreshPainting) {
    PaintedForm f;
    ASSERT_NE(f.window(), nullptr);
    ASSERT_EQ(f.stale(), 0);
    std::mt19937 rng(17);
    for (int step = 1; step <= 600; ++step) {
        f.change(rng);
        // Sometimes several changes come before one paint.
        if (rng() % 3 == 0) f.paint();
        if (step % 100 == 0) {
            f.paint();
            ASSERT_EQ(f.stale(), 0) << "after " << step << " changes";
        }
    }
    // And the window shows its kept picture.
    const BackBuffer* b = f.host.backBufferOf(f.form);
    ASSERT_NE(b, nullptr);
    const Pixels shown = screenOf(f.window(), b->width(), b->height());
    long differ = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) differ += (shown[i] & 0xFFFFFF) != (b->pixels()[i] & 0xFFFFFF);
    EXPECT_EQ(differ, 0);
}

TEST(FormPaint, ChangesWhileHiddenOrResizedAreNotLost) {
    PaintedForm f;
    std::mt19937 rng(4);
    // Hidden: no paint comes, but the changes are kept for the next one.
    f.form.setVisible(false);
    for (int i = 0; i < 50; ++i) f.change(rng);
    f.form.setVisible(true);
    f.paint();
    EXPECT_EQ(f.stale(), 0);
    // Changes pending when the window grows: the picture is made anew.
    for (int i = 0; i < 20; ++i) f.change(rng);
    f.form.setWidth((PaintedForm::W + 30) * 15);
    f.paint();
    const BackBuffer* b = f.host.backBufferOf(f.form);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->width(), PaintedForm::W + 30);
    EXPECT_EQ(f.stale(), 0);
    // A part of the window uncovered by something else is painted again from
    // the kept picture's form, not left stale.
    for (int i = 0; i < 20; ++i) f.change(rng);
    RECT part{30, 30, 90, 80};
    InvalidateRect(f.window(), &part, FALSE);
    f.paint();
    EXPECT_EQ(f.stale(), 0);
}

}  // namespace
}  // namespace mj::platform::win32
