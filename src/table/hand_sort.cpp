// hand_sort.cpp: sorting and redrawing hands.
#include "table/hand_sort.h"

#include <algorithm>
#include <string>
#include <vector>

#include "link/client.h"
#include "table/tiles.h"

namespace mj::table {

namespace {

int suitOf(int tile) { return (tile / 16) % 16; }
int rankOf(int tile) { return tile % 16; }

// 筒 (8) before 萬 (4) before 条 (2) before honours (1); rank 1 first.
bool suitRankBefore(int a, int b) {
    if (suitOf(a) != suitOf(b)) return suitOf(a) > suitOf(b);
    return rankOf(a) < rankOf(b);
}

}  // namespace

void sortAndDrawHand(link::Client& client, int view, int count) {
    TableState& t = client.table;
    if (view < 0 || view > 3) {
        client.log("sort refused: view " + std::to_string(view));
        return;
    }
    SeatRecord& r = t.custom[static_cast<std::size_t>(view)];
    const int first = r.firstConcealed;
    if (count < 0 || first < 0 || first + count > SlotCount) {
        client.log("sort refused: slots " + std::to_string(first) + " + " + std::to_string(count));
        return;
    }
    auto tileAt = [&](int i) -> int& { return r.slots[static_cast<std::size_t>(i)].tile; };

    const bool piziMode = t.wildTile > 0 && t.specialMode == 3;
    r.wildCount = 0;
    if (piziMode) r.pizi1Count = r.pizi2Count = 0;
    for (int i = first; i < first + count; ++i) {
        if (tileAt(i) == t.wildTile) ++r.wildCount;
        if (piziMode && tileAt(i) == t.piziTile1) ++r.pizi1Count;
        if (piziMode && tileAt(i) == t.piziTile2) ++r.pizi2Count;
    }

    // One class per code: a code that is the wild tile is wild only, and the
    // second 痞子 is only what the first is not.
    auto classOf = [&](int tile) {
        if (tile == t.wildTile) return 0;
        if (piziMode && tile == t.piziTile1) return 1;
        if (piziMode && tile == t.piziTile2) return 2;
        return 3;
    };
    std::vector<int> tiles;
    for (int i = first; i < first + count; ++i) tiles.push_back(tileAt(i));
    std::stable_sort(tiles.begin(), tiles.end(), [&](int a, int b) {
        if (classOf(a) != classOf(b)) return classOf(a) < classOf(b);
        return suitRankBefore(a, b);
    });
    for (int i = 0; i < count; ++i) tileAt(first + i) = tiles[static_cast<std::size_t>(i)];

    for (int i = first; i < first + count; ++i) {
        const TileSlot& s = r.slots[static_cast<std::size_t>(i)];
        const int picture = tilePicture(view == 0 ? HandPictureSet : view, s.tile);
        // Once the wild tile is known only changed faces of the own hand are
        // re-pictured; what the control shows decides, so a tile turned face
        // down meanwhile is redrawn.
        if (view == 0 && t.wildTile > 0) {
            const ui::Control* c = tileControl(client, s.img);
            if (c && c->visible() && shownTilePicture(client, s.img) == picture) continue;
        }
        setTileImage(client, s.img, picture);
    }
}

void sortTiles(link::Client& client, std::span<int> tiles, int n) {
    if (n < 0 || static_cast<std::size_t>(n) > tiles.size()) {
        client.log("tile list sort refused: " + std::to_string(n) + " of " + std::to_string(tiles.size()));
        return;
    }
    std::stable_sort(tiles.begin(), tiles.begin() + n, suitRankBefore);
}

}  // namespace mj::table
