// Start-up from the launch line, the window size and scale, and the refusals.
#include "link/client_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;

TEST_F(ClientFixture, DirectLaunchConnectsAndSendsTheLoginOnceConnected) {
    ASSERT_FALSE(start("zhang$pw$127.0.0.1$9000$房间$0$$0$$$0$$$0$0$"));
    EXPECT_TRUE(client->mainForm.visible());
    EXPECT_EQ(sim.socket.lastHost, "127.0.0.1");
    EXPECT_EQ(sim.socket.lastPort, 9000);
    EXPECT_EQ(client->location->caption(), "房间");
    EXPECT_EQ(client->sysmsg[0]->items(), std::vector<std::string>{"正在连接服务器..."});
    EXPECT_EQ(client->link.hallCaption, "曲维山庄");
    EXPECT_FALSE(client->link.launch.customHallMode);

    // While the socket connects the hall hears "pending" every 200 ms.
    ASSERT_FALSE(run(Millis(1000)));
    EXPECT_EQ(sim.hall.count(link::HallConnectPending), 5);
    EXPECT_TRUE(sim.socket.sent().empty());

    sim.socket.acceptConnection();
    ASSERT_FALSE(run(Millis(200)));
    ASSERT_EQ(sentCommands(), std::vector<int>{18});
    const auto login = sim.socket.sentMessages()[0];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&login[16]), 5), "zhang");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&login[32]), 2), "pw");
    EXPECT_EQ(login[14], 1);
    EXPECT_TRUE(client->link.loginSent);
    EXPECT_TRUE(client->link.linkCheck.on);
    // The password is not kept once the message is built.
    EXPECT_TRUE(client->link.launch.loginPassword.empty());

    // The login goes out once.
    ASSERT_FALSE(run(Millis(1000)));
    EXPECT_EQ(sentCommands().size(), 1u);
}

TEST_F(ClientFixture, EmptyLaunchLineTellsThePlayerAndEnds) {
    EXPECT_EQ(start("   "), 0);
    ASSERT_EQ(sim.process.boxes.size(), 1u);
    EXPECT_EQ(sim.process.boxes[0].text, "本游戏需从游戏大厅中启动！");
    EXPECT_EQ(sim.process.boxes[0].title, "警告");
    EXPECT_TRUE(sim.hall.restored.empty());
}

TEST_F(ClientFixture, SecondInstanceIsRefused) {
    sim.process.otherInstance = true;
    EXPECT_EQ(start("a$b$h$1$"), 0);
    ASSERT_EQ(sim.process.boxes.size(), 1u);
    EXPECT_EQ(sim.process.boxes[0].text, "松涛云溪叶子牌游戏已经运行！");
    EXPECT_EQ(sim.hall.restored, std::vector<platform::WindowHandle>{HallWindow});
    EXPECT_EQ(sim.socket.connectCalls, 0);
}

TEST_F(ClientFixture, NonNumericFieldTakesTheFatalPath) {
    EXPECT_EQ(start("a$b$h$port$"), 1);
    EXPECT_TRUE(sim.process.logged("fatal:"));
    EXPECT_EQ(sim.hall.restored, std::vector<platform::WindowHandle>{HallWindow});
    EXPECT_EQ(sim.socket.connectCalls, 0);
}

TEST_F(ClientFixture, OverlongNameIsRefusedWithAMessageNotWrittenPastTheField) {
    EXPECT_EQ(start("abcdefghijklmnopq$pw$h$1$"), 1);
    ASSERT_EQ(sim.process.boxes.size(), 1u);
    EXPECT_EQ(sim.process.boxes[0].text, "用户名或密码过长，无法登录！");
    EXPECT_EQ(sim.hall.restored.size(), 1u);
    EXPECT_EQ(sim.socket.connectCalls, 0);
}

TEST_F(ClientFixture, CustomHallModeWithBlankTitleKnowsNoHall) {
    ASSERT_FALSE(start("a$b$h$1$r$0$$0$$$1$$窗口$0$0$"));
    EXPECT_EQ(client->link.hallCaption, "");
    EXPECT_EQ(client->mainForm.caption(), "窗口");
    EXPECT_TRUE(client->link.autoPlayOn);
    EXPECT_EQ(client->link.countdownStart, 2);
    ASSERT_FALSE(run(Millis(1000)));
    EXPECT_TRUE(sim.hall.posted.empty());
    // Minimising and restoring a hall that is not known neither ends nor acts.
    client->restoreHallWindow();
    client->minimizeHallWindow();
    EXPECT_TRUE(sim.hall.restored.empty());
}

