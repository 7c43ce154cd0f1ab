// window_frame.cpp: the frame painted from the skin and its caption buttons.
#include "shell/window_frame.h"

#include "link/client.h"
#include "platform/files.h"
#include "shell/chat_windows.h"
#include "shell/shell_windows.h"
#include "shell/toolbar.h"
#include "table/tiles.h"

namespace mj::shell {
namespace {

using link::DesignPicture;

struct Piece {
    int sx, sy, sw, sh;  // in the skin, pixels
};
// Top-left, top band, top-right, left, right, bottom-left, bottom band, bottom-right.
constexpr Piece SkinPieces[8] = {{0, 0, 8, 20},    {8, 0, 8, 20},  {38, 0, 8, 20}, {0, 20, 8, 192},
                                 {38, 20, 8, 192}, {0, 212, 8, 8}, {8, 212, 8, 8}, {38, 212, 8, 8}};

ui::Control& ctl(link::Client& c, std::string_view name, int index = -1) {
    ui::Control* x = c.mainForm.find(name, index);
    if (!x) throw std::runtime_error("no frame control " + std::string(name));
    return *x;
}

void copyPicture(link::Client& c, std::string_view name, int from) {
    ctl(c, name, 0).setPicture(ctl(c, name, from).picture());
}

}  // namespace

ui::PictureRef cropPicture(const ui::Picture& from, int x, int y, int w, int h) {
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > from.width || y + h > from.height) return {};
    auto out = std::make_shared<ui::Picture>();
    out->width = w;
    out->height = h;
    out->pixels.reserve(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int row = y; row < y + h; ++row) {
        const auto start = from.pixels.begin() + static_cast<std::ptrdiff_t>(row) * from.width + x;
        out->pixels.insert(out->pixels.end(), start, start + w);
    }
    return out;
}

void buildFrameControls(link::Client& c) {
    ui::Form& m = c.mainForm;
    auto& skin = m.add<ui::Image>("Skin", -1);
    skin.setVisible(false);
    (void)table::loadPicture(c, static_cast<int>(DesignPicture::WindowSkin), skin);
    for (int i = 0; i < 8; ++i) {
        auto& piece = m.add<ui::Image>("SkinPiece", i);
        piece.setStretch(true);
        piece.setVisible(false);
    }
    m.add<ui::Image>("ImgIcon", -1).setStretch(true);
    auto& title = m.add<ui::Label>("lcaption", -1);
    title.setTransparentBack(true);
    title.setFont({"宋体", 10.5, true});
    title.move(300, 25, 3000, 240);
    auto& drag = m.add<ui::Label>("LbMove", -1);
    drag.setTransparentBack(true);
    const DesignPicture firsts[2] = {DesignPicture::CloseNormal, DesignPicture::MinNormal};
    const char* names[2] = {"ImgClose", "ImgMin"};
    const char* tips[2] = {"关闭", "最小化"};
    for (int k = 0; k < 2; ++k) {
        for (int i = 0; i < 4; ++i) {
            auto& b = m.add<ui::Image>(names[k], i);
            b.move(0, 0, 240, 240);
            if (i > 0) {
                b.setVisible(false);
                (void)table::loadPicture(c, static_cast<int>(firsts[k]) + i - 1, b);
            }
        }
        auto& b = ctl(c, names[k], 0);
        b.setToolTip(tips[k]);
        b.setMousePointer(ui::PointerCustom);
        b.setPicture(ctl(c, names[k], 1).picture());
    }
    // Out of sight behind the table until the frame is painted. A screen no
    // larger than the table gets no frame, and the small table goes to the
    // back itself: the title band's controls stay hidden then.
    for (ui::Control* x : m.children()) {
        if (x != c.pic1 && x != c.pic2 &&
            (x->name() == "SkinPiece" || x->name() == "ImgIcon" || x->name() == "lcaption" || x->name() == "LbMove" ||
             x->name() == "ImgClose" || x->name() == "ImgMin")) {
            x->sendToBack();
            x->setVisible(false);
        }
    }
}

