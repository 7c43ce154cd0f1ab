// player_card_test.cpp: the card's place and rows, following the pointer
// between faces, the multipliers' tooltips and the bank button.
#include <gtest/gtest.h>

#include "shell/player_card.h"
#include "shell/shell_fixture.h"

namespace mj::test {
namespace {

class PlayerCardTest : public ShellFixture {
protected:
    ui::Form& card() { return windows().information.get(); }
    std::string row(int k) { return card().find("Inf", k)->caption(); }
    void hoverFace(int view) { control(*client, "Tou", view).onMouseMove({}); }
};

TEST_F(PlayerCardTest, ShowsTheSeatsRecordBesideIt) {
    auto& p = client->dispatch.player[2];
    p.sex = 1;
    p.location = "成都";
    p.score = 1234.5;
    p.credit = 0.1 + 0.2;
    p.loginCount = 12;
    p.lossCount = 3;
    control(*client, "Cash", 2).onMouseMove({});
    ASSERT_TRUE(windows().information.shown());
    const std::vector<std::string> rows{"Bob", "男", "成都", "1234.5", "0.3", "12", "0", "0", "3"};
    for (int k = 0; k < 9; ++k) EXPECT_EQ(row(k), rows[static_cast<std::size_t>(k)]) << k;
    // Views 1..3 start at thirds of the table, 11 % down.
    const ui::Form& m = client->mainForm;
    EXPECT_DOUBLE_EQ(card().left(), 120 + 5120);
    EXPECT_DOUBLE_EQ(card().top(), m.top() + client->pic1->top() + client->pic1->height() * 0.11);
    EXPECT_EQ(card().alpha(), 200);
}

TEST_F(PlayerCardTest, FollowsThePointerFromFaceToFace) {
    hoverFace(1);
    EXPECT_EQ(row(0), "阿明");
    hoverFace(0);
    EXPECT_EQ(row(0), "小张");
    EXPECT_DOUBLE_EQ(card().left(), client->mainForm.left() + client->pic1->left());
    EXPECT_DOUBLE_EQ(card().top(), client->pic1->top() + client->pic1->height() * 0.42);
    // The table takes it away; an empty seat opens nothing.
    client->pic1->onMouseMove({});
    EXPECT_FALSE(windows().information.shown());
    client->dispatch.player[3].nickName.clear();
    hoverFace(3);
    EXPECT_FALSE(windows().information.shown());
}

TEST_F(PlayerCardTest, MultiplierTipsFollowTheHand) {
    auto& label = control(*client, "lblDifen");
    label.setCaption("4");
    client->dispatch.diceDouble = 1;
    control(*client, "imgBeishu").onMouseMove({});
    EXPECT_EQ(label.toolTip(), "骰子加倍 ×4");
    EXPECT_EQ(control(*client, "imgBeishu").toolTip(), "骰子加倍 ×4");
    // A later hand without doubling shows no stale multiplier.
    client->dispatch.diceDouble = 0;
    label.onMouseMove({});
    EXPECT_EQ(label.toolTip(), "");

    control(*client, "lbwealth").setCaption("3");
    client->table.isWealthMultiple = 3;
    control(*client, "Imgwealth").onMouseMove({});
    EXPECT_EQ(control(*client, "lbwealth").toolTip(), "财富加倍 ×3");
}

TEST_F(PlayerCardTest, BankPictureChangesOnEnteringAndLeaving) {
    auto& bank = control(*client, "Bank");
    bank.onMouseMove({});
    EXPECT_EQ(shownResource(bank), 451);
    bank.setPicture({});
    bank.onMouseMove({});  // loaded once per visit
    EXPECT_EQ(shownResource(bank), 0);
    control(*client, "imgLocation").onMouseMove({});
    EXPECT_EQ(shownResource(bank), 450);
    EXPECT_FALSE(client->shell.bankHover);
}

}  // namespace
}  // namespace mj::test