TEST_F(ClientFixture, ConnectionModeOtherThanDirectOrProxyConnectsNothing) {
    ASSERT_FALSE(start("a$b$h$1$r$3$"));
    EXPECT_EQ(sim.socket.connectCalls, 0);
    EXPECT_FALSE(client->timerBong->enabled());
}

TEST_F(ClientFixture, MissingSoundDeviceSwitchesSoundOffAndStartsAnyway) {
    sim.sound.available = false;
    ASSERT_FALSE(start("a$b$h$1$"));
    EXPECT_FALSE(client->link.sound.soundOn);
    EXPECT_TRUE(client->mainForm.visible());
}

TEST_F(ClientFixture, StartUpLoopsTheMusicAtFullVolume) {
    const std::string music = "C:\\game\\mj\\..\\common\\music\\majiang.wav";
    sim.sound.files.insert(music);
    ASSERT_FALSE(start("a$b$h$1$"));
    ASSERT_TRUE(sim.sound.main);
    EXPECT_EQ(sim.sound.main->file, music);
    EXPECT_TRUE(sim.sound.main->playing);
    EXPECT_TRUE(sim.sound.main->looping);
    EXPECT_EQ(sim.sound.main->volume, 0);
    EXPECT_TRUE(client->link.sound.soundOn);
}

TEST_F(ClientFixture, PictureTablesFollowTheScale) {
    sim.process.screen = {800, 600};
    ASSERT_FALSE(start("a$b$h$1$"));
    EXPECT_EQ(client->link.pictures.anNiuPic[2], "381");
    EXPECT_EQ(client->link.pictures.tilePic[151], "352");
}

TEST_F(ClientFixture, VideoSwitchFileIsCreatedOnAndReadBack) {
    const std::string path = "C:\\game\\mj\\vidiosetting.ini";
    ASSERT_FALSE(start("a$b$10.1.2.3$1$"));
    EXPECT_TRUE(client->video.videoEnabled);
    EXPECT_EQ(sim.ini.get(path, "vidiosetting", "vidiovalue"), "1");
    EXPECT_EQ(sim.components.videoCalls, std::vector<std::string>{"configure 10.1.2.3 8888 3"});
}

TEST_F(ClientFixture, VideoSwitchOffAndBadValue) {
    const std::string path = "C:\\game\\mj\\vidiosetting.ini";
    sim.ini.write(path, "vidiosetting", "vidiovalue", "0");
    ASSERT_FALSE(start("a$b$h$1$"));
    EXPECT_FALSE(client->video.videoEnabled);
    EXPECT_TRUE(sim.components.videoCalls.empty());

    // A value that is no number: video on, a log line, and start-up goes on
    // to connect; the file keeps what it held.
    for (const char* bad : {"on", "", "1x"}) {
        sim.ini.write(path, "vidiosetting", "vidiovalue", bad);
        sim.components.videoCalls.clear();
        const int connects = sim.socket.connectCalls;
        client.emplace(sim.platform);
        EXPECT_FALSE(start("a$b$h$1$")) << bad;
        EXPECT_TRUE(client->video.videoEnabled) << bad;
        EXPECT_TRUE(sim.process.logged("video setting is not a number")) << bad;
        EXPECT_EQ(sim.components.videoCalls, std::vector<std::string>{"configure h 8888 3"}) << bad;
        EXPECT_EQ(sim.socket.connectCalls, connects + 1) << bad;
        EXPECT_EQ(sim.ini.get(path, "vidiosetting", "vidiovalue"), bad);
    }
}

struct ScreenCase {
    int w, h;
    double scale;
    double formW, formH;  // twips
    double picW, picH;    // twips
};

