// platform.h: the set of platform services one client runs on, borrowed from
// whoever built them (the Win32 host or a test).
#pragma once
#include "platform/clock.h"
#include "platform/components.h"
#include "platform/files.h"
#include "platform/hall_link.h"
#include "platform/picture_decoder.h"
#include "platform/process.h"
#include "platform/resources.h"
#include "platform/socket.h"
#include "platform/sound.h"
#include "platform/text_codec.h"

namespace mj::platform {

struct Platform {
    Clock& clock;
    Socket& socket;
    Process& process;
    TextCodec& codec;
    IniStore& ini;
    Files& files;
    HallLink& hall;
    SoundDevice& sound;
    Resources& resources;
    PictureDecoder& pictures;
    ComponentFactory& components;
};

}  // namespace mj::platform
