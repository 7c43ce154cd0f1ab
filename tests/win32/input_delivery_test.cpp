// What a player does reaches the controls through the real window: the test
// sends real input (SendInput, as the mouse and keyboard drivers do) to forms
// shown by the window host and checks the controls' events. Keyboard focus
// comes back to the window from its chat box on a click, Alt then C is not
// taken by the window menu, double-clicks arrive as such, painted lists
// scroll by their bar, the wheel and the keys, the window's own surface hears
// its presses, and the pointer follows what the control asks for.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/win32/win32_forms.h"

namespace mj::platform::win32 {
namespace {

// Runs the window messages for up to `ms` milliseconds, returning early once
// `done` holds; true when it held.
bool pumpUntil(const std::function<bool()>& done, DWORD ms = 1500) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        if (done && done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
void pumpFor(DWORD ms) { pumpUntil(nullptr, ms); }

void send(std::vector<INPUT> in) {
    ASSERT_EQ(SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)), in.size());
}

INPUT mouse(DWORD flags, int screenX = 0, int screenY = 0, DWORD data = 0) {
    INPUT i{};
    i.type = INPUT_MOUSE;
    i.mi.dwFlags = flags;
    i.mi.mouseData = data;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        // Absolute positions run from 0 to 65535 over the primary screen.
        i.mi.dx = MulDiv(screenX, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
        i.mi.dy = MulDiv(screenY, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    }
    return i;
}

INPUT key(WORD vk, bool up) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return i;
}

void press(WORD vk) { send({key(vk, false), key(vk, true)}); }

// A small table window: the table picture with keys and clicks, a chat box,
// a painted list and a label.
struct InputForm : ::testing::Test {
    static constexpr int Left = 100, Top = 80;
    ui::Form form{"F"};
    FormHost host;
    ui::PictureBox* pic1 = nullptr;
    ui::TextBox* chat = nullptr;
    std::vector<int> keys, chars;
    int clicks = 0;

    void SetUp() override {
        form.move(Left * 15, Top * 15, 400 * 15, 300 * 15);
        pic1 = &form.add<ui::PictureBox>("Pic1", -1);
        pic1->move(0, 0, 400 * 15, 250 * 15);
        pic1->onKeyDown = [this](int& k, int) { keys.push_back(k); };
        pic1->onKeyPress = [this](int& k) { chars.push_back(k); };
        pic1->onClick = [this] { ++clicks; };
        chat = &form.add<ui::TextBox>("Chat", -1);
        chat->setNative(true);
        chat->move(10 * 15, 260 * 15, 200 * 15, 25 * 15);
    }
    void show() {
        form.setVisible(true);
        host.attach(form);
        HWND h = host.windowOf(form);
        SetForegroundWindow(h);
        SetFocus(h);
        pumpFor(100);
    }
    void TearDown() override { host.detach(form); }
    HWND window() { return host.windowOf(form); }

    // A left click at window pixels (x, y).
    void click(int x, int y, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
        send({mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Left + x, Top + y), mouse(down), mouse(up)});
    }
    void moveTo(int x, int y) { send({mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Left + x, Top + y)}); }
};

// Typing in the chat box took the keyboard; a click on the table gives it
// back, so Esc and the characters reach the table again.
TEST_F(InputForm, AClickOnTheTableTakesTheFocusBackFromTheChatBox) {
    std::vector<int> typed;
    chat->onKeyPress = [&](int& k) { typed.push_back(k); };
    show();
    HWND edit = FindWindowExW(window(), nullptr, L"EDIT", nullptr);
    ASSERT_NE(edit, nullptr);

    press(VK_ESCAPE);
    ASSERT_TRUE(pumpUntil([&] { return !keys.empty(); })) << "a fresh table hears Esc";
    EXPECT_EQ(keys, std::vector<int>{VK_ESCAPE});

    click(50, 270);  // into the chat box
    ASSERT_TRUE(pumpUntil([&] { return GetFocus() == edit; }));
    EXPECT_TRUE(chat->hasFocus());
    press('A');
    ASSERT_TRUE(pumpUntil([&] { return !typed.empty(); }));
    EXPECT_EQ(typed, std::vector<int>{'a'});

    click(200, 100);  // on the table
    ASSERT_TRUE(pumpUntil([&] { return clicks == 1; }));
    EXPECT_EQ(GetFocus(), window());
    EXPECT_FALSE(chat->hasFocus());
    keys.clear();
    press(VK_ESCAPE);
    press('B');
    ASSERT_TRUE(pumpUntil([&] { return keys.size() == 2 && !chars.empty(); }));
    EXPECT_EQ(keys, (std::vector<int>{VK_ESCAPE, 'B'}));
    // Esc comes as a character too (the table's handler lets it pass).
    EXPECT_EQ(chars, (std::vector<int>{VK_ESCAPE, VK_ESCAPE, 'b'}));
    EXPECT_EQ(typed.size(), 1u) << "nothing more went into the chat box";
}

