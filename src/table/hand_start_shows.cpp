// hand_start_shows.cpp: seat draw, compass, wall building, dice, indicator.
#include "table/hand_start_shows.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include "link/client.h"
#include "link/general.h"
#include "table/tiles.h"

namespace mj::table {

namespace {

void playSound(link::Client& c, link::SoundEntry entry) {
    auto& sounds = c.link.sound;
    if (!sounds.soundOn) return;
    link::playWave(sounds, c.p.sound, sounds.soundFile[entry], false);
}

// Re-seeded from the clock, as each show does; only the ranges matter.
std::mt19937 seededFromClock(link::Client& c) {
    return std::mt19937(static_cast<std::uint32_t>(c.p.clock.monotonic().count()));
}

double random01(std::mt19937& g) { return std::uniform_real_distribution<double>(0.0, 1.0)(g); }

ui::Control* find(link::Client& c, std::string_view name, int index = -1) { return c.mainForm.find(name, index); }

}  // namespace

void showSeatDraw(link::Client& c, int seatIndex) {
    if (seatIndex < 0 || seatIndex > 3) {
        c.log("seat draw refused: seat index " + std::to_string(seatIndex));
        return;
    }
    TableState& t = c.table;
    playSound(c, link::SoundDeal);
    const double x0 = c.pic1->width() / 15 / 2 - 2 * t.tileW[0];
    const int y = roundHalfEven(c.pic1->height() / 15 / 2 - t.tileH[0]);
    for (int i = 0; i < 4; ++i) {
        ui::Control* x = tileControl(c, i);
        if (!x) continue;
        x->setHeight(t.tileH[0]);
        x->setWidth(t.tileW[0]);
        x->setLeft(x0 + i * t.tileW[0]);
        x->setTop(y);
        setTileImage(c, i, standingBack(0));
    }
    link::sleepSeconds(c.p.clock, 0.5);
    auto g = seededFromClock(c);
    const int k = std::min(3, static_cast<int>(std::floor(random01(g) * 4)));
    setTileImage(c, k, 147 - seatIndex);
    link::sleepSeconds(c.p.clock, 0.5);
    for (int i = 0; i < 4; ++i) {
        if (ui::Control* x = tileControl(c, i)) x->setVisible(false);
    }
}

void showCompass(link::Client& c) {
    // The seat field stays what the messages carry: a table still without
    // the own seat shows and sends seat 1.
    SeatRecord& own = c.table.custom[0];
    if (own.seat == 0) own.seat = 1;
    const int i = link::bitToIndex(own.seat);
    if (i > 3) {
        c.log("compass refused: seat bit " + std::to_string(own.seat));
        return;
    }
    ui::Control* compass = find(c, "ZhiNan");
    if (!compass) return;
    (void)loadPicture(c, c.link.pictures.compassPic[static_cast<std::size_t>(i)], *compass);
    compass->setVisible(true);
    if (c.link.scaleX < 1) {
        compass->move(9 * c.link.scaleX, 112 * c.link.scaleY, 79 * c.link.scaleX, 81 * c.link.scaleY);
    }
}

void showWallBuilding(link::Client& c) {
    TableState& t = c.table;
    c.link.hallHwnd = c.p.hall.findWindow(c.link.hallCaption);
    if (c.link.hallHwnd != 0) c.p.hall.post(c.link.hallHwnd, HallHandStarted, 0, 0);
    playSound(c, link::SoundShuffle);

    // Stack 0 of each side gets its side's lying back; the other stacks copy
    // the picture already loaded there.
    constexpr int Stack0[8] = {1, 0, 35, 34, 69, 68, 102, 103};
    for (int n = 0; n < 8; ++n) setTileImage(c, Stack0[n], lyingBack(n / 2));
    for (int k = 1; k <= 16; ++k) {
        const int order[8] = {2 * k + 1,  2 * k,      35 + 2 * k,  34 + 2 * k,
                              69 + 2 * k, 68 + 2 * k, 102 + 2 * k, 103 + 2 * k};
        for (int i : order) {
            ui::Control* x = tileControl(c, i);
            ui::Control* model = tileControl(c, i - 2 * k);
            if (!x || !model) continue;
            x->setPicture(model->picture());
            x->setVisible(true);
        }
        // The treasure boxes stay drawn over the growing wall.
        for (int b = 0;; ++b) {
            ui::Control* box = find(c, "ImgProp", b);
            if (!box) break;
            box->bringToFront();
        }
        link::waitSeconds(c.p.clock, 0.01);
    }

    t.anGangImg.fill(0);
    t.anGangTile.fill(0);
    t.anGangView.fill(0);
    t.anGangCount = 0;
    t.wallPeekTile.fill(0);
    t.wallPeekImg.fill(0);
    t.wallPeekCount = 0;
}

void rollDice(link::Client& c, int bankerView, std::array<int, 4>& dice) {
    (void)bankerView;  // the show is the same whoever deals
    ui::Control* die[2] = {find(c, "Sai_Image", 0), find(c, "Sai_Image", 1)};
    if (!die[0] || !die[1]) return;
    auto face = [&](int value) -> ui::Control* {
        if (value < 1 || value > 6) {
            c.log("die value " + std::to_string(value) + " shown as " + (value < 1 ? "1" : "6"));
            value = std::clamp(value, 1, 6);
        }
        return find(c, "SZ_Image", value - 1);
    };
    auto roll = [&](std::mt19937& g, int a, int b) {
        const int n = static_cast<int>(std::floor(random01(g) * 5)) + 20;
        for (int j = 0; j <= n; ++j) {
            for (ui::Control* d : die) {
                if (ui::Control* frame = find(c, "SZ_Image", static_cast<int>(std::floor(random01(g) * 10)) + 6))
                    d->setPicture(frame->picture());
            }
            if (j == n) {
                if (ui::Control* f = face(a)) die[0]->setPicture(f->picture());
                if (ui::Control* f = face(b)) die[1]->setPicture(f->picture());
            }
            link::waitSeconds(c.p.clock, 0.002);
        }
    };

    playSound(c, link::SoundDice);
    for (int i = 0; i < 2; ++i) {
        if (dice[static_cast<std::size_t>(i)] == 0) dice[static_cast<std::size_t>(i)] = 1;
    }
    die[0]->move(400 * c.link.scaleX, 284 * c.link.scaleY);
    die[1]->move(560 * c.link.scaleX, 284 * c.link.scaleY);
    die[0]->setVisible(true);
    die[1]->setVisible(true);
    auto g = seededFromClock(c);
    roll(g, dice[0], dice[1]);
    link::sleepSeconds(c.p.clock, 0.6);
    die[0]->setVisible(false);
    die[1]->setVisible(false);

    link::sleepSeconds(c.p.clock, 0.6);
    playSound(c, link::SoundDice);
    die[0]->setVisible(true);
    die[1]->setVisible(true);
    for (int i = 2; i < 4; ++i) {
        if (dice[static_cast<std::size_t>(i)] == 0) dice[static_cast<std::size_t>(i)] = 1;
    }
    roll(g, dice[2], dice[3]);
    link::sleepSeconds(c.p.clock, 0.6);
    die[0]->setVisible(false);
    die[1]->setVisible(false);
}

void turnIndicatorTile(link::Client& c) {
    TableState& t = c.table;
    // Any offset lands on a wall position, however far back it reaches.
    const int p = ((t.wallStart - 2 * t.indicatorOffset) % WallSize + WallSize) % WallSize;
    t.indicatorImg = p;
    const int code = t.piziTile1 & 0xFF;
    if (!isValidTile(static_cast<TileCode>(code))) {
        c.log("indicator tile refused: code " + std::to_string(t.piziTile1));
        return;
    }
    setTileImage(c, p, tilePicture(p / 34, code));
}

}  // namespace mj::table
