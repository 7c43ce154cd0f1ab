// sound_playback.h: the sound file table, the voice folder and the procedures
// that play music, effects and voices on the sound device.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sound.h"
#include "shared/game_types.h"

namespace mj::link {

// The sound table's entries that are filled (7 is not used).
enum SoundEntry : int {
    SoundMusic = 1,    // majiang.wav, the looping background music
    SoundDiscard = 2,  // dapai.wav
    SoundDeal = 3,     // qupai.wav
    SoundShuffle = 4,  // xipai.wav
    SoundDice = 5,     // zhise.wav
    SoundPrompt = 6,   // tishi.wav
    SoundLianLai = 8,  // lianlai.wav
};

struct SoundState {
    // Sound and voices on. True at start-up; false when the device is missing
    // or fails (the callers then play nothing).
    bool soundOn = true;
    // Full paths of the fixed sound files; unfilled entries stay empty.
    std::array<std::string, 101> soundFile;
    // The voice folder, ending with its separator.
    std::string voiceDir;
};

// Fills soundFile and voiceDir from the program folder (without a trailing
// separator): <folder>\..\common\music\<file> and <folder>\..\common\mj\.
void loadSoundPaths(SoundState& state, std::string_view programFolder);

// Creates the device. A machine without a usable device does not stop the
// client: sound is switched off and the client goes on silently.
void initDirectSound(SoundState& state, platform::SoundDevice& device);

// Plays file on the main buffer, replacing whatever it held (the looping music
// included). An error releasing the previous sound switches sound off; a file
// that cannot be loaded just leaves silence.
void playWave(SoundState& state, platform::SoundDevice& device, const std::string& file, bool loop);
// Stops the main buffer and rewinds it; a device error switches sound off.
void stopWave(SoundState& state, platform::SoundDevice& device);
// 0 (quietest, -30 dB) to 3000 (full); other values change nothing. A device
// error switches sound off.
void setWaveVolume(SoundState& state, platform::SoundDevice& device, long volume);
// Plays file once on effect slot 0-3 at -8 dB; other slots do nothing; errors
// leave that slot silent.
// True when the device started the voice; errors are otherwise ignored.
bool playEffectWave(platform::SoundDevice& device, const std::string& file, int slot);

// The fields of a player's record that name their voice files.
struct VoiceId {
    std::string voiceCode1;
    std::string voiceCode2;
    int sex = 0;
    int voiceSex = 0;
};

// Voice names are built from what the server sent, so they must stay inside
// the voice folder: a voice code may hold only ASCII letters and digits, at
// most the 8 bytes its field has; sex and voice sex are bytes. Anything else
// gives no file (no voice), never a path elsewhere.
[[nodiscard]] bool isSafeVoiceId(const VoiceId& id);

// voiceDir & "v" & codes & sex & voice sex & suffix, or nothing when the id is
// not safe. `suffix` is ours ("01.wav", "45.wav", ...).
[[nodiscard]] std::optional<std::string> voiceFile(const SoundState& state, const VoiceId& id, std::string_view suffix);
// The discard voice of a tile: voice suit (the suit bit with 4 and 8
// exchanged) and rank, e.g. 0x85 gives "...45.wav". Nothing for a code that is
// no tile.
[[nodiscard]] std::optional<std::string> discardVoiceFile(const SoundState& state, const VoiceId& id, TileCode tile);
// The claim voice: "01.wav" 吃, "02.wav" 碰, "03.wav" any kong, "09.wav" 胡.
[[nodiscard]] std::optional<std::string> claimVoiceFile(const SoundState& state, const VoiceId& id, ClaimOp op);
// The quick-phrase voice: list 1 or 2, phrase number from 1.
[[nodiscard]] std::optional<std::string> phraseVoiceFile(const SoundState& state, const VoiceId& id, int list,
                                                         int number);

}  // namespace mj::link