// Alt pressed and released, then C: both reach the table, nothing is left in
// the window menu's hands, and the keys after them still arrive.
TEST_F(InputForm, AltThenCReachesTheTableAndLeavesNoMenuMode) {
    show();
    press(VK_MENU);
    press('C');
    press(VK_ESCAPE);
    ASSERT_TRUE(pumpUntil([&] { return keys.size() >= 3; }));
    EXPECT_EQ(keys, (std::vector<int>{VK_MENU, 'C', VK_ESCAPE}));
    // Alt held over C comes as a system key, and is the table's too.
    keys.clear();
    send({key(VK_MENU, false), key('C', false), key('C', true), key(VK_MENU, true)});
    press(VK_ESCAPE);
    ASSERT_TRUE(pumpUntil([&] { return keys.size() >= 3; }));
    EXPECT_EQ(keys, (std::vector<int>{VK_MENU, 'C', VK_ESCAPE}));
}

// The same from the chat box: releasing Alt there leaves the next key to the box.
TEST_F(InputForm, AltReleasedInTheChatBoxLeavesTheNextKeyToIt) {
    std::vector<int> typed;
    chat->onKeyPress = [&](int& k) { typed.push_back(k); };
    show();
    click(50, 270);
    ASSERT_TRUE(pumpUntil([&] { return chat->hasFocus(); }));
    press(VK_MENU);
    press('X');
    ASSERT_TRUE(pumpUntil([&] { return !typed.empty(); }));
    EXPECT_EQ(typed, std::vector<int>{'x'});
}

