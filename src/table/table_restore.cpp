// table_restore.cpp: laying a running hand out again after a reconnect or for
// a watcher who joins it.
//
// The restore messages say what each seat holds and how far the wall has
// gone from either end, not which wall places the tiles came from. So the
// wall is rebuilt from the hand's origin and the two counts, exactly as the
// draws would have left it, and the seats' tiles take the images that have
// left the wall. That keeps the remaining wall where later draws expect it
// and never lays one image twice.
#include "table/table_restore.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string>

#include "link/client.h"
#include "table/discards.h"
#include "table/hand_reset.h"
#include "table/hand_sort.h"
#include "table/tiles.h"

namespace mj::table {

namespace {

constexpr int LastSlot = SlotCount - 1;
constexpr int StackHeight = 4;  // single kongs of one kind a seat can hold
// The wall's tail starts on the stack before the head.
constexpr int TailBehindHead = WallSize - 2;
// The back value that means no tile has been taken from the back: the
// value that moves the tail, from where it stood, to the stack behind the
// head. A player's tail is counted from the head itself, a watcher's from
// the stack behind it.
constexpr int NoBackTiles = 133;
constexpr int WatcherNoBackTiles = NoBackTiles + (WallSize - TailBehindHead);

std::size_t at(int i) { return static_cast<std::size_t>(i); }

struct BaseSize {
    double w, h;
};
// Exposed tiles of a restored seat and the turned tile, per view or wall
// side, at 1024 x 768. The own melds and kong stacks take the sizes their
// table gives them in play: the watched seat's melds lie a little flatter
// than a player's own, and a player's own kong stacks stand at full height.
constexpr BaseSize RestoredMeldSizes[4] = {{45, 56}, {45, 35}, {34, 40}, {45, 35}};
constexpr BaseSize OwnMeldSize{45, 60};
constexpr BaseSize OwnStackSize{48, 78};
constexpr BaseSize TurnedTileSizes[4] = {{36, 50}, {48, 35}, {30, 36}, {48, 35}};
// How far the turned tile is raised over the tail stack, per wall side.
constexpr double TurnedTileRaise[4] = {22, 20, 16, 20};

// ---------------------------------------------------------------- melds

bool numberSuit(int tile) { return tileSuitBit(static_cast<TileCode>(tile & 0xFF)) != 1; }

// The best split of the multiset `rest` (in list order): fewest tiles left
// out. Tried in the order kong, 碰, 吃, left out, so an equal split prefers
// the bigger meld first.
struct Split {
    std::vector<RestoredMeld> melds;
    std::vector<int> loose;
};

Split bestSplit(std::vector<int> rest) {
    if (rest.empty()) return {};
    const int first = rest.front();
    auto without = [&](std::initializer_list<int> tiles) -> std::optional<std::vector<int>> {
        std::vector<int> r = rest;
        for (int tile : tiles) {
            auto it = std::find(r.begin(), r.end(), tile);
            if (it == r.end()) return std::nullopt;
            r.erase(it);
        }
        return r;
    };
    std::optional<Split> best;
    auto consider = [&](std::optional<std::vector<int>> r, RestoredMeld meld) {
        if (!r) return;
        Split s = bestSplit(std::move(*r));
        if (meld.tiles.empty()) {
            s.loose.insert(s.loose.begin(), first);
        } else {
            s.melds.insert(s.melds.begin(), std::move(meld));
        }
        if (!best || s.loose.size() < best->loose.size()) best = std::move(s);
    };
    consider(without({first, first, first, first}), {SlotMingGang, {first, first, first, first}});
    if (best && best->loose.empty()) return *best;
    consider(without({first, first, first}), {SlotPeng, {first, first, first}});
    if (best && best->loose.empty()) return *best;
    if (numberSuit(first) && (first & 0x0F) <= 7)
        consider(without({first, first + 1, first + 2}), {SlotChi, {first, first + 1, first + 2}});
    if (best && best->loose.empty()) return *best;
    consider(without({first}), {});
    return *best;
}

// ---------------------------------------------------------------- wall

int backTilesFor(const link::Client& c, int backValue, int front) {
    return backTilesOf(backValue, front, c.link.launch.isSpectator ? BackReading::Watcher : BackReading::Player);
}

// The next image no seat, discard or turned tile has taken, among those that
// have left the wall; -1 when none is left.
int takeImage(link::Client& c) {
    TableState& t = c.table;
    const RestoredWall wall =
        restoredWall(t.restoreOrigin, t.restoreFrontCount, backTilesFor(c, t.restoreBackCount, t.restoreFrontCount));
    for (int img : wall.taken) {
        if (t.restoreUsed[at(img)]) continue;
        t.restoreUsed[at(img)] = true;
        ++t.wallOffset;
        return img;
    }
    return -1;
}

int imageFor(link::Client& c, int view, const char* what) {
    const int img = takeImage(c);
    if (img < 0)
        c.log("restore: no wall image left for a " + std::string(what) + " of view " + std::to_string(view) +
              "; not laid");
    return img;
}

void setSize(link::Client& c, int view, BaseSize base) {
    c.table.tileW[at(view)] = roundHalfEven(base.w * c.link.scaleX);
    c.table.tileH[at(view)] = roundHalfEven(base.h * c.link.scaleY);
}

// ---------------------------------------------------------------- seat parts

enum class Depth { Front, Back, Unchanged };

void place(link::Client& c, int img, int view, double left, double top, int picture, Depth depth) {
    ui::Control* x = tileControl(c, img);
    if (!x) return;
    x->move(left, top, c.table.tileW[at(view)], c.table.tileH[at(view)]);
    setTileImage(c, img, picture);
    if (depth == Depth::Front) x->bringToFront();
    if (depth == Depth::Back) x->sendToBack();
}

// The 红中 and wild-tile kongs of the seat onto their stacks beside the hand;
// returns the exposed tiles left for the melds.
std::vector<int> laySingleKongs(link::Client& c, int view, std::span<const int> exposed) {
    TableState& t = c.table;
    SeatRecord& r = t.custom[at(view)];
    const double tw = t.tileW[at(view)];
    const double th = t.tileH[at(view)];
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    const bool ownTable = view == 0 && !c.link.launch.isSpectator;
    std::vector<int> rest;
    for (int tile : exposed) {
        const bool hongZhong = tile == HongZhong;
        if (!hongZhong && tile != t.wildTile) {
            rest.push_back(tile);
            continue;
        }
        int& count = hongZhong ? r.hongZhongGangs : r.baoGangs;
        if (count >= StackHeight) {
            c.log("restore: a fifth single kong of tile " + std::to_string(tile) + " for view " + std::to_string(view) +
                  "; not laid");
            continue;
        }
        const int img = imageFor(c, view, "single kong");
        if (img < 0) continue;
        const int n = count++;
        t.singleGangImg[at(view)][at(hongZhong ? n : 4 + n)] = img;
        const double up = 18.0 * n;
        double left = r.handX;
        double top = r.handY - up;
        Depth depth = Depth::Front;
        switch (view) {
        case 0:
            // Where the kongs laid in play stand on this table.
            top = r.handY - 18.0 * n * sy;
            if (ownTable) {
                top += th / 4;
                if (!hongZhong) left = r.handX + (tw - 5 * sx);
            } else if (!hongZhong) {
                left = r.handX + tw - 2;
            }
            break;
        case 1:
            if (hongZhong) {
                depth = count >= 2 ? Depth::Front : Depth::Back;
            } else {
                left = r.handX - 5;
                top = r.handY + th - 17 - up;
                depth = Depth::Back;
            }
            break;
        case 2:
            if (!hongZhong) left = r.handX - tw;
            break;
        default:
            left = hongZhong ? r.handX - 10 : r.handX - 15;
            if (!hongZhong) top = r.handY - th + 17 - up;
            break;
        }
        // The side seat's first 红中 goes behind, then comes to the front
        // once a second one lies on it.
        place(c, img, view, left, top, tilePicture(view, tile), depth);
    }
    return rest;
}

// Where the n-th restored meld tile of the seat lies, counted as the tiles of
// the message after the single kongs (a kong's fourth tile not counted).
std::pair<double, double> meldPlace(link::Client& c, int view, int n) {
    const SeatRecord& r = c.table.custom[at(view)];
    const double tw = c.table.tileW[at(view)];
    const double th = c.table.tileH[at(view)];
    // The message's count starts where a fresh seat's meld end stands.
    const int s = (view == 0 ? 3 : 4) + n;
    switch (view) {
    case 0: {
        // Where a meld laid in play into the same slot lies: one tile further
        // right than the message's count would put it, after the 红中 and
        // wild-tile stacks; a player's own melds a third of a tile lower.
        const double left = r.handX + (s - 1) * (tw - 2 * c.link.scaleX);
        return {left, c.link.launch.isSpectator ? r.handY : r.handY + th / 3.0};
    }
    case 1:
        return {r.handX - 5.0 * s + 10, r.handY + (s - 2) * (th - 17)};
    case 2:
        return {r.handX - (s - 2) * tw, r.handY};
    default:
        return {r.handX - 5.0 * s, r.handY - (s - 2) * (th - 17)};
    }
}

Depth meldDepth(int view) {
    if (view == 2) return Depth::Unchanged;
    return view == 3 ? Depth::Back : Depth::Front;
}

// The melds into the slots the claims use: the own seat's from slot 1, the
// others' from slot 2, three slots each; a kong's fourth tile lies on its
// second tile and keeps no slot.
void layMelds(link::Client& c, int view, std::vector<int> tiles) {
    TableState& t = c.table;
    SeatRecord& r = t.custom[at(view)];
    sortTiles(c, tiles, static_cast<int>(tiles.size()));
    const std::vector<RestoredMeld> melds = splitMelds(tiles);
    const int firstMeldSlot = view == 0 ? 1 : 2;
    int shown = 0;
    for (std::size_t m = 0; m < melds.size(); ++m) {
        const RestoredMeld& meld = melds[m];
        const int base = firstMeldSlot + 3 * static_cast<int>(m);
        // Each meld moves the concealed row three slots on, tiles already in
        // it included (a deal the server sent inside the series).
        if (r.firstConcealed + r.concealedCount + 3 > LastSlot + 1 || base + 2 > LastSlot) {
            c.log("restore: view " + std::to_string(view) + " has more melds than slots; the rest not laid");
            return;
        }
        int second = -1;
        for (std::size_t k = 0; k < meld.tiles.size(); ++k) {
            const int tile = meld.tiles[k];
            const int img = imageFor(c, view, "meld tile");
            if (img < 0) continue;
            if (k == 3) {
                // The fourth tile of a kong.
                ui::Control* x = tileControl(c, img);
                const ui::Control* under = tileControl(c, second);
                if (!x || !under) continue;
                // The own seat's as in play; the others' as the server's
                // layout has it.
                const double up = view == 0 ? 18 * c.link.scaleY : 17;
                x->move(under->left(), under->top() - up, t.tileW[at(view)], t.tileH[at(view)]);
                setTileImage(c, img, tilePicture(view, tile));
                x->bringToFront();
                continue;
            }
            TileSlot& slot = r.slots[at(base + static_cast<int>(k))];
            slot = {meld.state, tile, img};
            if (k == 1) second = img;
            const auto [left, top] = meldPlace(c, view, shown++);
            place(c, img, view, left, top, tilePicture(view, tile), meldDepth(view));
        }
        if (meld.state == SlotMingGang) ++t.restoreKongs;
        r.meldEnd += 3;
        r.firstConcealed += 3;
    }
}

// The concealed tiles, face down, from the first slot after the melds.
void layConcealed(link::Client& c, int view, std::span<const int> concealed) {
    TableState& t = c.table;
    SeatRecord& r = t.custom[at(view)];
    const double tw = t.tileW[at(view)];
    for (int tile : concealed) {
        const int s = r.firstConcealed + r.concealedCount;
        if (s > LastSlot) {
            c.log("restore: view " + std::to_string(view) + " has more tiles than its row holds; the rest not laid");
            return;
        }
        const int img = imageFor(c, view, "concealed tile");
        if (img < 0) return;
        ++r.concealedCount;
        r.slots[at(s)] = {SlotConcealed, tile, img};
        double left = r.handX + s * tw;
        double top = r.handY;
        Depth depth = Depth::Unchanged;
        if (view == 1) {
            left = r.handX - 5.0 * s;
            top = r.handY + s * tw * 0.5;
            depth = Depth::Front;
        } else if (view == 2) {
            left = r.handX - s * tw;
        } else if (view == 3) {
            left = r.handX - 5.0 * (s + 1);
            top = r.handY - (s + 1) * tw * 0.5;
            depth = Depth::Back;
        }
        place(c, img, view, left, top, standingBack(view), depth);
    }
}

// The side seats' rows overlap: each tile over the one before it on the
// left, under it on the right, with the wild-tile kongs over the row.
void restackSide(link::Client& c, int view) {
    if (view != 1 && view != 3) return;
    const TableState& t = c.table;
    const SeatRecord& r = t.custom[at(view)];
    for (int s = r.firstConcealed; s < r.firstConcealed + r.concealedCount && s <= LastSlot; ++s) {
        if (ui::Control* x = tileControl(c, r.slots[at(s)].img)) view == 1 ? x->bringToFront() : x->sendToBack();
    }
    const auto& stacks = t.singleGangImg[at(view)];
    auto raise = [&](int column, bool used) {
        if (!used) return;
        if (ui::Control* x = tileControl(c, stacks[at(column)])) x->bringToFront();
    };
    for (int k = view == 1 ? 1 : 0; k < r.baoGangs; ++k) raise(4 + k, true);
    for (int k = 0; view == 3 && k < r.hongZhongGangs; ++k) raise(k, true);
}

// ---------------------------------------------------------------- finish

void showRemainingWall(link::Client& c, const RestoredWall& wall) {
    std::array<bool, WallSize> gone{};
    for (int img : wall.taken) gone[at(img)] = true;
    for (int img = 0; img < WallSize; ++img) {
        if (!gone[at(img)]) setTileImage(c, img, lyingBack(img / 34));
    }
}

// The turned tile lies over the tail stack, raised, with the face of the
// first 痞子 tile in the set of the tail's side.
void showTurnedTile(link::Client& c, const RestoredWall& wall) {
    TableState& t = c.table;
    const int tail = wall.tail;
    ui::Control* x = tileControl(c, tail);
    if (!x || std::find(wall.taken.begin(), wall.taken.end(), tail) != wall.taken.end()) {
        c.log("restore: no wall tile left to turn");
        return;
    }
    const int side = tail / 34;
    const int code = t.piziTile1 & 0xFF;
    if (!isValidTile(static_cast<TileCode>(code))) {
        c.log("restore: turned tile code " + std::to_string(t.piziTile1) + " not shown");
        return;
    }
    x->move(x->left(), x->top() - TurnedTileRaise[side], TurnedTileSizes[side].w * c.link.scaleX,
            TurnedTileSizes[side].h * c.link.scaleY);
    setTileImage(c, tail, tilePicture(side, code));
    x->bringToFront();
    t.indicatorImg = tail;
}

void layDiscards(link::Client& c) {
    TableState& t = c.table;
    setTileSizes(t, TileSizeSet::Lying, c.link.scaleX, c.link.scaleY);
    for (int v = 0; v < 4; ++v) {
        for (int k = 0; k < t.restoreDiscardCount[at(v)]; ++k) {
            const int img = imageFor(c, v, "discard");
            if (img < 0) return;
            layDiscard(c, v, img);
            setTileImage(c, img, lyingBack(v));
        }
    }
}

}  // namespace

std::vector<RestoredMeld> splitMelds(std::span<const int> tiles) {
    Split s = bestSplit(std::vector<int>(tiles.begin(), tiles.end()));
    for (std::size_t i = 0; i < s.loose.size(); i += 3) {
        const auto end = s.loose.begin() + static_cast<std::ptrdiff_t>(std::min(i + 3, s.loose.size()));
        s.melds.push_back({SlotEmpty, std::vector<int>(s.loose.begin() + static_cast<std::ptrdiff_t>(i), end)});
    }
    return s.melds;
}

RestoredWall restoredWall(int origin, int front, int back) {
    RestoredWall w;
    origin = ((origin % WallSize) + WallSize) % WallSize;
    front = std::clamp(front, 0, WallSize);
    back = std::clamp(back, 0, WallSize - front);
    for (int k = 0; k < front; ++k) w.taken.push_back((origin + k) % WallSize);
    // From the back: the upper tile of a stack, then the lower one, then the
    // stack before it.
    auto backImage = [&](int k) { return (origin + TailBehindHead - 2 * (k / 2) + k % 2) % WallSize; };
    for (int k = 0; k < back; ++k) w.taken.push_back(backImage(k));
    w.head = (origin + front) % WallSize;
    w.tail = backImage(back);
    return w;
}

int backTilesOf(int backValue, int front, BackReading reading) {
    const int none = reading == BackReading::Watcher ? WatcherNoBackTiles : NoBackTiles;
    return std::clamp(none - backValue, 0, WallSize - front);
}

void beginRestore(link::Client& c) {
    TableState& t = c.table;
    t.restoreUsed.fill(false);
    t.wallOffset = 0;
    t.restoreKongs = 0;
    std::optional<int> start;
    for (int v = 0; v < 4 && !start; ++v) {
        if (t.custom[at(v)].seat == t.restoreBanker && t.restoreBanker != 0)
            start = wallStartFor(v, t.restoreDice[0], t.restoreDice[1]);
    }
    if (!start) {
        c.log("restore: banker " + std::to_string(t.restoreBanker) + " and dice sums " +
              std::to_string(t.restoreDice[0]) + ", " + std::to_string(t.restoreDice[1]) +
              " place no wall; laid from the present head");
    }
    t.restoreOrigin = start.value_or(t.wallHead);
    t.wallHead = t.restoreOrigin;
    t.wallTail = (t.restoreOrigin + TailBehindHead) % WallSize;
}

void layRestoredSeat(link::Client& c, int view, std::span<const int> exposed, std::span<const int> concealed) {
    if (view < 0 || view > 3) return;
    const bool ownTable = view == 0 && !c.link.launch.isSpectator;
    setSize(c, view, ownTable ? OwnStackSize : RestoredMeldSizes[view]);
    const std::vector<int> melds = laySingleKongs(c, view, exposed);
    setSize(c, view, ownTable ? OwnMeldSize : RestoredMeldSizes[view]);
    layMelds(c, view, melds);
    setTileSize(c.table, view, TileSizeSet::Standing, c.link.scaleX, c.link.scaleY);
    layConcealed(c, view, concealed);
    restackSide(c, view);
}

void finishRestore(link::Client& c) {
    TableState& t = c.table;
    const RestoredWall wall =
        restoredWall(t.restoreOrigin, t.restoreFrontCount, backTilesFor(c, t.restoreBackCount, t.restoreFrontCount));
    showRemainingWall(c, wall);
    showTurnedTile(c, wall);
    layDiscards(c);
    t.wallHead = wall.head;
    t.wallTail = wall.tail;
    // Every restored discard lies in its row: none is waiting for the next
    // draw to be laid again.
    t.curTileImg = -1;
    t.lastDiscardView = 4;
    // Every kong is followed by one draw from the back. A kong still owed
    // its supplement (the link dropped in between) draws it next.
    int kongs = t.restoreKongs;
    for (const SeatRecord& r : t.custom) kongs += r.hongZhongGangs + r.baoGangs;
    if (kongs > static_cast<int>(wall.taken.size()) - t.restoreFrontCount) {
        t.drawFromHead = false;
        t.afterGang = true;
    }
    t.restoreDone = true;
}

}  // namespace mj::table
