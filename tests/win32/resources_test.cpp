// resources_test.cpp: the pictures linked into the program, read back through
// the Win32 resource calls and decoded in memory as the client loads them.
#include "platform/win32/win32_resources.h"

#include <gtest/gtest.h>

#include "link/picture_resources.h"
#include "platform/win32/win32_picture_decoder.h"

namespace mj::platform::win32 {
namespace {

TEST(Win32Resources, FindsOurPicturesByNumberAndType) {
    Win32Resources resources;
    const auto tile = resources.bytes(205, "GIF");
    ASSERT_TRUE(tile.has_value());
    EXPECT_EQ(tile->substr(0, 6), "GIF89a");
    EXPECT_EQ(resources.bytes(205, "gif"), tile);  // the type ignores case
    EXPECT_FALSE(resources.bytes(865, "GIF").has_value());
    EXPECT_FALSE(resources.bytes(205, "JPG").has_value());
    EXPECT_FALSE(resources.bytes(0, "GIF").has_value());
    EXPECT_FALSE(resources.bytes(70000, "GIF").has_value());
}

// Everything the client loads at run time decodes with the system decoder,
// the JPEG skins under the same type included.
TEST(Win32Resources, EveryPictureLoadsIntoAControl) {
    Win32Resources resources;
    Win32PictureDecoder decoder;
    link::PictureLoader loader(resources, decoder);
    link::PictureTables tables;
    ui::Image target("MJ_Image", 0);
    int loaded = 0;
    for (double scale : {1.0, 0.78125}) {
        link::initPictureIdTables(tables, scale);
        auto loadAll = [&](const auto& table, std::size_t count) {
            for (std::size_t i = 0; i < count; ++i) {
                EXPECT_TRUE(link::loadPictureFromResource(loader, table[i], "GIF", target)) << table[i];
                ++loaded;
            }
        };
        loadAll(tables.anNiuPic, 20);
        loadAll(tables.tilePic, 180);
        loadAll(tables.operationPic, 18);
        loadAll(tables.dicePic, 16);
        loadAll(tables.captionPic, 9);
        loadAll(tables.facePic, 20);
        loadAll(tables.dialogPic, 8);
        loadAll(tables.compassPic, 4);
        loadAll(tables.panelPic, 6);
        loadAll(tables.imCmdPic, 15);  // entry 15 names 865, which does not exist
        loadAll(tables.seziPic, 6);
        EXPECT_FALSE(link::loadPictureFromResource(loader, tables.imCmdPic[15], "GIF", target));
    }
    for (int id : {link::BombAnimationId, link::BankNormalId, link::BankHoverId})
        EXPECT_TRUE(link::loadPictureFromResource(loader, id, "GIF", target)) << id;
    for (int id = static_cast<int>(link::DesignPicture::Table); id <= static_cast<int>(link::DesignPicture::SaiImage); ++id)
        EXPECT_TRUE(link::loadPictureFromResource(loader, id, "GIF", target)) << id;
    EXPECT_GT(loaded, 500);

    ASSERT_TRUE(link::loadPictureFromResource(loader, 872, "GIF", target));
    EXPECT_EQ(target.picture()->width, 434);
    EXPECT_EQ(target.picture()->height, 341);
    ASSERT_TRUE(link::loadPictureFromResource(loader, 141, "GIF", target));
    EXPECT_EQ(target.picture()->width, 50);
    EXPECT_EQ(target.picture()->height, 71);
}

}  // namespace
}  // namespace mj::platform::win32
