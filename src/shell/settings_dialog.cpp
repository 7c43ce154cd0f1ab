// settings_dialog.cpp: the settings dialog.
#include "shell/settings_dialog.h"

#include "link/client.h"
#include "video/video_switch.h"
#include "link/ini_file.h"
#include "shell/shell_windows.h"
#include "shell/window_frame.h"
#include "table/tiles.h"

namespace mj::shell {
namespace {

constexpr double Twips = 15.0;
constexpr char VideoIni[] = "vidiosetting.ini";
constexpr double RowTops[SwitchCount] = {40, 96, 152, 208, 256};
// DialogPic entries: the switch shows what a click does, or the voice style.
constexpr std::size_t PicOk = 0, PicCancel = 2, PicSwitchOff = 4, PicSwitchOn = 5, PicMandarin = 6, PicDialect = 7;

ui::Control* switchButton(link::Client& c, int i) {
    ui::Form* f = shellWindows(c).vosSet.ifLoaded();
    return f ? f->find("Command2", i) : nullptr;
}

void showPicture(link::Client& c, int i, std::size_t entry) {
    if (ui::Control* b = switchButton(c, i)) (void)table::loadPicture(c, c.link.pictures.dialogPic[entry], *b);
}

void showOnOff(link::Client& c, int i, bool on) { showPicture(c, i, on ? PicSwitchOff : PicSwitchOn); }

void tellPluginSound(link::Client& c) {
    if (c.props.loaded()) c.props.propDll->recState(1, c.link.sound.soundOn, 0);
}

void toggleMusic(link::Client& c) {
    auto& l = c.link;
    if (l.musicOn) {
        l.musicOn = false;
        link::stopWave(l.sound, c.p.sound);
    } else {
        l.musicOn = true;
        link::playWave(l.sound, c.p.sound, l.sound.soundFile[link::SoundMusic], true);
        link::setWaveVolume(l.sound, c.p.sound, 3000);
    }
    showOnOff(c, 0, l.musicOn);
}

// One voice-style state, toggled; the picture and the men's voices follow it.
void toggleVoiceStyle(link::Client& c) {
    bool& dialect = c.shell.dialectVoice;
    dialect = !dialect;
    auto& players = c.dispatch.player;
    for (std::size_t i = 0; i < players.size(); ++i) {
        players[i].voiceCode1 = "00";
        if (players[i].sex == 1) players[i].voiceCode2 = dialect ? "30" : c.dispatch.seating.savedVoiceNo[i];
    }
    showPicture(c, 3, dialect ? PicDialect : PicMandarin);
}

}  // namespace

void loadSettingsDialog(link::Client& c, ui::Form& f) {
    makePopupTranslucent(c, f);
    f.setCaption("音效设置");
    f.move(f.left(), f.top(), 219 * Twips, 364 * Twips);
    auto& back = f.add<ui::Image>("Background", -1);
    (void)table::loadPicture(c, static_cast<int>(link::DesignPicture::SettingsBack), back);
    const auto& pics = c.link.pictures.dialogPic;
    for (int i = 0; i < SwitchCount; ++i) {
        auto& row = f.add<ui::Image>("Image1", i);
        row.setStretch(true);
        row.move(16 * Twips, RowTops[i] * Twips, 91 * Twips, 35 * Twips);
        (void)table::loadPicture(c, static_cast<int>(link::DesignPicture::SettingLabel0) + i, row);
    }
    for (int i = 0; i < 2; ++i) {
        auto& b = f.add<ui::Image>("Command1", i);
        b.setMousePointer(ui::PointerCustom);
        b.move(0, 0, 65 * Twips, 30 * Twips);
        (void)table::loadPicture(c, pics[i == 0 ? PicOk : PicCancel], b);
        b.onClick = [&c, i] { settingsButtonClick(c, i); };
    }
    auto& ok = *f.find("Command1", 0);
    ok.move(28 * Twips, 320 * Twips);
    f.find("Command1", 1)->move(ok.left() + 1.4 * ok.width(), 320 * Twips);

    c.shell.optionChanged = {};
    for (int i = 0; i < SwitchCount; ++i) {
        auto& b = f.add<ui::Image>("Command2", i);
        b.setMousePointer(ui::PointerCustom);
        b.move(0, 0, 65 * Twips, 30 * Twips);
        const ui::Control& row = *f.find("Image1", i);
        b.move(row.left() + row.width() + 20 * Twips, row.top() + 3 * Twips);
        b.onClick = [&c, i] { settingsSwitchClick(c, i); };
    }
    // Every switch starts from the real state (a sound error may have turned
    // sound off before the dialog was first made).
    showOnOff(c, 0, c.link.musicOn);
    showOnOff(c, 1, c.link.effectsOn);
    showOnOff(c, 2, c.link.sound.soundOn);
    showPicture(c, 3, c.shell.dialectVoice ? PicDialect : PicMandarin);
    showOnOff(c, 4, c.video.videoEnabled);
}

void settingsSwitchClick(link::Client& c, int index) {
    if (index < 0 || index >= SwitchCount) return;
    if (index < 4) c.shell.optionChanged[static_cast<std::size_t>(index)] ^= true;
    switch (index) {
    case 0:
        toggleMusic(c);
        break;
    case 1:
        c.link.effectsOn = !c.link.effectsOn;
        showOnOff(c, 1, c.link.effectsOn);
        break;
    case 2:
        c.link.sound.soundOn = !c.link.sound.soundOn;
        showOnOff(c, 2, c.link.sound.soundOn);
        tellPluginSound(c);
        break;
    case 3:
        toggleVoiceStyle(c);
        break;
    default:
        (void)video::flipVideoSwitch(c);
        showOnOff(c, 4, c.video.videoEnabled);
        break;
    }
}

void settingsButtonClick(link::Client& c, int index) {
    if (ui::Form* f = shellWindows(c).vosSet.ifLoaded()) f->setVisible(false);
    auto& marks = c.shell.optionChanged;
    if (index == 1) {
        if (marks[0]) toggleMusic(c);
        if (marks[1]) {
            c.link.effectsOn = !c.link.effectsOn;
            showOnOff(c, 1, c.link.effectsOn);
        }
        if (marks[2]) {
            c.link.sound.soundOn = !c.link.sound.soundOn;
            showOnOff(c, 2, c.link.sound.soundOn);
            // The plug-in heard the switch; it hears it undone too.
            tellPluginSound(c);
        }
        if (marks[3]) toggleVoiceStyle(c);
    }
    marks = {};
}

void voiceStyleReset(link::Client& c) {
    c.shell.dialectVoice = false;
    c.shell.optionChanged[3] = false;
    showPicture(c, 3, PicMandarin);
}

}  // namespace mj::shell
