// table_layout.cpp: design-time table controls and the start-up layouts.
#include "table/table_layout.h"

#include <stdexcept>
#include <string>

#include "link/client.h"
#include "table/tiles.h"

namespace mj::table {

namespace {

using link::Client;
using link::DesignPicture;

// The control the layout expects; a missing one is a fault of the build and
// takes the start-up's fatal path.
ui::Control& ctl(Client& c, std::string_view name, int index = -1) {
    ui::Control* found = c.mainForm.find(name, index);
    if (!found) throw std::runtime_error("no control " + std::string(name) + "(" + std::to_string(index) + ")");
    return *found;
}

ui::Control& load(ui::Container& in, std::string_view name, int index) {
    ui::Control* made = in.loadElement(name, index);
    if (!made) throw std::runtime_error("cannot load " + std::string(name) + "(" + std::to_string(index) + ")");
    return *made;
}

template <class T>
T& ensure(ui::Container& in, std::string_view name, int index) {
    if (auto* have = in.findAs<T>(name, index)) return *have;
    return in.add<T>(std::string(name), index);
}

ui::Component& ensureComponent(ui::Container& in, std::string_view type, std::string_view name, int index) {
    if (auto* have = in.findAs<ui::Component>(name, index)) return *have;
    return in.add<ui::Component>(std::string(type), std::string(name), index);
}

ui::Image& designImage(ui::Container& in, std::string_view name, int index, double l, double t, double w, double h,
                       bool stretch, bool visible) {
    auto& img = ensure<ui::Image>(in, name, index);
    img.setStretch(stretch);
    img.move(l, t, w, h);
    img.setVisible(visible);
    return img;
}

ui::Label& designLabel(ui::Container& in, std::string_view name, int index, double w, double h, double size,
                       ui::Color color, std::string caption = {}) {
    auto& l = ensure<ui::Label>(in, name, index);
    l.setWidth(w);
    l.setHeight(h);
    l.setFontSize(size);
    l.setForeColor(color);
    l.setTransparentBack(true);
    l.setCaption(std::move(caption));
    return l;
}

constexpr int FirstImCmdPicture = 850;
constexpr ui::Color White{0xff, 0xff, 0xff};
constexpr ui::Color Gold{0xff, 0xdd, 0x55};

// Design positions of the video tool buttons inside their strip, 16 x 14 each.
struct DesignSpot {
    double left, top;
};
constexpr DesignSpot ImCmdSpots[16] = {
    {3.33, 0}, {24, 0}, {45.33, 0}, {64, 0},   // own strip
    {8, 0},    {40, 0}, {72, 0},    {104, 0},  // view 1
    {8, 0},    {40, 0}, {72, 0},    {104, 0},  // view 2
    {24, 0},   {-8, 8}, {72, 0},    {104, 0},  // view 3
};

void loadDesignPictures(Client& c);

}  // namespace

void buildTableDesign(Client& c) {
    ui::PictureBox& t = *c.pic1;
    designImage(t, "Img_bg", -1, 420, 270, 150, 150, true, false);
    designImage(t, "QuVei", -1, 890, 100, 124, 107, true, true);
    designImage(t, "QV_Image", -1, 902, 146, 33, 49, true, false);
    for (int i = 0; i < 2; ++i) designImage(t, "imgPiZi", i, 940 + 33 * i, 146, 33, 49, true, false);
    designImage(t, "Tou", 0, 10, 668, 85, 90, true, true);
    for (int i = 1; i <= 3; ++i) {
        designImage(t, "ImgKuang", i, 0, 3, 126, 105, true, false);
        auto& v = ensureComponent(t, "videoView", "vshow", i);
        v.setVisible(false);
    }
    for (int v = 0; v < 4; ++v) {
        auto& strip = ensure<ui::PictureBox>(t, "PicLocal", v);
        strip.move(0, 0, v == 0 ? 87 : 145, 17);
        strip.setBackColor({0x20, 0x20, 0x20});
        strip.setVisible(false);
        for (int k = 0; k < 4; ++k) {
            const int i = v * 4 + k;
            designImage(strip, "ImCmd", i, ImCmdSpots[i].left, ImCmdSpots[i].top, 16, 14, false, true);
        }
        designImage(t, "ImgShow", v, 0, 0, 16, 14, true, false);
    }
    designImage(t, "AnNiu", 0, 573, 730, 50, 30, false, true);
    designLabel(t, "Nid", 0, 161, 25, 10.5, White);
    designLabel(t, "Cash", 0, 161, 17, 9, Gold);
    designLabel(t, "Level", 0, 161, 17, 9, White);
    designImage(t, "OK", 0, 460, 630, 41, 49, true, false);
    designImage(t, "Bank", -1, 699, 658, 54, 31, true, true);

    c.location->setWidth(161);
    c.location->setHeight(25);
    designImage(t, "imgLocation", -1, 632, 654, 394, 39, false, true);
    // The room caption is written on its strip.
    c.location->bringToFront();
    designImage(t, "imgword1", -1, 640, 659, 57, 13, true, true);
    designImage(t, "imgword2", -1, 640, 675, 57, 13, true, true);
    designImage(t, "ZhiNan", -1, 9, 112, 79, 81, true, false);
    designImage(t, "Operation", 0, 358, 461, 50, 71, true, false);
    designImage(t, "MJ_Image", 0, 0, 0, 41, 57, true, false);
    // The dice store lies on the window itself, beneath the table area, and
    // hidden, as a small screen sends the table area to the back.
    auto& die = designImage(c.mainForm, "SZ_Image", 0, 0, 0, 40 * 15, 40 * 15, true, false);
    die.sendToBack();
    ensure<ui::TextBox>(t, "Chat", -1).setBackColor({0xf4, 0xf0, 0xe0});
    // No words of its own: the table picture carries them under the area.
    designLabel(t, "Lbchat", -1, 25, 33, 9, White);
    designImage(t, "Bird", -1, 936, 680, 82, 80, true, true);
    ensureComponent(t, "webPage", "WebBrowser1", -1).setVisible(false);
    // The seat-change screen: golden bar, its caption, the page under it.
    designImage(t, "ImgShuffle", -1, 136, 520, 185, 35, true, false);
    auto& shuffleCaption =
        designLabel(t, "LblShuffle", -1, 185, 25, 14.25, ui::Color{192, 0, 0}, "正在进入游戏.......");
    shuffleCaption.setAlignment(ui::Control::Align::Center);
    shuffleCaption.setVisible(false);
    ensureComponent(t, "webPage", "WebBrowser2", -1).move(136, 555, 113, 58);
    t.find("WebBrowser2")->setVisible(false);
    ensureComponent(t, "camera", "vcap1", -1).setVisible(false);
    designLabel(t, "Proponeself", -1, 100, 118, 9, White);
    designImage(t, "imgBeishu", -1, 6, 256, 80, 29, true, false);
    designLabel(t, "lblDifen", -1, 60, 28, 18, Gold, "1").setVisible(false);
    designImage(t, "Imgwealth", -1, 6, 288, 80, 29, true, false);
    designLabel(t, "lbwealth", -1, 60, 28, 18, Gold, "1").setVisible(false);
    for (int i = 0; i < 2; ++i) designImage(t, "imgsezi", i, 18 + 32 * i, 230, 24, 24, true, false);
    const char* rules[3] = {"骰子点数加倍", "最少金币定倍数", "个人金币数封顶"};
    for (int i = 0; i < 3; ++i) designLabel(t, "lbfont", i, 179, 27, 12, Gold, rules[i]).setVisible(false);

    // Controls of the claims, shell, props and animation subsystems that the
    // per-hand reset and the shows hide, clear or move.
    // The banker mark and its wind, side by side below the left seat's face;
    // the small table moves both to the same places scaled.
    designImage(t, "Host", -1, 6, 193, 24, 24, true, false);
    auto& zhuang = designLabel(t, "Zhuang", -1, 24, 24, 9, Gold);
    zhuang.move(45, 193);
    zhuang.setVisible(false);
    for (int i = 0; i < 6; ++i) designImage(t, "Chi", i, 0, 0, 90, 40, true, false);
    for (int i = 0; i < 5; ++i) designImage(t, "Gang", i, 0, 0, 40, 54, true, false);
    ensureComponent(t, "animatedGif", "bombPlayer", -1).setVisible(false);
    for (int i = 0; i < 2; ++i) designImage(t, "Sai_Image", i, 0, 0, 40, 40, true, false);
    designImage(t, "ImgProp", 0, 0, 0, 60, 60, true, false);
    loadDesignPictures(c);
}

namespace {
// Gives the design controls their design pictures.
void loadDesignPictures(Client& c) {
    struct Design {
        const char* name;
        int index;
        DesignPicture picture;
    };
    static constexpr Design designs[] = {
        {"Img_bg", -1, DesignPicture::ImgBg},
        {"QuVei", -1, DesignPicture::QuVei},
        {"OK", 0, DesignPicture::Ok},
        {"Time_Img", -1, DesignPicture::TimeImg},
        {"ImgKuang", 1, DesignPicture::ImgKuang},
        {"ImgKuang", 2, DesignPicture::ImgKuang},
        {"ImgKuang", 3, DesignPicture::ImgKuang},
        {"PicLocal", 0, DesignPicture::PicLocalOwn},
        {"PicLocal", 1, DesignPicture::PicLocalSeat},
        {"PicLocal", 2, DesignPicture::PicLocalSeat},
        {"PicLocal", 3, DesignPicture::PicLocalSeat},
        {"ImgShow", 0, DesignPicture::ImgShow},
        {"ImgShow", 1, DesignPicture::ImgShow},
        {"ImgShow", 2, DesignPicture::ImgShow},
        {"ImgShow", 3, DesignPicture::ImgShow},
        {"Bird", -1, DesignPicture::Bird},
        {"ImgShuffle", -1, DesignPicture::ImgShuffle},
        {"imgLocation", -1, DesignPicture::ImgLocation},
        {"imgword1", -1, DesignPicture::ImgWord1},
        {"imgword2", -1, DesignPicture::ImgWord2},
        {"imgBeishu", -1, DesignPicture::ImgBeishu},
        {"Imgwealth", -1, DesignPicture::ImgWealth},
        {"MJ_Image", 0, DesignPicture::MjImage},
        {"Host", -1, DesignPicture::Host},
        {"ZhiNan", -1, DesignPicture::ZhiNan},
        {"Sai_Image", 0, DesignPicture::SaiImage},
        {"Sai_Image", 1, DesignPicture::SaiImage},
    };
    for (const Design& d : designs) {
        if (ui::Control* target = c.mainForm.find(d.name, d.index)) {
            (void)loadPicture(c, static_cast<int>(d.picture), *target);
        }
    }
    (void)loadPicture(c, static_cast<int>(DesignPicture::Table), *c.pic1);
    (void)loadPicture(c, static_cast<int>(DesignPicture::SmallTable), *c.pic2);
    // The tool buttons carry the pictures the tool-button table numbers.
    for (int i = 0; i < 16; ++i) {
        if (ui::Control* b = c.mainForm.find("ImCmd", i)) (void)loadPicture(c, FirstImCmdPicture + i, *b);
    }
    if (ui::Control* bank = c.mainForm.find("Bank")) (void)loadPicture(c, link::BankNormalId, *bank);
}
}  // namespace

void initSeatLayout(Client& c) {
    auto& t = c.table;
    ui::PictureBox& pic = *c.pic1;
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;

    // 1.
    ctl(c, "Img_bg").setVisible(false);
    t.nextHandPending = true;

    // 2. The wild-tile group.
    auto& quVei = ctl(c, "QuVei");
    quVei.move(890 * sx, 100 * sy, 124 * sx, 107 * sy);
    auto& qv = ctl(c, "QV_Image");
    qv.move(quVei.left() + 12 * sx, quVei.top() + 46 * sy, 33 * sx, 49 * sy);
    auto& pz0 = ctl(c, "imgPiZi", 0);
    pz0.move(qv.left() + qv.width() + 5 * sx, qv.top(), 33 * sx, 49 * sy);
    auto& pz1 = ctl(c, "imgPiZi", 1);
    pz1.move(pz0.left() + pz0.width(), qv.top(), 33 * sx, 49 * sy);
    for (ui::Control* x : {&qv, &pz0, &pz1}) {
        x->bringToFront();
        x->setVisible(false);
    }

    // 3. Faces: the other seats' in a row along the top edge.
    ctl(c, "Tou", 0).move(10 * sx, 668 * sy, 85 * sx, 90 * sy);
    for (int i = 1; i <= 3; ++i) {
        auto& face = load(pic, "Tou", i);
        face.setWidth(70 * sx);
        face.setHeight(62 * sy);
        face.setVisible(true);
    }
    constexpr double FaceLeft[4] = {0, 7, 350, 693};
    for (int i = 1; i <= 3; ++i) ctl(c, "Tou", i).move(FaceLeft[i] * sx, 15 * sy);

    // 4. Video frames; their top edge and the first one's left are fixed pixels.
    constexpr double FrameLeft[4] = {0, 0, 342, 685};
    for (int i = 1; i <= 3; ++i) {
        auto& f = ctl(c, "ImgKuang", i);
        f.setWidth(126 * sx);
        f.setHeight(105 * sy);
        f.setTop(3);
        f.setLeft(i == 1 ? 0 : FrameLeft[i] * sx);
        f.setVisible(false);
    }

    // 5. Tool-button strips, the seats' ones starting at their frame's right edge.
    ctl(c, "PicLocal", 0).move(9 * sx, 742 * sy, 87 * sx, 17 * sy);
    for (int i = 1; i <= 3; ++i) {
        auto& f = ctl(c, "ImgKuang", i);
        ctl(c, "PicLocal", i).move(f.left() + f.width(), 88 * sy, 145 * sx, 17 * sy);
    }
    for (int i = 0; i < 4; ++i) ctl(c, "PicLocal", i).setVisible(false);
    for (int i = 1; i <= 3; ++i) ctl(c, "ImgShow", i).setVisible(false);

    // 6. Viewers fill their frame less a border.
    for (int i = 1; i <= 3; ++i) {
        auto& f = ctl(c, "ImgKuang", i);
        auto& v = ctl(c, "vshow", i);
        if (auto* viewer = dynamic_cast<ui::Component*>(&v)) viewer->setViewOption1(true);
        v.setTop(f.top() + 5 * sy);
        v.setLeft(f.left() + 5 * sx);
        v.setWidth(f.width() - 10 * sx);
        v.setHeight(105 * sy - 10 * sy);
        v.setVisible(false);
    }

    // 7. Video-on icons.
    constexpr double IconLeft[4] = {104, 32, 380, 720};
    for (int i = 0; i < 4; ++i) {
        ctl(c, "ImgShow", i).move(IconLeft[i] * sx, (i == 0 ? 688 : 80) * sy, 16 * sx, 14 * sy);
    }

    // 8. Tool buttons keep their design places unless the screen is small.
    if (sx < 1) {
        for (int i = 0; i < 16; ++i) {
            auto& b = ctl(c, "ImCmd", i);
            b.setStretch(true);
            b.move(b.left() * sx, b.top() * sy, b.width() * sx, b.height() * sy);
        }
    }

    // 9. Toolbar.
    for (int i = 1; i <= 8; ++i) {
        auto& b = load(pic, "AnNiu", i);
        b.setVisible(true);
        b.bringToFront();
    }
    for (int i = 0; i <= 8; ++i) {
        auto& b = ctl(c, "AnNiu", i);
        t.anNiuState[static_cast<std::size_t>(i)] = false;
        t.anNiuHover[static_cast<std::size_t>(i)] = false;
        b.setWidth((i == 0 ? 50 : 60) * sx);
        b.setHeight(30 * sy);
        const int k = i < 3 ? 2 * i : 2 * i + 2;
        (void)loadPicture(c, c.link.pictures.anNiuPic[static_cast<std::size_t>(k)], b);
    }
    t.anNiuState[2] = true;
    auto place = [&](int i, double l, double tp) { ctl(c, "AnNiu", i).move(l, tp); };
    auto left = [&](int i) { return ctl(c, "AnNiu", i).left(); };
    auto top = [&](int i) { return ctl(c, "AnNiu", i).top(); };
    place(0, 573 * sx, 730 * sy);
    place(1, 648 * sx, 699 * sy);
    for (int i = 2; i <= 4; ++i) place(i, left(i - 1) + 70 * sx, top(i - 1));
    place(5, left(1), top(1) + 32 * sy);
    for (int i = 6; i <= 8; ++i) place(i, left(i - 1) + 70 * sx, top(i - 1));

    // 10. Seat captions.
    for (int i = 1; i <= 3; ++i) {
        for (const char* name : {"Nid", "Cash", "Level"}) load(pic, name, i).setVisible(true);
        if (sx < 1) {
            ctl(c, "Cash", i).setFontSize(8);
            ctl(c, "Level", i).setFontSize(8);
        }
    }
    if (sx < 1) ctl(c, "Level", 0).setFontSize(8);
    t.countingUserInfo = false;
    layoutSeatInfoLabels(c);
    c.link.handRunning = false;

    // 11. Ready marks keep their design size.
    for (int i = 1; i <= 3; ++i) load(pic, "OK", i).setVisible(false);
    constexpr double OkSpot[4][2] = {{460, 630}, {60, 280 + 50}, {460, 100}, {900, 280 + 50}};
    for (int i = 0; i < 4; ++i) ctl(c, "OK", i).move(OkSpot[i][0] * sx, OkSpot[i][1] * sy);

    // 12.
    c.props.exitPluginAfterDraw = 0;
    c.props.propResultMode = 0;

    // 13. Store button, resized only on a small screen.
    auto& bank = ctl(c, "Bank");
    if (sx < 1) {
        bank.setWidth(bank.width() * sx);
        bank.setHeight(bank.height() * sy);
    }
    bank.move(699 * sx, 658 * sy);
    bank.setVisible(true);
    bank.bringToFront();
}

void layoutSeatInfoLabels(Client& c) {
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    struct Spot {
        double left, top;
    };
    constexpr Spot Nid[4] = {{181, 700}, {165, 15}, {509, 15}, {852, 15}};
    constexpr Spot Cash[4] = {{181, 724}, {165, 40}, {509, 40}, {852, 40}};
    constexpr Spot Level[4] = {{181, 744}, {165, 64}, {509, 64}, {852, 64}};
    for (int v = 0; v < 4; ++v) {
        for (auto [name, spot] : {std::pair{"Nid", Nid[v]}, std::pair{"Cash", Cash[v]}, std::pair{"Level", Level[v]}}) {
            auto& l = ctl(c, name, v);
            l.setTop(spot.top * sy);
            l.setLeft(spot.left * sx);
        }
    }
    c.location->setTop(668 * sy);
    c.location->setLeft(760 * sx);
    ctl(c, "imgword1").move(640 * sx, 659 * sy, 57 * sx, 13 * sy);
    ctl(c, "imgword2").move(640 * sx, 675 * sy, 57 * sx, 13 * sy);
    auto& strip = ctl(c, "imgLocation");
    strip.setStretch(true);
    strip.move(632 * sx, 654 * sy, 394 * sx, 39 * sy);
}

void initTableControls(Client& c) {
    auto& t = c.table;
    ui::PictureBox& pic = *c.pic1;
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    const bool small = sx < 1;

    // 1.
    ctl(c, "ZhiNan").setVisible(false);

    // 2. Turn countdown, right under the wild-tile frame.
    auto& quVei = ctl(c, "QuVei");
    auto& clock = *c.timeImg;
    clock.setWidth(81 * sx);
    clock.setHeight(38 * sy);
    clock.setLeft(quVei.left());
    clock.setTop(quVei.top() + quVei.height());
    auto& number = *c.number;
    number.setWidth(24 * sx);
    number.setHeight(24 * sy);
    number.setLeft(clock.left() + 48 * sx);
    number.setTop(clock.top() + 5 * sy);
    if (small) {
        number.setFontSize(12);
        number.setLeft(clock.left() + 48 * sx + 2);
    }

    // 3. Claim buttons in a row without gaps.
    auto& op0 = ctl(c, "Operation", 0);
    op0.setTop(461 * sy);
    op0.setLeft(358 * sx);
    for (int i = 1; i <= 4; ++i) load(pic, "Operation", i);
    for (int i = 0; i <= 4; ++i) {
        auto& b = ctl(c, "Operation", i);
        b.setWidth(50 * sx);
        b.setHeight(71 * sy);
        (void)loadPicture(c, c.link.pictures.operationPic[static_cast<std::size_t>(3 * i)], b);
        if (i > 0) {
            b.setTop(op0.top());
            b.setLeft(ctl(c, "Operation", i - 1).left() + op0.width());
        }
        b.setEnabled(false);
        b.setVisible(false);
    }

    // 4. The tiles; element 0 ends in front of the others.
    for (int i = 1; i < WallSize; ++i) load(pic, "MJ_Image", i).bringToFront();
    ctl(c, "MJ_Image", 0).bringToFront();

    // 5. The dice store.
    for (int i = 1; i <= 15; ++i) {
        auto& d = load(c.mainForm, "SZ_Image", i);
        (void)loadPicture(c, c.link.pictures.dicePic[static_cast<std::size_t>(i)], d);
    }
    (void)loadPicture(c, c.link.pictures.dicePic[0], ctl(c, "SZ_Image", 0));

    // 6. Message strip: the second line goes where the first one's reported
    // height ends, since a list box shows whole lines only.
    auto& line0 = *c.sysmsg[0];
    auto& line1 = *c.sysmsg[1];
    line0.setHeight(small ? (26 * sy + 4) / 2 : 26.0 / 2);
    line1.setHeight(line0.height());
    line0.setTop(small ? 696 * sy - 2 : 696);
    line1.setTop(line0.top() + line0.height());
    auto& lbchat = ctl(c, "Lbchat");
    lbchat.setHeight(33 * sy);
    lbchat.setWidth(25 * sx);
    lbchat.setTop(694 * sy);
    lbchat.setLeft(594 * sx);
    line0.setWidth(281 * sx);
    line0.setLeft(312 * sx);
    line1.setWidth(line0.width());
    line1.setLeft(line0.left());
    line0.setVisible(true);
    line1.setVisible(true);

    // 7.
    c.mainForm.setFontSize(10);

    // 8. Chat input under the strip.
    auto& chat = ctl(c, "Chat");
    chat.setVisible(true);
    chat.setHeight(33 * sy);
    chat.setWidth(250 * sx);
    chat.setLeft(312 * sx);
    chat.setTop(732 * sy);

    // 9. Banner.
    auto& bird = ctl(c, "Bird");
    bird.move(936 * sx, 680 * sy, 82 * sx, 80 * sy);
    auto& browser = ctl(c, "WebBrowser1");
    browser.setVisible(false);
    browser.setTop(bird.top() + 2);
    browser.setLeft(bird.left() + 2);
    browser.setWidth(82 * sx);
    browser.setHeight(80 * sy);

    // 10. Own camera over the own face, with its hover frame around it.
    auto& face = ctl(c, "Tou", 0);
    auto& cam = ctl(c, "vcap1");
    cam.setVisible(false);
    cam.setTop(face.top());
    cam.setLeft(face.left());
    cam.setHeight(face.height() - 7 * sy);
    cam.setWidth(face.width());
    auto& frame = ctl(c, "Proponeself");
    frame.setTop(cam.top() - 10);
    frame.setLeft(cam.left() - 10);
    frame.setHeight(cam.height() + 35);
    frame.setWidth(cam.width() + 15);
    frame.setEnabled(true);
    frame.bringToFront();

    // 11. Multiplier and dice captions, each placed, brought up and hidden.
    auto caption = [](ui::Control& x, double left, double top) {
        x.setLeft(left);
        x.setTop(top);
        x.bringToFront();
        x.setVisible(false);
    };
    caption(ctl(c, "imgBeishu"), (4 + 2) * sx, (small ? 562 - 310 : 566 - 310) * sy);
    caption(ctl(c, "lblDifen"), small ? (56 + 2) * sx + 8 : (56 + 2) * sx, (small ? 564 - 310 : 567 - 310) * sy);
    caption(ctl(c, "Imgwealth"), (4 + 2) * sx, (608 - 320) * sy);
    auto& wealth = ctl(c, "lbwealth");
    wealth.setLeft(small ? (56 + 3) * sx + 8 : (56 + 4) * sx);
    wealth.setFontSize(18);
    wealth.setTop((616 - 320) * sy);
    wealth.bringToFront();
    wealth.setVisible(false);
    const double diceTop = small ? (536 - 310) * sy - 4 : (540 - 310) * sy;
    caption(ctl(c, "imgsezi", 0), 18 * sx, diceTop);
    caption(ctl(c, "imgsezi", 1), small ? (48 + 2) * sx + 3 : (48 + 2) * sx, diceTop);
    ctl(c, "lblDifen").setFontSize(18);

    // 12. Rule captions.
    for (int i = 0; i < 3; ++i) {
        auto& l = ctl(c, "lbfont", i);
        l.setVisible(false);
        l.setTop((280 + 32 * i) * sy);
    }
    for (int i = 0; i < 3; ++i) ctl(c, "lbfont", i).setLeft(small ? 424 * sx - 10 : 424);

    // 13.
    t.wealthByView.fill(0);
}

}  // namespace mj::table
