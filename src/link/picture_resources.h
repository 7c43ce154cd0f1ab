// picture_resources.h: the picture-id tables and the one loader that gives a
// control a picture from the program's numbered resources of type "GIF".
#pragma once
#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/controls.h"
#include "platform/picture_decoder.h"
#include "platform/resources.h"

namespace mj::link {

// Resource numbers as decimal text, as callers look them up; filled once at
// start-up by initPictureIdTables and never changed afterwards.
struct PictureTables {
    std::array<std::string, 20> anNiuPic;      // toolbar, normal/hover pairs
    std::array<std::string, 180> tilePic;      // tile faces by size set and place
    std::array<std::string, 18> operationPic;  // claim buttons, 3 per button
    std::array<std::string, 16> dicePic;       // 0-5 faces, 6-15 tumbling
    std::array<std::string, 9> captionPic;     // claim captions
    std::array<std::string, 20> facePic;       // avatars by face index
    std::array<std::string, 8> dialogPic;      // dialog buttons and switches
    std::array<std::string, 4> compassPic;     // by own seat index
    std::array<std::string, 6> panelPic;       // video panel skins (JPEG)
    std::array<std::string, 16> imCmdPic;      // video tool buttons; 865 does not exist
    std::array<std::string, 6> seziPic;        // dice faces at the hand start
};

// Fills every table. Only the toolbar depends on the scale: the full-size set
// only when scaleX is exactly 1.0, else the small set (entries 0 and 1 stay).
void initPictureIdTables(PictureTables& tables, double scaleX);

// Fixed resource numbers outside the tables.
inline constexpr int BombAnimationId = 420;  // the consecutive-wild animated GIF
inline constexpr int BankNormalId = 450;
inline constexpr int BankHoverId = 451;

// The windows' design pictures, carried as resources of type "GIF" with these
// numbers (drawn by tools/artgen; the two table backgrounds are JPEG).
enum class DesignPicture : int {
    Table = 1001,         // Pic1, 1024 x 768
    SmallTable = 1002,    // Pic2, 800 x 600: the table on a small screen
    QuVei = 1003,         // wild-tile frame, 124 x 107
    ImgBg = 1004,         // backdrop of the consecutive-wild animation, 150 x 150
    Ok = 1005,            // ready mark, 41 x 49
    TimeImg = 1006,       // countdown clock, 81 x 38
    ImgKuang = 1007,      // video frame, 126 x 105
    PicLocalOwn = 1008,   // own tool strip, 87 x 17
    PicLocalSeat = 1009,  // other seats' tool strip, 145 x 17
    ImgShow = 1010,       // video-on icon, 16 x 14
    Bird = 1011,          // picture under the banner, 82 x 80
    ImgLocation = 1012,   // room caption strip, 394 x 39
    ImgWord1 = 1013,      // quick-phrase list 1 button, 57 x 13
    ImgWord2 = 1014,      // quick-phrase list 2 button, 57 x 13
    ImgBeishu = 1015,     // dice multiplier, 80 x 29
    ImgWealth = 1016,     // wealth multiplier, 80 x 29
    ImgShuffle = 1017,    // seat-change screen, 200 x 60
    MjImage = 1018,       // MJ_Image(0) design picture, 41 x 57
    Zhuang = 1019,        // banker mark, 24 x 24
    Host = 1020,          // host mark, 24 x 24
    LianlaiImg = 1021,    // wild-tile frame of a consecutive-wild hand, 124 x 107
    QuveiImg = 1022,      // wild-tile frame of any other hand, 124 x 107
    SpeakBubble = 1023,   // speech bubble, 160 x 70
    PhraseWindow = 1024,  // quick-phrase window background, 320 x 180
    WindowSkin = 1025,    // window frame skin, 46 x 220: corners 8 x 20 on top, 8 x 8 below
    PanelClose = 1026,    // video panel caption buttons, 17 x 16
    PanelEnlarge = 1027,
    PanelShrink = 1028,
    ZhiNan = 1029,        // compass holder, 79 x 81
    SaiImage = 1030,      // rolling die design picture, 40 x 40
    DialogBack = 1031,    // exit dialogs, 320 x 180: red border, ornament at the top centre
    SettingsBack = 1032,  // settings dialog, 220 x 365
    CardBack = 1033,      // player card, 220 x 330
    CloseNormal = 1034,   // main window close button, 16 x 16: normal, hover, pressed
    CloseHover = 1035,
    ClosePressed = 1036,
    MinNormal = 1037,  // main window minimise button, 16 x 16: normal, hover, pressed
    MinHover = 1038,
    MinPressed = 1039,
    OtherExitOk = 1040,    // back to the hall, 70 x 29
    OtherExitStay = 1041,  // look at the table, 70 x 29
    SettingLabel0 = 1042,  // the settings dialog's five row pictures, 91 x 35
    ScoreBack = 1047,      // settlement board, 640 x 480, close mark at the top right
    HeroBack = 1048,       // all-hands board, 655 x 454, close mark at the top right
    TalkBack = 1049,       // chat history window, 320 x 180, close mark on the top strip
};

// Reads and decodes numbered resources, keeping every decoded picture (and
// every failure) by type and number: resources never change while the client
// runs, and a hand lays out hundreds of tile faces. Borrows both services.
class PictureLoader {
public:
    PictureLoader(const platform::Resources& resources, const platform::PictureDecoder& decoder)
        : resources_(resources), decoder_(decoder) {}

    // The picture of resource `id`, or the reason there is none.
    [[nodiscard]] platform::DecodedPicture load(int id, std::string_view type);

private:
    const platform::Resources& resources_;
    const platform::PictureDecoder& decoder_;
    std::map<std::pair<std::string, int>, platform::DecodedPicture> cache_;
};

// Gives `target` the picture of resource `id` of `type` ("GIF"). True when the
// picture was set; false when the id is not a number, there is no such
// resource or its data cannot be decoded, and then the target keeps its
// previous picture. Nothing is written to disk.
bool loadPictureFromResource(PictureLoader& loader, std::string_view id, std::string_view type, ui::Control& target);
bool loadPictureFromResource(PictureLoader& loader, int id, std::string_view type, ui::Control& target);

}  // namespace mj::link
