// result_boards.cpp: the `Score` and `Hero` windows as forms of the control
// model. Geometry is in twips and is not scaled with the table.
#include "results/result_boards.h"

#include <charconv>

#include "link/client.h"
#include "link/general.h"
#include "link/picture_resources.h"

namespace mj::results {

namespace {

using link::Client;

constexpr ui::Color ListBack{0xFF, 0xC0, 0x80};   // &H0080C0FF
constexpr ui::Color NameColor{0xFF, 0xFF, 0x80};  // &H0080FFFF
constexpr ui::Color Red{0xFF, 0, 0};
constexpr ui::Color BoardBack{0x5A, 0x2E, 0x12};
constexpr int HeroNumWidth = 12;

struct Box {
    double l, t, w, h;
};

ui::Font boardFont(double size) { return ui::Font{"宋体", size, true}; }

ui::ListBox& list(ui::Form& f, std::string name, int index, Box b, double size) {
    auto& l = f.add<ui::ListBox>(std::move(name), index);
    l.move(b.l, b.t, b.w, b.h);
    l.setBackColor(ListBack);
    l.setFont(boardFont(size));
    l.setVisible(true);
    return l;
}

ui::Label& label(ui::Form& f, std::string name, int index, Box b, double size, ui::Color color, std::string caption) {
    auto& l = f.add<ui::Label>(std::move(name), index);
    l.move(b.l, b.t, b.w, b.h);
    l.setFont(boardFont(size));
    l.setForeColor(color);
    l.setTransparentBack(true);
    l.setCaption(std::move(caption));
    l.setVisible(true);
    return l;
}

ui::Image& image(ui::Form& f, std::string name, int index, Box b) {
    auto& i = f.add<ui::Image>(std::move(name), index);
    i.move(b.l, b.t, b.w, b.h);
    i.setStretch(true);
    i.setVisible(true);
    return i;
}

void closeAreas(ui::Form& f, Box a, Box b) {
    for (int k = 0; k < 2; ++k) {
        auto& area = image(f, "Image1", k, k == 0 ? a : b);
        area.onClick = [&f] { f.setVisible(false); };
    }
}

// A press on `by` moves the board with the mouse.
void draggedBy(ui::Form& board, ui::Control& by) {
    by.onMouseDown = [&board](const ui::MouseEvent&) {
        if (board.moveWithMouse) board.moveWithMouse();
    };
}

constexpr int BoardAlpha = 200;

// The board's own picture under everything else, with the close mark over the
// close areas; it covers the board's surface, so it drags the board too.
void background(Client& c, ui::Form& f, link::DesignPicture id) {
    auto& back = image(f, "Background", -1, {0, 0, f.width(), f.height()});
    (void)link::loadPictureFromResource(c.pictureLoader, static_cast<int>(id), "GIF", back);
    back.sendToBack();
    draggedBy(f, back);
}

void buildScore(Client& c, ui::Form& f) {
    f.setCaption("战绩板");
    f.move(0, 0, 9600, 7200);
    f.setBackColor(BoardBack);
    background(c, f, link::DesignPicture::ScoreBack);
    const double touLeft[] = {120, 2520, 4920, 7320};
    const double idLeft[] = {840, 3240, 5640, 8040};
    const Box detail[] = {
        {90, 1260, 2265, 4920}, {2430, 1260, 2325, 4920}, {4830, 1260, 2325, 4920}, {7275, 1260, 2235, 4920}};
    const Box final[] = {
        {120, 6330, 2205, 750}, {2460, 6330, 2265, 750}, {4890, 6330, 2235, 750}, {7290, 6330, 2205, 750}};
    for (int i = 0; i < 4; ++i) {
        const auto at = static_cast<std::size_t>(i);
        image(f, "Tou", i, {touLeft[at], 480, 675, 615});
        label(f, "ID", i, {idLeft[at], 600, 570, 210}, 10.5, NameColor, "玩家" + std::to_string(i));
        list(f, "State", i, detail[at], 9);
    }
    for (int i = 0; i < 4; ++i) list(f, "State", i + 4, final[static_cast<std::size_t>(i)], 9).setForeColor(Red);
    closeAreas(f, {8970, 120, 285, 345}, {9270, 120, 345, 315});
    // Only the board's own surface drags it here.
    draggedBy(f, f);
}

// The row under the pointer of a pressed list.
int rowAt(const ui::ListBox& l, const ui::MouseEvent& e) {
    const double h = l.itemHeight();
    if (h <= 0 || e.y < 0) return -1;
    const int row = l.topIndex() + static_cast<int>(e.y / h);
    return row < l.listCount() ? row : -1;
}

// A pressed row becomes the selected row of the hand numbers and of every
// seat's results, so the row reads across the board.
void selectHeroRow(Client& c, int row) {
    c.results.heroSelected = row;
    auto& hero = *c.results.hero;
    hero.findAs<ui::ListBox>("Num")->setListIndex(row);
    for (int i = 0; i < 4; ++i) hero.findAs<ui::ListBox>("Grade", i)->setListIndex(row);
}

void buildHero(Client& c, ui::Form& f) {
    f.setCaption("英雄榜");
    f.move(0, 0, 9825, 6810);
    f.setBackColor(BoardBack);
    background(c, f, link::DesignPicture::HeroBack);
    auto& num = list(f, "Num", -1, {120, 1110, 1815, 4740}, 10.5);
    const Box grade[] = {
        {2010, 1110, 1845, 4710}, {3900, 1110, 1875, 4725}, {5910, 1110, 1905, 4710}, {7890, 1110, 1845, 4710}};
    const double touLeft[] = {2040, 3960, 5880, 7920};
    const double idLeft[] = {2640, 4560, 6480, 8520};
    const double sumLeft[] = {2160, 4080, 6000, 8040};
    for (int i = 0; i < 4; ++i) {
        const auto at = static_cast<std::size_t>(i);
        auto& g = list(f, "Grade", i, grade[at], 10.5);
        g.onMouseDown = [&c, &g](const ui::MouseEvent& e) { selectHeroRow(c, rowAt(g, e)); };
        g.onDblClick = [&c] { reopenHeroRow(c, c.results.heroSelected); };
        image(f, "Tou", i, {touLeft[at], 360, 615, 615});
        label(f, "ID", i, {idLeft[at], 480, 570, 210}, 10.5, NameColor, "玩家" + std::to_string(i));
        label(f, "sumScore", i, {sumLeft[at], 6120, 1695, 375}, 12, Red, "");
    }
    num.onMouseDown = [&c, &num](const ui::MouseEvent& e) { selectHeroRow(c, rowAt(num, e)); };
    num.onDblClick = [&c] { reopenHeroRow(c, c.results.heroSelected); };
    label(f, "Label1", -1, {240, 480, 1350, 210}, 10.5, NameColor, "点击查看明细");
    label(f, "Label2", -1, {480, 6120, 1455, 375}, 12, Red, "输赢总分：");
    closeAreas(f, {9120, 120, 255, 255}, {9420, 120, 315, 255});
    // The board, its faces, names and hint all drag it.
    draggedBy(f, f);
    for (int i = 0; i < 4; ++i) {
        draggedBy(f, *f.find("Tou", i));
        draggedBy(f, *f.find("ID", i));
    }
    draggedBy(f, *f.find("Label1"));
}

ui::ListBox& scoreList(const Client& c, int j) { return *c.results.score->findAs<ui::ListBox>("State", j); }

void showCentred(Client& c, ui::Form& board) {
    placeOverTable(c, board);
    board.setVisible(true);
    board.bringToFront();
}

}  // namespace

ui::Color colorOf(std::uint32_t bgr) {
    return ui::Color{static_cast<std::uint8_t>(bgr & 0xFF), static_cast<std::uint8_t>((bgr >> 8) & 0xFF),
                     static_cast<std::uint8_t>((bgr >> 16) & 0xFF)};
}

std::uint32_t bgrOf(ui::Color c) {
    return static_cast<std::uint32_t>(c.r) | static_cast<std::uint32_t>(c.g) << 8 |
           static_cast<std::uint32_t>(c.b) << 16;
}

void buildBoards(Client& c) {
    auto& r = c.results;
    r.score = std::make_unique<ui::Form>("Score");
    r.hero = std::make_unique<ui::Form>("Hero");
    buildScore(c, *r.score);
    buildHero(c, *r.hero);
    // Both stand over the table and let it show through; the host draws them
    // opaque where the system has no layered windows.
    r.score->setAlpha(BoardAlpha);
    r.hero->setAlpha(BoardAlpha);
}

BoardSnapshot snapshotOf(const Client& c) {
    BoardSnapshot b;
    for (int i = 0; i < 4; ++i) {
        const auto at = static_cast<std::size_t>(i);
        b.names[at] = c.results.shownPlayer[at].name;
        b.picIndex[at] = c.results.shownPlayer[at].picIndex;
        b.nameColors[at] = bgrOf(c.results.score->find("ID", i)->foreColor());
        b.listColors[at] = bgrOf(scoreList(c, i).foreColor());
    }
    for (int j = 0; j < 8; ++j) b.lists[static_cast<std::size_t>(j)] = scoreList(c, j).items();
    return b;
}

void applySnapshot(Client& c, const BoardSnapshot& b) {
    auto& score = *c.results.score;
    for (int i = 0; i < 4; ++i) {
        const auto at = static_cast<std::size_t>(i);
        c.results.shownPlayer[at] = {b.names[at], b.picIndex[at]};
        score.find("ID", i)->setCaption(b.names[at]);
        score.find("ID", i)->setForeColor(colorOf(b.nameColors[at]));
        if (!b.picIndex[at].empty()) showFace(c, *score.find("Tou", i), b.picIndex[at]);
        scoreList(c, i).setForeColor(colorOf(b.listColors[at]));
    }
    for (int j = 0; j < 8; ++j) {
        auto& l = scoreList(c, j);
        l.clear();
        for (const auto& item : b.lists[static_cast<std::size_t>(j)]) l.addItem(item);
    }
}

void showFace(Client& c, ui::Control& tou, const std::string& picIndex) {
    int face = 0;
    const auto r = std::from_chars(picIndex.data(), picIndex.data() + picIndex.size(), face);
    // A face index from the server that names no face shows the first one.
    if (r.ec != std::errc() || face < 0 || face >= FaceCount) face = 0;
    link::loadPictureFromResource(c.pictureLoader, c.link.pictures.facePic[static_cast<std::size_t>(face)], "GIF", tou);
}

void placeOverTable(Client& c, ui::Form& board) {
    double top = c.mainForm.top();
    double left = c.mainForm.left();
    if (c.pic1) {
        top += c.pic1->top() + (c.pic1->height() - board.height()) / 2;
        left += c.pic1->left() + (c.pic1->width() - board.width()) / 2;
    }
    board.move(left, top);
}

void loadHandBoard(Client& c, int n) {
    if (n <= 0) return;
    BoardSnapshot b = snapshotOf(c);
    const std::string path = platform::joinPath(c.p.process.programFolder(), HandHistoryFile);
    loadHandHistory(c.p.ini, path, n, b);
    applySnapshot(c, b);
}

void reopenHeroRow(Client& c, int row) {
    const auto& hands = c.results.heroHands;
    if (row < 0 || row >= static_cast<int>(hands.size())) return;
    loadHandBoard(c, hands[static_cast<std::size_t>(row)]);
    c.results.score->setTopmost(true);
    showCentred(c, *c.results.score);
}

void addHeroRow(Client& c, int juNum, const std::array<std::string, 4>& grades) {
    auto& hero = *c.results.hero;
    hero.findAs<ui::ListBox>("Num")->addItem(link::padRight(std::to_string(juNum), HeroNumWidth));
    for (int i = 0; i < 4; ++i) hero.findAs<ui::ListBox>("Grade", i)->addItem(grades[static_cast<std::size_t>(i)]);
    c.results.heroHands.push_back(juNum);
}

void toggleHandBoard(Client& c) {
    auto& score = *c.results.score;
    if (score.visible()) return score.setVisible(false);
    loadHandBoard(c, c.link.handRunning ? c.link.juNum - 1 : c.link.juNum);
    showCentred(c, score);
}

void toggleHeroBoard(Client& c) {
    auto& hero = *c.results.hero;
    if (hero.visible()) return hero.setVisible(false);
    showCentred(c, hero);
}

void clearBoards(Client& c) {
    auto& r = c.results;
    for (int i = 0; i < 4; ++i) {
        r.hero->find("Tou", i)->setPicture({});
        r.hero->find("ID", i)->setCaption("");
        r.hero->find("sumScore", i)->setCaption("");
        r.hero->findAs<ui::ListBox>("Grade", i)->clear();
        r.score->find("Tou", i)->setPicture({});
        r.score->find("ID", i)->setCaption("");
        scoreList(c, i).clear();
        scoreList(c, i + 4).clear();
        r.shownPlayer[static_cast<std::size_t>(i)] = {};
    }
    r.hero->findAs<ui::ListBox>("Num")->clear();
    r.heroHands.clear();
    r.heroSelected = -1;
    r.hero->setVisible(false);
    r.score->setVisible(false);
}

}  // namespace mj::results