void drawFormSkin(link::Client& c) {
    ui::Form& m = c.mainForm;
    const double w = m.width(), h = m.height();
    const double dest[8][4] = {{0, 0, 120, 300},
                               {120, 0, w - 240, 300},
                               {w - 120, 0, 120, 300},
                               {0, 300, 120, h - 420},
                               {w - 120, 300, 120, h - 420},
                               {0, h - 120, 120, 120},
                               {120, h - 120, w - 240, 120},
                               {w - 120, h - 120, 120, 120}};
    const ui::PictureRef& skin = ctl(c, "Skin").picture();
    for (int i = 0; i < 8; ++i) {
        auto& piece = ctl(c, "SkinPiece", i);
        const Piece& p = SkinPieces[i];
        if (skin) piece.setPicture(cropPicture(*skin, p.sx, p.sy, p.sw, p.sh));
        piece.move(dest[i][0], dest[i][1], dest[i][2], dest[i][3]);
        piece.setVisible(piece.picture() != nullptr);
    }
    auto& icon = ctl(c, "ImgIcon");
    if (icon.picture()) icon.move(50, 50, 240, 240);
    icon.setVisible(icon.picture() != nullptr);
    for (const char* name : {"ImgClose", "ImgMin", "LbMove", "lcaption"})
        ctl(c, name, name[0] == 'I' ? 0 : -1).setVisible(true);

    auto& close = ctl(c, "ImgClose", 0);
    close.move(w - close.width() - 70, 25);
    copyPicture(c, "ImgClose", 1);
    close.bringToFront();
    auto& min = ctl(c, "ImgMin", 0);
    min.move(close.left() - min.width() - 30, 25);
    copyPicture(c, "ImgMin", 1);
    min.bringToFront();
    auto& drag = ctl(c, "LbMove");
    drag.move(290, 0, min.left() - 290, close.height() + 50);
    drag.bringToFront();
    auto& title = ctl(c, "lcaption");
    title.setCaption(m.caption());
    title.move(300, 25);
    title.setForeColor({255, 255, 255});
    title.bringToFront();
    close.bringToFront();
    min.bringToFront();
}

void captionButtonDown(link::Client& c, bool close) { copyPicture(c, close ? "ImgClose" : "ImgMin", 3); }

void captionButtonUp(link::Client& c, bool close) { copyPicture(c, close ? "ImgClose" : "ImgMin", 2); }

void captionButtonMove(link::Client& c, bool close) {
    if (!c.shell.captionButtonsNormal) return;
    copyPicture(c, close ? "ImgClose" : "ImgMin", 2);
    c.shell.captionButtonsNormal = false;
}

void captionButtonsToNormal(link::Client& c) {
    if (c.shell.captionButtonsNormal) return;
    c.shell.captionButtonsNormal = true;
    copyPicture(c, "ImgClose", 1);
    copyPicture(c, "ImgMin", 1);
}

void dragAreaDown(link::Client& c, int button) {
    if (button != ui::ButtonLeft) return;
    c.talk.setVisible(false);
    if (c.shell.chatWindows) chatWindows(c).huifu.setVisible(false);
    if (c.results.score) c.results.score->setVisible(false);
    if (c.results.hero) c.results.hero->setVisible(false);
    hideIfLoaded(shellWindows(c).vosSet);
    if (ui::Control* drag = c.mainForm.find("LbMove")) drag->setMousePointer(ui::PointerSizeAll);
    if (c.mainForm.moveWithMouse) c.mainForm.moveWithMouse();
}

bool isFileExist(link::Client& c, const std::string& folder, const std::string& name) {
    try {
        return c.p.files.exists(platform::joinPath(folder, name));
    } catch (...) {
        return false;
    }
}

void installWindowFrame(link::Client& c) {
    buildFrameControls(c);
    c.shell.captionButtonsNormal = true;
    c.drawFormSkin = [](link::Client& client) { drawFormSkin(client); };
    auto& close = ctl(c, "ImgClose", 0);
    auto& min = ctl(c, "ImgMin", 0);
    close.onClick = [&c] { toolbarClick(c, 8); };
    min.onClick = [&c] {
        toolbarClick(c, 4);
        c.mainForm.setWindowState(ui::Form::WindowState::Minimized);
    };
    for (const auto& button : {std::pair{&close, true}, std::pair{&min, false}}) {
        ui::Control* b = button.first;
        const bool isClose = button.second;
        b->onMouseDown = [&c, isClose](const ui::MouseEvent&) { captionButtonDown(c, isClose); };
        b->onMouseUp = [&c, isClose](const ui::MouseEvent&) { captionButtonUp(c, isClose); };
        b->onMouseMove = [&c, isClose](const ui::MouseEvent&) { captionButtonMove(c, isClose); };
    }
    auto& drag = ctl(c, "LbMove");
    drag.onMouseMove = [&c, &drag](const ui::MouseEvent&) {
        drag.setMousePointer(ui::PointerArrow);
        captionButtonsToNormal(c);
    };
    drag.onMouseDown = [&c](const ui::MouseEvent& e) { dragAreaDown(c, e.button); };
    c.mainForm.onMouseMove = [&c](const ui::MouseEvent&) { captionButtonsToNormal(c); };
}

}  // namespace mj::shell
