// hand_moves.h: a hand in progress made through the control model alone, the
// way the hand's handlers change the table (tiles dealt into the own row, one
// raised and lowered, discards laid, the countdown digit), on the table window
// shown by the real window host. For the repaint checks and the paint
// benchmark: the window paints only what changed, and what it shows must equal
// a painting of the same table from scratch.
#pragma once
#include <windows.h>

#include <string>

#include "link/client.h"
#include "platform/win32/win32_forms.h"
#include "shot_support/shot_table.h"
#include "table/tiles.h"

namespace mj::shots {

class HandMoves {
public:
    static constexpr int HandSize = 14;
    static constexpr int RaiseBy = 12;

    explicit HandMoves(ShotTable& shot) : c_(shot.client) {}

    // Shows the table window and paints it once, whole.
    HWND show() {
        c_.mainForm.setVisible(true);
        host_.attach(c_.mainForm);
        HWND h = host_.windowOf(c_.mainForm);
        if (h) UpdateWindow(h);
        return h;
    }
    [[nodiscard]] HWND window() const { return host_.windowOf(c_.mainForm); }
    // Lets the window paint what changed now.
    void paint() const {
        if (HWND h = window()) UpdateWindow(h);
    }
    [[nodiscard]] platform::win32::FormHost& host() { return host_; }

    // The first tiles of the wall go to the own hand row, face up, side by side.
    void deal() {
        const auto& seat = c_.table.custom[0];
        for (int i = 0; i < HandSize; ++i) {
            ui::Control* t = table::tileControl(c_, i);
            if (!t) continue;
            table::setTileImage(c_, i, 1 + (i * 5) % 27);
            t->move(seat.handX + i * (t->width() + 1), seat.handY);
            t->bringToFront();
        }
    }
    // Tile i of the hand up out of its row (as under the mouse) or back down.
    void raise(int i, bool up) {
        if (ui::Control* t = table::tileControl(c_, i)) {
            t->setTop(c_.table.custom[0].handY - (up ? RaiseBy : 0));
            if (up) t->bringToFront();
        }
    }
    // Hand tile i laid as discard number n in the own discard rows.
    void discard(int i, int n) {
        ui::Control* t = table::tileControl(c_, i);
        if (!t) return;
        const auto& seat = c_.table.custom[0];
        const int perRow = 10;
        t->move(seat.discardX + (n % perRow) * t->width(), seat.discardY + (n / perRow) * (t->height() - 8));
        t->bringToFront();
    }
    // The turn countdown's digit, green down to six, red after, as the
    // countdown shows it.
    void countdown(int seconds) {
        c_.timeImg->setVisible(true);
        c_.number->setVisible(true);
        // As the countdown is put up: the clock in front, the digit over it.
        c_.timeImg->bringToFront();
        c_.number->bringToFront();
        c_.number->setCaption(std::to_string(seconds));
        c_.number->setForeColor(seconds > 5 ? ui::Color{0, 255, 0} : ui::Color{255, 0, 0});
    }

    // Pixels of the window's kept picture that differ from a painting of the
    // same table from scratch; -1 when the window has not painted.
    [[nodiscard]] long differingPixels() const {
        const auto* b = host_.backBufferOf(c_.mainForm);
        if (!b || !b->pixels()) return -1;
        Pixels fresh(static_cast<std::size_t>(b->width()) * b->height());
        platform::win32::FormHost::render(c_.mainForm, b->width(), b->height(), fresh.data());
        long n = 0;
        for (std::size_t i = 0; i < fresh.size(); ++i) {
            if ((fresh[i] & 0xFFFFFF) != (b->pixels()[i] & 0xFFFFFF)) ++n;
        }
        return n;
    }
    // The window's kept picture as a BMP file.
    [[nodiscard]] bool shootWindow(const std::string& path) const {
        const auto* b = host_.backBufferOf(c_.mainForm);
        if (!b || !b->pixels()) return false;
        const Pixels px(b->pixels(), b->pixels() + static_cast<std::size_t>(b->width()) * b->height());
        return writeBmp(path, b->width(), b->height(), px);
    }

private:
    link::Client& c_;
    platform::win32::FormHost host_;
};

}  // namespace mj::shots