// A double-click reaches a control that handles it as one double-click; one
// that does not hears two clicks, and the right button two presses.
TEST_F(InputForm, DoubleClicksArriveWhereTheyAreWanted) {
    auto& row = form.add<ui::Label>("Row", -1);
    row.move(300 * 15, 10 * 15, 80 * 15, 20 * 15);
    int rowClicks = 0, rowDouble = 0;
    row.onClick = [&] { ++rowClicks; };
    row.onDblClick = [&] { ++rowDouble; };
    int rightDowns = 0;
    pic1->onMouseDown = [&](const ui::MouseEvent& e) { rightDowns += e.button == ui::ButtonRight ? 1 : 0; };
    show();

    click(310, 15);
    click(310, 15);
    ASSERT_TRUE(pumpUntil([&] { return rowDouble == 1; }));
    pumpFor(50);
    EXPECT_EQ(rowClicks, 1) << "the release after the double-click is no second click";

    pumpFor(600);  // past the double-click time
    click(100, 100);
    click(100, 100);
    ASSERT_TRUE(pumpUntil([&] { return clicks == 2; })) << "quick clicks on the table stay clicks";

    pumpFor(600);
    click(100, 100, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    click(100, 100, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(pumpUntil([&] { return rightDowns == 2; }));
}

// Presses where no control lies reach the window itself (a board is dragged
// by its own surface); positions come in the container's units, twips on the
// form, pixels in a picture box.
TEST_F(InputForm, PressesReachTheSurfaceAndControlsInTheirContainersUnits) {
    std::vector<std::pair<double, double>> surface, onForm, inBox;
    form.onMouseDown = [&](const ui::MouseEvent& e) { surface.emplace_back(e.x, e.y); };
    auto& label = form.add<ui::Label>("Row", -1);
    label.move(300 * 15, 260 * 15, 50 * 15, 10 * 15);
    label.onMouseDown = [&](const ui::MouseEvent& e) { onForm.emplace_back(e.x, e.y); };
    auto& tile = pic1->add<ui::Image>("MJ_Image", 0);
    tile.move(40, 30, 20, 20);
    tile.onMouseDown = [&](const ui::MouseEvent& e) { inBox.emplace_back(e.x, e.y); };
    show();
    click(300, 290);
    click(310, 265);
    click(45, 37);
    ASSERT_TRUE(pumpUntil([&] { return !inBox.empty(); }));
    using P = std::vector<std::pair<double, double>>;
    EXPECT_EQ(surface, (P{{300 * 15, 290 * 15}}));
    EXPECT_EQ(onForm, (P{{10 * 15, 5 * 15}}));
    EXPECT_EQ(inBox, (P{{5, 7}}));
}

// A settlement-style list with more items than rows: the bar's arrow, the
// track, the thumb dragged, the wheel over it, and the keys once pressed.
TEST_F(InputForm, APaintedListScrollsByBarWheelAndKeys) {
    auto& list = pic1->add<ui::ListBox>("State", 0);
    list.setFont(ui::Font{"宋体", 9, true});
    list.move(20, 20, 150, 150);  // 10 rows of 15 pixels
    for (int i = 0; i < 30; ++i) list.addItem("item " + std::to_string(i));
    ASSERT_EQ(list.visibleRows(), 10);
    show();
    const auto bar = list.scrollBar();
    const int barX = 20 + bar.left + bar.width / 2;

    click(barX, 20 + bar.height - 4);  // the down arrow
    ASSERT_TRUE(pumpUntil([&] { return list.topIndex() == 1; }));
    click(barX, 20 + bar.height - bar.arrow - 2);  // the track below the thumb
    ASSERT_TRUE(pumpUntil([&] { return list.topIndex() == 11; }));

    // The thumb dragged to the top of the track.
    const auto at = list.scrollBar();
    send({mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Left + barX, Top + 20 + at.thumbTop + 2),
          mouse(MOUSEEVENTF_LEFTDOWN)});
    pumpFor(50);
    send({mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Left + barX, Top + 20 + bar.arrow - 10),
          mouse(MOUSEEVENTF_LEFTUP)});
    ASSERT_TRUE(pumpUntil([&] { return list.topIndex() == 0; }));

    // Two notches of the wheel down over the rows, one up.
    moveTo(60, 60);
    send({mouse(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(-2 * WHEEL_DELTA))});
    ASSERT_TRUE(pumpUntil([&] { return list.topIndex() == 6; }));
    send({mouse(MOUSEEVENTF_WHEEL, 0, 0, WHEEL_DELTA)});
    ASSERT_TRUE(pumpUntil([&] { return list.topIndex() == 3; }));

    // A press on a row selects it and gives the list the keys.
    click(60, 20 + 15 * 2 + 5);
    ASSERT_TRUE(pumpUntil([&] { return list.listIndex() == 5; }));
    keys.clear();
    press(VK_NEXT);
    ASSERT_TRUE(pumpUntil([&] { return list.listIndex() == 14; }));
    EXPECT_EQ(list.topIndex(), 5);
    press(VK_END);
    ASSERT_TRUE(pumpUntil([&] { return list.listIndex() == 29; }));
    EXPECT_EQ(list.topIndex(), 20);
    EXPECT_TRUE(keys.empty()) << "the list had the keys, not the table";

    // A click on the table hands the keys back to it.
    click(300, 200);
    press(VK_HOME);
    ASSERT_TRUE(pumpUntil([&] { return !keys.empty(); }));
    EXPECT_EQ(list.listIndex(), 29);
}

// The pointer a control asks for, the four-way arrow included, shows under
// the real mouse.
TEST_F(InputForm, ThePointerFollowsTheControlUnderTheMouse) {
    auto& drag = form.add<ui::Label>("LbMove", -1);
    drag.move(250 * 15, 260 * 15, 100 * 15, 20 * 15);
    drag.setMousePointer(ui::PointerSizeAll);
    show();
    const HCURSOR sizeAll = LoadCursorW(nullptr, IDC_SIZEALL);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    moveTo(300, 270);
    EXPECT_TRUE(pumpUntil([&] { return GetCursor() == sizeAll; }));
    moveTo(100, 100);
    EXPECT_TRUE(pumpUntil([&] { return GetCursor() == arrow; }));
}

// The control model's focus call brings the window forward with the keys.
TEST_F(InputForm, TheFocusCallGivesTheWindowTheKeys) {
    show();
    ui::Form other{"Other"};
    other.move(600 * 15, 500 * 15, 100 * 15, 100 * 15);
    other.setVisible(true);
    host.attach(other);
    SetForegroundWindow(host.windowOf(other));
    SetFocus(host.windowOf(other));
    pumpFor(50);
    ASSERT_NE(GetFocus(), window());
    form.setFocus();
    EXPECT_EQ(GetFocus(), window());
    EXPECT_EQ(GetForegroundWindow(), window());
    press(VK_ESCAPE);
    EXPECT_TRUE(pumpUntil([&] { return !keys.empty(); }));
    host.detach(other);
}

}  // namespace
}  // namespace mj::platform::win32
