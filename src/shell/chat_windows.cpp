// chat_windows.cpp: the history and quick-phrase windows.
#include "shell/chat_windows.h"

#include <charconv>

#include "link/client.h"
#include "link/ini_file.h"
#include "link/picture_resources.h"
#include "shell/chat_input.h"
#include "shell/keys.h"

namespace mj::shell {
namespace {

constexpr double Twips = 15.0;
constexpr std::string_view ChatIni = "chat.ini";
constexpr std::string_view PhraseTip = "双击后发送你想说的话";
constexpr ui::Color PhraseBack{0xC0, 0xFF, 0xFF};  // &H00FFFFC0 is blue-green-red

void attach(link::Client& c, ui::Form& f) {
    if (c.shell.attachForm) c.shell.attachForm(f);
}

void makeTranslucent(link::Client& c, ui::Form& f) {
    if (chatWindows(c).layeredPopups) setWindowAlpha(f, PopupAlpha);
}

// The window's picture under its list, with the close mark on the top strip.
void addBackground(link::Client& c, ui::Form& f, link::DesignPicture id) {
    auto& back = f.add<ui::Image>("Background", -1);
    back.setStretch(true);
    back.move(0, 0, f.width(), f.height());
    (void)link::loadPictureFromResource(c.pictureLoader, static_cast<int>(id), "GIF", back);
    back.sendToBack();
}

// The strip across the top of both windows that hides its window on a click.
void addCloseStrip(ui::Form& f) {
    auto& strip = f.add<ui::Label>("Label1", -1);
    strip.setTransparentBack(true);
    strip.move(120, 0, 4575, 255);
    strip.onClick = [&f] { f.setVisible(false); };
}

// Beside the table: lower middle of the table picture in the large layout,
// of the main window in the small one.
void placeOverTable(link::Client& c, ui::Form& f) {
    const ui::Form& m = c.mainForm;
    const ui::PictureBox& pic = *c.pic1;
    if (c.link.scaleX == 1.0) {
        f.move(m.left() + pic.left() + pic.width() * 0.30, m.top() + pic.top() + pic.height() * 0.66);
    } else {
        f.move(m.left() + pic.left() + m.width() * 0.22, m.top() + pic.top() + m.height() * 0.60);
    }
}

void readPhrases(link::Client& c, std::string_view section, ui::ListBox& list, std::vector<std::string>& copy) {
    link::IniFile ini(c.p.ini);
    ini.setIniFileName(platform::joinPath(c.p.process.programFolder(), ChatIni));
    const int n = std::min(leadingNumber(ini.getIniKey(section, "num")), MaxPhrases);
    // Missing keys stay as empty lines: phrases travel by index, so every
    // client's list must keep the file's numbering.
    for (int i = 1; i <= n; ++i) {
        std::string phrase = ini.getIniKey(section, std::to_string(i));
        list.addItem(phrase);
        copy.push_back(std::move(phrase));
    }
}

}  // namespace

ChatWindows& chatWindows(link::Client& c) {
    if (!c.shell.chatWindows) c.shell.chatWindows = std::make_shared<ChatWindows>();
    return *c.shell.chatWindows;
}

int leadingNumber(const std::string& value) {
    int n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    (void)end;
    return ec == std::errc() && n > 0 ? n : 0;
}

void ensureTalkLoaded(link::Client& c) {
    ChatWindows& w = chatWindows(c);
    if (w.talkLoaded) return;
    w.talkLoaded = true;
    ui::Form& talk = c.talk;
    talk.setCaption("聊天");
    talk.setVisible(false);
    talk.move(0, 0, 320 * Twips, 180 * Twips);
    c.talkText1->move(120, 240, 4575, 2370);
    c.talkText1->setNative(true);
    c.talkText1->onKeyDown = [&c](int& key, int) { talkKeyDown(c, key); };
    addBackground(c, talk, link::DesignPicture::TalkBack);
    addCloseStrip(talk);
    makeTranslucent(c, talk);
    // Screen position from the main window's size alone, as on first load.
    talk.move(c.mainForm.width() * 0.30, c.mainForm.height() * 0.66);
    attach(c, talk);
}

ui::ListBox& talkHistory(link::Client& c) {
    ensureTalkLoaded(c);
    return *c.talkText1;
}

void ensureHuifuLoaded(link::Client& c) {
    ChatWindows& w = chatWindows(c);
    if (w.huifuLoaded) return;
    w.huifuLoaded = true;
    ui::Form& f = w.huifu;
    f.setVisible(false);
    f.move(0, 0, 4785, 2700);
    for (int i = 0; i < 2; ++i) {
        auto& list = f.add<ui::ListBox>(i == 0 ? "List1" : "List2", -1);
        list.setFont({"华文新魏", 14.25, false});
        list.setBackColor(PhraseBack);
        list.move(120, 270, 4575, 2310);
        list.setNative(true);
        list.setVisible(i == 0);
        const int listNo = i + 1;
        list.onDblClick = [&c, listNo] { c.ignoringErrors("phrase", [&] { sendPhrase(c, listNo); }); };
        (i == 0 ? w.list1 : w.list2) = &list;
    }
    w.list2->setToolTip(std::string(PhraseTip));
    addBackground(c, f, link::DesignPicture::PhraseWindow);
    addCloseStrip(f);
    makeTranslucent(c, f);
    attach(c, f);

    c.phrases1.clear();
    c.phrases2.clear();
    c.ignoringErrors("chat.ini", [&] {
        if (!c.p.files.exists(platform::joinPath(c.p.process.programFolder(), ChatIni))) return;
        readPhrases(c, "Phrase1", *w.list1, c.phrases1);
        readPhrases(c, "Phrase2", *w.list2, c.phrases2);
    });
}

void sendPhrase(link::Client& c, int listNo) {
    ensureHuifuLoaded(c);
    ChatWindows& w = chatWindows(c);
    ui::ListBox& list = listNo == 1 ? *w.list1 : *w.list2;
    // Nothing chosen, or a blank line of the file: there is nothing to say, and
    // the receivers would look up a phrase that is not there.
    const int index = list.listIndex();
    if (index < 0 || index >= list.listCount()) return;
    const std::string& phrase = list.items()[static_cast<std::size_t>(index)];
    if (phrase.empty()) return;

    CmdInfo info;
    info.cmd = CmdChat;
    info.seat = c.table.custom[0].seat;
    info.value[0] = static_cast<std::int16_t>(listNo);
    info.value[3] = static_cast<std::int16_t>(index + 1);
    ui::TextBox* box = chatBox(c);
    const bool privateLine = box && findReplyPrefix(c, box->text()) != std::string::npos;
    if (privateLine) info.value[1] = static_cast<std::int16_t>(c.dispatch.replySeat);
    c.link.chatOut = chatLine(c, privateLine, phrase);
    if (box) box->setText("");
    c.dispatch.replyPrefix.clear();
    c.sendCommand(info);
    w.huifu.setVisible(false);
    if (box) box->setFocus();
}

void phraseAreaClick(link::Client& c, int listNo) {
    ensureTalkLoaded(c);
    if (c.talk.visible()) c.talk.setVisible(false);
    ensureHuifuLoaded(c);
    ChatWindows& w = chatWindows(c);
    ui::ListBox& mine = listNo == 1 ? *w.list1 : *w.list2;
    ui::ListBox& other = listNo == 1 ? *w.list2 : *w.list1;
    if (!w.huifu.visible()) {
        w.huifu.setVisible(true);
        w.huifu.setTopmost(true);
        placeOverTable(c, w.huifu);
    } else if (mine.visible()) {
        w.huifu.setVisible(false);
        return;
    }
    mine.setVisible(true);
    other.setVisible(false);
}

void showChatWindow(link::Client& c) {
    ensureTalkLoaded(c);
    c.talk.setVisible(true);
    c.talk.setTopmost(true);
    placeOverTable(c, c.talk);
}

void historyAreaClick(link::Client& c) {
    ensureTalkLoaded(c);
    if (c.talk.visible()) {
        c.talk.setVisible(false);
        return;
    }
    showChatWindow(c);
}

void talkKeyDown(link::Client& c, int keyCode) {
    if (altThenCDone(c, keyCode)) c.talk.setVisible(false);
}

void installChatWindows(link::Client& c) {
    (void)chatWindows(c);
    auto click = [&c](const char* name, std::function<void()> run) {
        if (ui::Control* area = c.mainForm.find(name))
            area->onClick = [&c, run = std::move(run)] { c.ignoringErrors("chat area", run); };
    };
    click("imgword1", [&c] { phraseAreaClick(c, 1); });
    click("imgword2", [&c] { phraseAreaClick(c, 2); });
    click("Lbchat", [&c] { historyAreaClick(c); });
}

}  // namespace mj::shell
