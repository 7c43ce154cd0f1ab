// panels.cpp: the floating video panels. Sizes are kept as an index per
// panel: window widths read back from the system are whole pixels, which the
// scaled design widths are not, so the size is never guessed from the width.
#include "video/panels.h"

#include <cmath>
#include <string>

#include "link/client.h"
#include "shell/chat_windows.h"
#include "table/tiles.h"
#include "video/video_controls.h"

namespace mj::video {
namespace {

constexpr const char* PanelNames[4] = {"frm_Local", "frm_Remote1", "frm_Remote2", "frm_Remote3"};
constexpr const char* LocalTips[3] = {"关闭", "放大", "缩小"};
constexpr int ButtonPictures[3] = {static_cast<int>(link::DesignPicture::PanelClose),
                                   static_cast<int>(link::DesignPicture::PanelEnlarge),
                                   static_cast<int>(link::DesignPicture::PanelShrink)};

// Design twips of each size: window, viewer, and the button's factor from
// the size a panel is made with.
struct SizeDesign {
    double width, height;
    double viewLeft, viewTop, viewWidth, viewHeight;
    double buttonFactor;
};
constexpr SizeDesign Sizes[3] = {
    {2625, 2070, 110, 230, 2400, 1800, 2.0 / 3.0},
    {4140, 3225, 150, 240, 3840, 2880, 1.0},
    {6510, 5115, 240, 480, 6000, 4500, 3.0 / 2.0},
};
constexpr double ButtonWidth = 225;
constexpr double ButtonHeight = 240;

// Offsets from the centred place, in parts of the main window's size.
struct Offset {
    double dx, dy;
};
constexpr Offset OpenOffset[4] = {{-0.2, 0.2}, {-0.25, -0.2}, {0, -0.2}, {0.25, -0.2}};
constexpr Offset ResizeOffset[4] = {{-0.2, 0.2}, {-0.2, -0.2}, {0.2, -0.2}, {-0.2, -0.2}};
// Corners of the big size: left or right, top or bottom.
struct Corner {
    bool right, bottom;
};
constexpr Corner BigCorner[4] = {{false, true}, {false, false}, {true, false}, {false, false}};

const SizeDesign& design(PanelSize s) { return Sizes[static_cast<int>(s)]; }

Panel& slot(link::Client& c, int view) { return c.video.panels[at(view)]; }

void setSkin(link::Client& c, Panel& p, PanelSize size) {
    ui::Control* skin = p.form->find("Skin");
    if (!skin) return;
    const int id = std::stoi(c.link.pictures.panelPic[at(static_cast<int>(size))]) + p.skinOffset;
    // A skin that fails to load leaves the picture the panel had.
    (void)table::loadPicture(c, id, *skin);
}

void layoutWindow(link::Client& c, Panel& p, PanelSize size) {
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    const SizeDesign& d = design(size);
    ui::Form& f = *p.form;
    f.setWidth(d.width * sx);
    f.setHeight(d.height * sy);
    if (ui::Control* skin = f.find("Skin")) skin->move(0, 0, f.width(), f.height());
    if (ui::Control* v = f.find("vshow")) v->move(d.viewLeft * sx, d.viewTop * sy, d.viewWidth * sx, d.viewHeight * sy);
}

// The buttons after a change to `size`, from the size index.
void layoutButtons(link::Client& c, Panel& p, PanelSize size) {
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    const double factor = design(size).buttonFactor;
    const double w = ButtonWidth * sx * factor;
    const double h = ButtonHeight * sy * factor;
    ui::Form& f = *p.form;
    double left = f.width();
    for (int i = 0; i < 3; ++i) {
        ui::Control* b = f.find("ImgCmd", i);
        if (!b) continue;
        switch (size) {
        case PanelSize::Small:
            left = (i == 0 ? f.width() - w - 80 * sx : left - w - 60 * sx);
            b->move(left, 30 * sy, w, h);
            break;
        case PanelSize::Big:
            left = (i == 0 ? f.width() - w - 150 * sx : left - w - 60 * sx);
            b->move(left, 80 * sy, w, h);
            break;
        case PanelSize::Normal: {
            constexpr double NormalLeft[3] = {3750, 3380, 3000};
            b->move(NormalLeft[i] * sx, 0, w, h);
            break;
        }
        }
    }
}

void place(link::Client& c, int view, Panel& p, Offset off) {
    const ui::Form& m = c.mainForm;
    ui::Form& f = *p.form;
    f.move(m.left() + (m.width() - f.width()) / 2 + off.dx * m.width(),
           m.top() + (m.height() - f.height()) / 2 + off.dy * m.height());
    (void)view;
}

void placeBig(link::Client& c, int view, Panel& p) {
    const ui::Form& m = c.mainForm;
    ui::Form& f = *p.form;
    const Corner k = BigCorner[view];
    const double left = k.right ? m.left() + m.width() - f.width() - 0.05 * m.width() : m.left() + 0.05 * m.width();
    const double top = k.bottom ? m.top() + m.height() - f.height() - 0.07 * m.height() : m.top() + 0.07 * m.height();
    f.move(left, top);
}

void build(link::Client& c, int view, Panel& p) {
    p.form = std::make_unique<ui::Form>(PanelNames[view]);
    ui::Form& f = *p.form;
    f.setBorderless(true);
    f.setBackColor({0x10, 0x10, 0x10});
    // Every pop-up is made translucent where the system layers windows.
    if (shell::chatWindows(c).layeredPopups) f.setAlpha(shell::PopupAlpha);
    auto& skin = f.add<ui::Image>("Skin", -1);
    skin.setStretch(true);
    auto& viewer = f.add<ui::Component>("videoView", "vshow", -1);
    viewer.setViewOption0(true);
    viewer.setViewOption1(true);
    for (int i = 0; i < 3; ++i) {
        auto& b = f.add<ui::Image>("ImgCmd", i);
        b.setStretch(true);
        b.setMousePointer(ui::PointerCustom);
        (void)table::loadPicture(c, ButtonPictures[i], b);
        if (view == 0) b.setToolTip(LocalTips[i]);
        b.onClick = [&c, view, i] { c.ignoringErrors("video panel button", [&] { panelButton(c, view, i); }); };
    }
    // Dragged by its face: the skin covers it, under the viewer and buttons.
    auto drag = [&f](const ui::MouseEvent& e) {
        if (e.button == ui::ButtonLeft && f.moveWithMouse) f.moveWithMouse();
    };
    skin.onMouseDown = drag;
    f.onMouseDown = drag;
    f.onUnload = [&c, view] { unloadPanel(c, view); };
    if (c.shell.attachForm) c.shell.attachForm(f);
}

// Form_Load: the panel at its normal size, neither placed nor shown.
void load(link::Client& c, int view, Panel& p) {
    if (!p.form) build(c, view, p);
    p.loaded = true;
    p.size = PanelSize::Normal;
    p.skinOffset = c.link.scaleX < 1 ? 3 : 0;
    setSkin(c, p, PanelSize::Normal);
    layoutWindow(c, p, PanelSize::Normal);
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    const double w = ButtonWidth * sx;
    for (int i = 0; i < 3; ++i) {
        if (ui::Control* b = p.form->find("ImgCmd", i)) {
            b->move(p.form->width() - Sizes[1].viewLeft * sx - (i + 1) * w - i * w / 2, 0, w, ButtonHeight * sy);
            b->bringToFront();
        }
    }
    if (ui::Control* skin = p.form->find("Skin")) skin->sendToBack();
    if (ui::Control* v = p.form->find("vshow")) {
        v->setPicture(nullptr);
        v->setVisible(true);
    }
}

void startZoomTimer(link::Client& c, int view) {
    c.video.zoomPanel = view;
    if (c.video.timerZoom) c.video.timerZoom->setEnabled(true);
}

void resize(link::Client& c, int view, Panel& p, PanelSize to) {
    setSkin(c, p, to);
    layoutWindow(c, p, to);
    if (to == PanelSize::Big)
        placeBig(c, view, p);
    else
        place(c, view, p, ResizeOffset[view]);
    startZoomTimer(c, view);
    layoutButtons(c, p, to);
    p.size = to;
    constexpr const char* SizeNames[3] = {"small", "normal", "big"};
    c.log("video panel " + std::to_string(view) + " " + SizeNames[static_cast<int>(to)]);
}

}  // namespace

ui::Form& panel(link::Client& c, int view) {
    Panel& p = slot(c, view);
    if (!p.loaded) load(c, view, p);
    return *p.form;
}

bool panelShown(link::Client& c, int view) {
    const Panel& p = slot(c, view);
    return p.loaded && p.form && p.form->visible();
}

void hidePanel(link::Client& c, int view) {
    if (panelShown(c, view)) slot(c, view).form->setVisible(false);
}

void unloadPanel(link::Client& c, int view) {
    Panel& p = slot(c, view);
    if (p.form) p.form->setVisible(false);
    p.loaded = false;
}

void togglePanel(link::Client& c, int view) {
    if (panelShown(c, view)) {
        unloadPanel(c, view);
        c.log("video panel " + std::to_string(view) + " closed");
        return;
    }
    ui::Form& f = panel(c, view);
    f.setVisible(true);
    f.setTopmost(true);
    place(c, view, slot(c, view), OpenOffset[view]);
    startZoomTimer(c, view);
    c.log("video panel " + std::to_string(view) + " opened at " + std::to_string(static_cast<int>(f.left())) + "," +
          std::to_string(static_cast<int>(f.top())));
}

void panelButton(link::Client& c, int view, int button) {
    Panel& p = slot(c, view);
    if (!p.loaded) return;
    switch (button) {
    case 0:
        unloadPanel(c, view);
        c.log("video panel " + std::to_string(view) + " closed");
        return;
    case 1:
        if (p.size == PanelSize::Small) return resize(c, view, p, PanelSize::Normal);
        if (p.size == PanelSize::Normal) return resize(c, view, p, PanelSize::Big);
        return;
    case 2:
        if (p.size == PanelSize::Normal) return resize(c, view, p, PanelSize::Small);
        if (p.size == PanelSize::Big) return resize(c, view, p, PanelSize::Normal);
        return;
    default:
        return;
    }
}

void paintIntoShownPanel(link::Client& c, int view, const std::shared_ptr<const ui::Picture>& picture) {
    if (!panelShown(c, view)) return;
    if (ui::Control* v = slot(c, view).form->find("vshow")) {
        showPicture(*v, picture);
        v->setVisible(true);
        v->bringToFront();
    }
}

void zoomTick(link::Client& c) {
    if (c.video.timerZoom) c.video.timerZoom->setEnabled(false);
    const int view = c.video.zoomPanel;
    if (view < 0 || view > 3) return;
    // Painted whether shown or not; an absent panel is made for it, hidden.
    ui::Form& f = panel(c, view);
    if (ui::Control* v = f.find("vshow")) showFrame(*v, c.video.lastFrame[at(view)]);
}

}  // namespace mj::video