class ScreenSizeTest : public ClientFixture, public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(ScreenSizeTest, WindowAndScale) {
    const auto c = GetParam();
    sim.process.screen = {c.w, c.h};
    ASSERT_FALSE(start("a$b$h$1$"));
    EXPECT_DOUBLE_EQ(client->link.scaleX, c.scale);
    EXPECT_DOUBLE_EQ(client->link.scaleY, c.scale);
    EXPECT_DOUBLE_EQ(client->mainForm.width(), c.formW);
    EXPECT_DOUBLE_EQ(client->mainForm.height(), c.formH);
    EXPECT_DOUBLE_EQ(client->pic1->width(), c.picW);
    EXPECT_DOUBLE_EQ(client->pic1->height(), c.picH);
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenSizeTest,
                         ::testing::Values(ScreenCase{1024, 768, 1.0, 15360, 11520, 15360, 11520},
                                           ScreenCase{1280, 1024, 1.0, 15600, 11940, 15360, 11520},
                                           ScreenCase{1024, 600, 0.78125, 15360, 9000, 15360, 9000},
                                           ScreenCase{1280, 720, 0.78125, 15600, 10800, 15360, 10800},
                                           // Framed height would not fit: fill the screen instead.
                                           ScreenCase{1280, 780, 1.0, 15600, 11700, 15360, 11700}));

}  // namespace
}  // namespace mj::test

namespace mj::test {
namespace {

TEST_F(ClientFixture, SmallScreenMovesTheBankerMarkAndLabel) {
    sim.process.screen = {800, 600};
    ASSERT_FALSE(start("a$b$h$1$"));
    auto* host = client->mainForm.find("Host");
    auto* zhuang = client->mainForm.find("Zhuang");
    ASSERT_TRUE(host && zhuang);
    EXPECT_DOUBLE_EQ(host->left(), 6);
    EXPECT_DOUBLE_EQ(host->top(), 193 * 0.78125);
    EXPECT_DOUBLE_EQ(zhuang->left(), 45);
    EXPECT_DOUBLE_EQ(zhuang->top(), 193 * 0.78125);
    EXPECT_EQ(client->sysmsg[0]->font().size, 8);
}

// The title band's controls show only on a screen large enough for the frame;
// on a smaller one they would sit on the table.
void expectTitleBand(link::Client& client, bool shown) {
    for (const auto& [name, index] : {std::pair{"ImgClose", 0}, {"ImgMin", 0}, {"lcaption", -1}, {"LbMove", -1}}) {
        ui::Control* x = client.mainForm.find(name, index);
        ASSERT_NE(x, nullptr) << name;
        EXPECT_EQ(x->visible(), shown) << name;
    }
}

TEST_F(ClientFixture, TitleBandShowsWithTheFrame) {
    sim.process.screen = {1280, 1024};
    ASSERT_FALSE(start("a$b$h$1$"));
    expectTitleBand(*client, true);
}

TEST_F(ClientFixture, TitleBandStaysHiddenOnASmallScreen) {
    sim.process.screen = {800, 600};
    ASSERT_FALSE(start("a$b$h$1$"));
    expectTitleBand(*client, false);
}

// The full-size table keeps the mark and its wind side by side in the same
// corner as the small one does, not stacked on each other.
TEST_F(ClientFixture, FullSizeTableKeepsTheBankerMarkBesideItsLabel) {
    sim.process.screen = {1280, 1024};
    ASSERT_FALSE(start("a$b$h$1$"));
    auto* host = client->mainForm.find("Host");
    auto* zhuang = client->mainForm.find("Zhuang");
    ASSERT_TRUE(host && zhuang);
    EXPECT_DOUBLE_EQ(host->left(), 6);
    EXPECT_DOUBLE_EQ(host->top(), 193);
    EXPECT_DOUBLE_EQ(zhuang->left(), 45);
    EXPECT_DOUBLE_EQ(zhuang->top(), 193);
    EXPECT_LE(host->left() + host->width(), zhuang->left());
}

TEST_F(ClientFixture, MinimisingHidesTheAnimationAndRestoringMinimisesTheHall) {
    ASSERT_FALSE(start("a$b$h$1$"));
    auto* bomb = client->mainForm.find("bombPlayer");
    ASSERT_TRUE(bomb);
    bomb->setVisible(true);
    client->link.timeoutCount = 3;
    client->mainForm.setWindowState(ui::Form::WindowState::Minimized);
    EXPECT_FALSE(bomb->visible());
    EXPECT_TRUE(sim.hall.minimized.empty());
    client->mainForm.setWindowState(ui::Form::WindowState::Normal);
    EXPECT_EQ(sim.hall.minimized, std::vector<platform::WindowHandle>{HallWindow});
    EXPECT_EQ(client->link.timeoutCount, 0);
}

}  // namespace
}  // namespace mj::test
