// player_card.cpp: the player card and the table's hover tooltips.
#include "shell/player_card.h"

#include <cmath>

#include "link/client.h"
#include "results/amount_text.h"
#include "shell/shell_windows.h"
#include "table/tiles.h"

namespace mj::shell {
namespace {

constexpr double Twips = 15.0;
constexpr int BankHoverId = 451;
constexpr ui::Color CaptionColor{255, 230, 170};
constexpr ui::Color ValueColor{255, 255, 255};

void tipBoth(link::Client& c, std::string_view a, std::string_view b, const std::string& tip) {
    for (std::string_view name : {a, b}) {
        if (ui::Control* x = c.mainForm.find(name)) x->setToolTip(tip);
    }
}

std::string captionOf(link::Client& c, std::string_view name) {
    const ui::Control* x = c.mainForm.find(name);
    return x ? x->caption() : std::string();
}

}  // namespace

void loadPlayerCard(link::Client& c, ui::Form& f) {
    makePopupTranslucent(c, f);
    f.setCaption("Form1");
    f.move(f.left(), f.top(), 220 * Twips, 330 * Twips);
    auto& back = f.add<ui::Image>("Background", -1);
    (void)table::loadPicture(c, static_cast<int>(link::DesignPicture::CardBack), back);
    for (int k = 0; k < 9; ++k) {
        const double top = 600 + 480.0 * k;
        auto& caption = f.add<ui::Label>("Label1", k);
        caption.setFont({"隶书", 14.25, true});
        caption.setTransparentBack(true);
        caption.setForeColor(CaptionColor);
        caption.setCaption(std::string(CardCaptions[static_cast<std::size_t>(k)]));
        caption.move(k == 0 ? 330 : 360, top, 1500, 300);
        auto& value = f.add<ui::Label>("Inf", k);
        value.setFont({"宋体", 12, false});
        value.setTransparentBack(true);
        value.setForeColor(ValueColor);
        value.move(1920, top, 1200, 300);
    }
}

void showPlayerCard(link::Client& c, int view) {
    if (view < 0 || view > 3) return;
    const auto& player = c.dispatch.player[static_cast<std::size_t>(view)];
    if (player.nickName.empty()) return;
    LazyForm& holder = shellWindows(c).information;
    // The card follows the pointer from face to face; the same face again
    // changes nothing.
    if (holder.shown() && c.shell.cardView == view) return;
    ui::Form& card = holder.get();
    const ui::Form& m = c.mainForm;
    const ui::PictureBox& pic = *c.pic1;
    if (view > 0) {
        const long long span = std::llround((view - 1) * pic.width());
        card.move(m.left() + pic.left() + static_cast<double>(span / 3), m.top() + pic.top() + pic.height() * 0.11);
    } else {
        card.move(m.left() + pic.left(), m.top() + pic.top() + pic.height() * (c.link.scaleX < 1 ? 0.30 : 0.42));
    }
    const std::string values[9] = {player.nickName,
                                   player.sex != 0 ? "男" : "女",
                                   player.location,
                                   results::amountText(player.score),
                                   results::amountText(player.credit),
                                   std::to_string(player.loginCount),
                                   std::to_string(player.dropCount),
                                   std::to_string(player.winCount),
                                   std::to_string(player.lossCount)};
    for (int k = 0; k < 9; ++k) {
        if (ui::Control* v = card.find("Inf", k)) v->setCaption(values[k]);
    }
    c.shell.cardView = view;
    card.setVisible(true);
}

void diceTooltip(link::Client& c) {
    // Without doubling, an earlier hand's multiplier must not linger.
    const std::string tip = c.dispatch.diceDouble != 0 ? std::string(DiceTipPrefix) + captionOf(c, "lblDifen") : "";
    tipBoth(c, "imgBeishu", "lblDifen", tip);
}

void wealthTooltip(link::Client& c) {
    const std::string tip =
        c.table.isWealthMultiple != 0 ? std::string(WealthTipPrefix) + captionOf(c, "lbwealth") : "";
    tipBoth(c, "Imgwealth", "lbwealth", tip);
}

void bankMouseMove(link::Client& c) {
    if (c.shell.bankHover) return;
    if (ui::Control* bank = c.mainForm.find("Bank")) (void)table::loadPicture(c, BankHoverId, *bank);
    c.shell.bankHover = true;
}

void imgLocationMouseMove(link::Client& c) {
    if (!c.shell.bankHover) return;
    c.shell.bankHover = false;
    if (ui::Control* bank = c.mainForm.find("Bank")) (void)table::loadPicture(c, link::BankNormalId, *bank);
}

void installPlayerCard(link::Client& c) {
    c.showPlayerCard = [](link::Client& client, int view) {
        client.ignoringErrors("player card", [&] { showPlayerCard(client, view); });
    };
    for (int i = 0; i < 4; ++i) {
        for (const char* name : {"Tou", "Nid", "Cash", "Level"}) {
            if (ui::Control* x = c.mainForm.find(name, i))
                x->onMouseMove = [&c, i](const ui::MouseEvent&) { showPlayerCard(c, i); };
        }
    }
    for (const char* name : {"imgBeishu", "lblDifen"}) {
        if (ui::Control* x = c.mainForm.find(name)) x->onMouseMove = [&c](const ui::MouseEvent&) { diceTooltip(c); };
    }
    for (const char* name : {"Imgwealth", "lbwealth"}) {
        if (ui::Control* x = c.mainForm.find(name)) x->onMouseMove = [&c](const ui::MouseEvent&) { wealthTooltip(c); };
    }
    if (ui::Control* bank = c.mainForm.find("Bank"))
        bank->onMouseMove = [&c](const ui::MouseEvent&) { bankMouseMove(c); };
    if (ui::Control* strip = c.mainForm.find("imgLocation"))
        strip->onMouseMove = [&c](const ui::MouseEvent&) { imgLocationMouseMove(c); };
}

}  // namespace mj::shell
