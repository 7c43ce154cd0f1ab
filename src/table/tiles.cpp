// tiles.cpp: tile pictures, views, tile sizes and the hand searches.
#include "table/tiles.h"

#include <cmath>
#include <string>

#include "link/client.h"
#include "link/general.h"

namespace mj::table {

namespace {

constexpr int FirstTileResource = 201;

struct BaseSize {
    int w, h;
};
// Base pixels at 1024 x 768, views 0-3.
constexpr BaseSize LyingSizes[4] = {{36, 50}, {48, 35}, {30, 36}, {48, 35}};
constexpr BaseSize StandingSizes[4] = {{48, 78}, {35, 66}, {36, 50}, {35, 66}};
constexpr BaseSize ActionSizes[4] = {{45, 60}, {45, 35}, {34, 40}, {45, 35}};
constexpr BaseSize RevealSizes[4] = {{48, 60}, {45, 35}, {36, 39}, {45, 35}};

const BaseSize* sizesOf(TileSizeSet set) {
    switch (set) {
    case TileSizeSet::Lying:
        return LyingSizes;
    case TileSizeSet::Standing:
        return StandingSizes;
    case TileSizeSet::Action:
        return ActionSizes;
    case TileSizeSet::Reveal:
        return RevealSizes;
    }
    return LyingSizes;
}

}  // namespace

int tilePicture(int set, int tileCode) {
    const int suit = (tileCode / 16) % 16;
    const int rank = tileCode % 16;
    return set * 36 + link::bitToIndex(static_cast<std::uint8_t>(suit)) * 9 + rank - 1;
}

int viewPos(SeatBit own, SeatBit seat) { return (link::bitToIndex(own) + 4 - link::bitToIndex(seat)) % 4; }

int roundHalfEven(double v) {
    // The default rounding mode rounds halves to even, as the stored
    // Integers of the layout do.
    return static_cast<int>(std::nearbyint(v));
}

void setTileSizes(TableState& t, TileSizeSet set, double scaleX, double scaleY) {
    for (int v = 0; v < 4; ++v) setTileSize(t, v, set, scaleX, scaleY);
}

void setTileSize(TableState& t, int view, TileSizeSet set, double scaleX, double scaleY) {
    if (view < 0 || view > 3) return;
    const BaseSize& s = sizesOf(set)[view];
    t.tileW[static_cast<std::size_t>(view)] = roundHalfEven(s.w * scaleX);
    t.tileH[static_cast<std::size_t>(view)] = roundHalfEven(s.h * scaleY);
}

bool loadPicture(link::Client& client, int id, ui::Control& target) {
    return link::loadPictureFromResource(client.pictureLoader, id, "GIF", target);
}

bool loadPicture(link::Client& client, std::string_view id, ui::Control& target) {
    return link::loadPictureFromResource(client.pictureLoader, id, "GIF", target);
}

ui::Control* tileControl(link::Client& client, int image) {
    if (image < 0 || image >= WallSize) return nullptr;
    return client.pic1->find("MJ_Image", image);
}

void setTileImage(link::Client& client, int image, int picture) {
    if (picture < 0 || picture >= TilePictureCount) {
        client.log("tile picture " + std::to_string(picture) + " refused for tile " + std::to_string(image));
        return;
    }
    ui::Control* c = tileControl(client, image);
    if (!c) {
        client.log("tile control " + std::to_string(image) + " refused");
        return;
    }
    c->setVisible(false);
    // A picture that cannot be loaded leaves the old one; the tile is shown
    // either way, as the table expects it on screen.
    (void)loadPicture(client, client.link.pictures.tilePic[static_cast<std::size_t>(picture)], *c);
    c->setVisible(true);
}

int shownTilePicture(link::Client& client, int image) {
    const ui::Control* c = tileControl(client, image);
    if (!c || !c->picture()) return -1;
    const int n = c->picture()->resourceId - FirstTileResource;
    return n >= 0 && n < TilePictureCount ? n : -1;
}

bool isImageInHand(const TableState& t, int image) { return findSlotOfImage(t, image) >= 0; }

int findSlotOfImage(const TableState& t, int image) {
    const SeatRecord& r = t.custom[0];
    const int last = std::min(r.firstConcealed + r.concealedCount, SlotCount);
    for (int i = std::max(r.firstConcealed, 0); i < last; ++i) {
        if (r.slots[static_cast<std::size_t>(i)].img == image) return i;
    }
    return -1;
}

}  // namespace mj::table
