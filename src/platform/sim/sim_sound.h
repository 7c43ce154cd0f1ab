// sim_sound.h: a sound device that remembers what it was told to play, for
// tests. Wave files "exist" when listed in `files`.
#pragma once
#include <array>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/sound.h"

namespace mj::platform::sim {

class SimSoundDevice : public SoundDevice {
public:
    bool init() override;
    [[nodiscard]] bool hasMain() const override { return main.has_value(); }
    bool releaseMain() override;
    bool createMain(const std::string& wavePath) override;
    bool playMain(bool loop) override;
    bool stopMain() override;
    bool setMainVolume(long hundredthsDb) override;
    bool playEffect(int slot, const std::string& wavePath, long hundredthsDb) override;

    // Test side.
    struct Buffer {
        std::string file;
        bool playing = false;
        bool looping = false;
        long volume = 0;  // hundredths of a decibel
        long position = 0;
    };
    std::set<std::string> files;
    bool available = true;
    bool failRelease = false;
    bool failStop = false;
    bool failVolume = false;
    bool initialised = false;
    std::optional<Buffer> main;
    std::array<std::optional<Buffer>, 4> effects;
    // Every call in order, e.g. "create main a.wav", "play main loop",
    // "effect 2 volume -800", "effect 2 play b.wav".
    std::vector<std::string> log;
};

}  // namespace mj::platform::sim
