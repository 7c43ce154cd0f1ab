// native_controls_test.cpp: the chat's system controls under Wine: Chinese
// typed into a native edit reaches the model with its key events, Enter is
// the handler's, a list's double-click reports its choice, and a pop-up is
// layered and cut to its region, and the pointer follows the controls.
#include <gtest/gtest.h>

#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_platform.h"

namespace mj::platform::win32 {
namespace {

struct NativeForm : ::testing::Test {
    ui::Form form{"F"};
    FormHost host;
    void show() {
        form.move(0, 0, 200 * 15, 120 * 15);
        form.setVisible(true);
        host.attach(form);
    }
    HWND child(const wchar_t* cls) { return FindWindowExW(host.windowOf(form), nullptr, cls, nullptr); }
    void TearDown() override { host.detach(form); }
};

TEST_F(NativeForm, TypedChineseReachesTheTextBoxAndEnterStaysWithTheHandler) {
    auto& box = form.add<ui::TextBox>("Chat", -1);
    box.setNative(true);
    box.move(150, 150, 150 * 15, 25 * 15);
    std::vector<int> keys;
    std::vector<std::string> changes;
    box.onKeyPress = [&](int& key) { keys.push_back(key); };
    box.onChange = [&] { changes.push_back(box.text()); };
    show();
    HWND edit = child(L"EDIT");
    ASSERT_NE(edit, nullptr);
    for (wchar_t ch : std::wstring(L"你好a")) SendMessageW(edit, WM_CHAR, ch, 1);
    EXPECT_EQ(box.text(), "你好a");
    EXPECT_EQ(box.selStart(), 3);
    EXPECT_EQ(keys, (std::vector<int>{0x4F60, 0x597D, 'a'}));
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), "你好a");

    SendMessageW(edit, WM_CHAR, '\r', 1);  // the handler's, not a character
    EXPECT_EQ(box.text(), "你好a");
    EXPECT_EQ(keys.back(), '\r');

    box.setText("你对王五说: ");  // code sets the text: the edit shows it
    box.setSelStart(7);
    wchar_t shown[64] = {};
    GetWindowTextW(edit, shown, 64);
    EXPECT_EQ(narrow(shown), "你对王五说: ");
    DWORD from = 0, to = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 7u);
}

TEST_F(NativeForm, ListShowsItemsAndReportsTheDoubleClickedOne) {
    auto& list = form.add<ui::ListBox>("List1", -1);
    list.setNative(true);
    list.move(0, 0, 200 * 15, 100 * 15);
    list.addItem("大家好");
    list.addItem("再见");
    int chosen = -2;
    list.onDblClick = [&] { chosen = list.listIndex(); };
    show();
    HWND lb = child(L"LISTBOX");
    ASSERT_NE(lb, nullptr);
    EXPECT_EQ(SendMessageW(lb, LB_GETCOUNT, 0, 0), 2);
    SendMessageW(lb, LB_SETCURSEL, 1, 0);
    SendMessageW(host.windowOf(form), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(lb), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(lb));
    EXPECT_EQ(chosen, 1);
    list.addItem("谢谢");
    EXPECT_EQ(SendMessageW(lb, LB_GETCOUNT, 0, 0), 3);
}

TEST_F(NativeForm, PopupIsLayeredAndShaped) {
    form.setAlpha(200);
    form.setRegion({{0, 0, 10, 1}, {2, 1, 8, 2}});
    show();
    HWND h = host.windowOf(form);
    EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 200);
    EXPECT_TRUE(flags & LWA_ALPHA);
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(h, r), COMPLEXREGION);
    RECT box;
    GetRgnBox(r, &box);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(box.bottom, 2);
    DeleteObject(r);
}

// The hand over a control that asks for its own pointer, the arrow elsewhere:
// when the system asks, and at once when a move handler changes it.
TEST_F(NativeForm, PointerFollowsTheControlUnderTheMouse) {
    auto& tile = form.add<ui::Image>("MJ_Image", 0);
    tile.move(20 * 15, 20 * 15, 40 * 15, 40 * 15);
    show();
    HWND h = host.windowOf(form);
    HCURSOR hand = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
    HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    ASSERT_NE(hand, arrow);

    tile.onMouseMove = [&tile](const ui::MouseEvent&) { tile.setMousePointer(ui::PointerCustom); };
    SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    EXPECT_EQ(GetCursor(), hand);
    tile.onMouseMove = [&tile](const ui::MouseEvent&) { tile.setMousePointer(ui::PointerDefault); };
    SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    EXPECT_EQ(GetCursor(), arrow);

    tile.setMousePointer(ui::PointerCustom);
    const auto setCursorAt = [h](int x, int y) {
        POINT pt{x, y};
        ClientToScreen(h, &pt);
        SetCursorPos(pt.x, pt.y);
        SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(setCursorAt(30, 30), hand);
    EXPECT_EQ(setCursorAt(100, 100), arrow);
}

}  // namespace
}  // namespace mj::platform::win32
