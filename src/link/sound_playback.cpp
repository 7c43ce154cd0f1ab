// sound_playback.cpp: sound file table, device set-up and playback.
#include "link/sound_playback.h"

namespace mj::link {
namespace {

constexpr long FullVolume = 3000;
constexpr long EffectVolume = -800;  // quick-phrase voices sit under the table sounds
constexpr std::size_t MaxVoiceCode = 8;

bool isAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool isSafeCode(std::string_view code) {
    if (code.size() > MaxVoiceCode) return false;
    for (char c : code)
        if (!isAsciiAlnum(c)) return false;
    return true;
}

}  // namespace

void loadSoundPaths(SoundState& state, std::string_view programFolder) {
    const std::string folder(programFolder);
    const std::string music = folder + "\\..\\common\\music\\";
    state.soundFile[SoundMusic] = music + "majiang.wav";
    state.soundFile[SoundDiscard] = music + "dapai.wav";
    state.soundFile[SoundDeal] = music + "qupai.wav";
    state.soundFile[SoundShuffle] = music + "xipai.wav";
    state.soundFile[SoundDice] = music + "zhise.wav";
    state.soundFile[SoundPrompt] = music + "tishi.wav";
    state.soundFile[SoundLianLai] = music + "lianlai.wav";
    state.voiceDir = folder + "\\..\\common\\mj\\";
}

void initDirectSound(SoundState& state, platform::SoundDevice& device) {
    if (!device.init()) state.soundOn = false;
}

void playWave(SoundState& state, platform::SoundDevice& device, const std::string& file, bool loop) {
    if (device.hasMain() && !device.releaseMain()) {
        state.soundOn = false;
        return;
    }
    if (!device.createMain(file)) return;
    (void)device.playMain(loop);  // a failed start is not an error: nothing is heard
}

void stopWave(SoundState& state, platform::SoundDevice& device) {
    if (device.hasMain() && !device.stopMain()) state.soundOn = false;
}

void setWaveVolume(SoundState& state, platform::SoundDevice& device, long volume) {
    if (!device.hasMain() || volume < 0 || volume > FullVolume) return;
    if (!device.setMainVolume(volume - FullVolume)) state.soundOn = false;
}

bool playEffectWave(platform::SoundDevice& device, const std::string& file, int slot) {
    if (slot < 0 || slot > 3) return false;
    return device.playEffect(slot, file, EffectVolume);
}

bool isSafeVoiceId(const VoiceId& id) {
    return isSafeCode(id.voiceCode1) && isSafeCode(id.voiceCode2) && id.sex >= 0 && id.sex <= 255 && id.voiceSex >= 0 &&
           id.voiceSex <= 255;
}

std::optional<std::string> voiceFile(const SoundState& state, const VoiceId& id, std::string_view suffix) {
    if (!isSafeVoiceId(id)) return std::nullopt;
    std::string name = state.voiceDir;
    name += 'v';
    name += id.voiceCode1;
    name += id.voiceCode2;
    name += std::to_string(id.sex);
    name += std::to_string(id.voiceSex);
    name += suffix;
    return name;
}

std::optional<std::string> discardVoiceFile(const SoundState& state, const VoiceId& id, TileCode tile) {
    if (!isValidTile(tile)) return std::nullopt;
    int suit = tileSuitBit(tile);
    if (suit == 4)
        suit = 8;
    else if (suit == 8)
        suit = 4;
    return voiceFile(state, id, std::to_string(suit) + std::to_string(tileRank(tile)) + ".wav");
}

std::optional<std::string> claimVoiceFile(const SoundState& state, const VoiceId& id, ClaimOp op) {
    switch (op) {
    case OpChi:
        return voiceFile(state, id, "01.wav");
    case OpPeng:
        return voiceFile(state, id, "02.wav");
    case OpMingGang:
    case OpAnGang:
    case OpSingleGang:
        return voiceFile(state, id, "03.wav");
    case OpHu:
        return voiceFile(state, id, "09.wav");
    case OpPass:
        break;
    }
    return std::nullopt;
}

std::optional<std::string> phraseVoiceFile(const SoundState& state, const VoiceId& id, int list, int number) {
    if ((list != 1 && list != 2) || number < 1 || number > 255) return std::nullopt;
    return voiceFile(state, id, (list == 1 ? "0010" : "0020") + std::to_string(number) + ".wav");
}

}  // namespace mj::link
