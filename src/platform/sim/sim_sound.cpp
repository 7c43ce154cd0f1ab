// sim_sound.cpp: the recording sound device.
#include "platform/sim/sim_sound.h"

namespace mj::platform::sim {

bool SimSoundDevice::init() {
    log.push_back(available ? "init" : "init failed");
    initialised = available;
    return available;
}

bool SimSoundDevice::releaseMain() {
    if (failRelease) {
        log.push_back("release main failed");
        return false;
    }
    if (main) log.push_back("release main " + main->file);
    main.reset();
    return true;
}

bool SimSoundDevice::createMain(const std::string& wavePath) {
    if (!initialised || files.count(wavePath) == 0) {
        log.push_back("create main failed " + wavePath);
        return false;
    }
    log.push_back("create main " + wavePath);
    main = Buffer{wavePath};
    return true;
}

bool SimSoundDevice::playMain(bool loop) {
    if (!main) return false;
    main->playing = true;
    main->looping = loop;
    log.push_back(loop ? "play main loop" : "play main once");
    return true;
}

bool SimSoundDevice::stopMain() {
    if (failStop) {
        log.push_back("stop main failed");
        return false;
    }
    if (!main) return true;
    main->playing = false;
    main->position = 0;
    log.push_back("stop main");
    return true;
}

bool SimSoundDevice::setMainVolume(long hundredthsDb) {
    if (failVolume) {
        log.push_back("volume main failed");
        return false;
    }
    if (!main) return true;
    main->volume = hundredthsDb;
    log.push_back("volume main " + std::to_string(hundredthsDb));
    return true;
}

bool SimSoundDevice::playEffect(int slot, const std::string& wavePath, long hundredthsDb) {
    if (slot < 0 || slot > 3) return false;
    auto& buffer = effects[static_cast<std::size_t>(slot)];
    buffer.reset();
    const std::string name = "effect " + std::to_string(slot);
    if (!initialised || files.count(wavePath) == 0) {
        log.push_back(name + " create failed " + wavePath);
        return false;
    }
    buffer = Buffer{wavePath};
    buffer->volume = hundredthsDb;
    log.push_back(name + " volume " + std::to_string(hundredthsDb));
    buffer->playing = true;
    log.push_back(name + " play " + wavePath);
    return true;
}

}  // namespace mj::platform::sim
