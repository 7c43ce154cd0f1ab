// sound.h: the sound device: one main buffer shared by music, voices and
// effects, and four effect buffers for the seats' quick-phrase voices.
#pragma once
#include <string>

namespace mj::platform {

// Every call returns false on a device error; the caller decides what an error
// means. A buffer that cannot be created from its file (missing, unreadable, not
// PCM wave) is not a device error: createMain/playEffect return false and
// nothing plays. Wave paths are full paths as the client builds them.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    // Creates the device bound to the main window. False: no usable device.
    virtual bool init() = 0;
    [[nodiscard]] virtual bool hasMain() const = 0;
    // Stops and releases the main buffer (when there is one).
    virtual bool releaseMain() = 0;
    // Creates the main buffer from a wave file (volume control).
    virtual bool createMain(const std::string& wavePath) = 0;
    virtual bool playMain(bool loop) = 0;
    // Stops the main buffer and rewinds it to the start.
    virtual bool stopMain() = 0;
    // Volume in hundredths of a decibel, 0 = none, negative = quieter.
    virtual bool setMainVolume(long hundredthsDb) = 0;
    // Effect slot 0..3: replaces its buffer with the file, sets the volume and
    // only then plays it once, so its start is never heard louder.
    virtual bool playEffect(int slot, const std::string& wavePath, long hundredthsDb) = 0;
};

}  // namespace mj::platform
