// win32_sound.cpp: DirectSound 8 playback of PCM wave files.
//
// Under Wine without a sound card DirectSoundCreate8 fails with E_INVALIDARG
// (not DSERR_NODRIVER), so any failure counts as "no device". With ALSA's null
// device everything succeeds and plays about three times faster than real time.
#include "platform/win32/win32_sound.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace mj::platform::win32 {
namespace {

// What the client's effects need: volume for all; the quick-phrase voices also
// pan and frequency. Global focus keeps sound while another window is active.
constexpr DWORD MainFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
constexpr DWORD EffectFlags =
    DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
// Voices and music are seconds long; a larger "wave" is not ours.
constexpr std::uint32_t MaxWaveBytes = 64u << 20;

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& out) {
    HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart <= MaxWaveBytes;
    if (ok) {
        out.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        ok = ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr) && got == out.size();
    }
    CloseHandle(h);
    return ok;
}

std::uint32_t le32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24); }
std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

//   RIFF <size> WAVE, then chunks <id 4> <size 4 LE> <data, padded to even>:
//   "fmt ": format tag (2, 1 = PCM), channels (2), rate (4), bytes/s (4),
//           block align (2), bits (2)
//   "data": the samples
struct Wave {
    WAVEFORMATEX format{};
    const std::uint8_t* samples = nullptr;
    std::uint32_t length = 0;
};

bool parseWave(const std::vector<std::uint8_t>& file, Wave& wave) {
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "WAVE", 4) != 0)
        return false;
    bool haveFormat = false;
    std::size_t pos = 12;
    while (pos + 8 <= file.size()) {
        const std::uint8_t* chunk = file.data() + pos;
        const std::uint32_t size = le32(chunk + 4);
        if (size > file.size() - pos - 8) return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            wave.format.wFormatTag = le16(chunk + 8);
            wave.format.nChannels = le16(chunk + 10);
            wave.format.nSamplesPerSec = le32(chunk + 12);
            wave.format.nAvgBytesPerSec = le32(chunk + 16);
            wave.format.nBlockAlign = le16(chunk + 20);
            wave.format.wBitsPerSample = le16(chunk + 22);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            wave.samples = chunk + 8;
            wave.length = size;
        }
        pos += 8 + size + (size & 1);
    }
    return haveFormat && wave.format.wFormatTag == WAVE_FORMAT_PCM && wave.format.nChannels >= 1 &&
           wave.format.nChannels <= 2 && wave.format.nBlockAlign > 0 && wave.samples && wave.length >= 4 &&
           wave.length >= wave.format.nBlockAlign;
}

void release(IDirectSoundBuffer*& buffer) {
    if (!buffer) return;
    buffer->Stop();
    buffer->Release();
    buffer = nullptr;
}

}  // namespace

Win32SoundDevice::~Win32SoundDevice() {
    release(main_);
    for (auto& e : effects_) release(e);
    if (device_) device_->Release();
}

bool Win32SoundDevice::init() {
    if (device_) return true;
    IDirectSound8* device = nullptr;
    if (FAILED(DirectSoundCreate8(nullptr, &device, nullptr)) || !device) return false;
    if (FAILED(device->SetCooperativeLevel(window_ ? window_ : GetDesktopWindow(), DSSCL_PRIORITY))) {
        device->Release();
        return false;
    }
    device_ = device;
    return true;
}

IDirectSoundBuffer* Win32SoundDevice::createBuffer(const std::string& wavePath, DWORD flags) const {
    if (!device_) return nullptr;
    std::vector<std::uint8_t> file;
    Wave wave;
    if (!readFile(wavePath, file) || !parseWave(file, wave)) return nullptr;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.dwBufferBytes = wave.length - wave.length % wave.format.nBlockAlign;
    desc.lpwfxFormat = &wave.format;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(device_->CreateSoundBuffer(&desc, &buffer, nullptr)) || !buffer) return nullptr;
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    if (FAILED(buffer->Lock(0, desc.dwBufferBytes, &p1, &n1, &p2, &n2, 0))) {
        buffer->Release();
        return nullptr;
    }
    std::memcpy(p1, wave.samples, n1);
    if (p2) std::memcpy(p2, wave.samples + n1, n2);
    buffer->Unlock(p1, n1, p2, n2);
    return buffer;
}

bool Win32SoundDevice::releaseMain() {
    if (!main_) return true;
    const HRESULT stopped = main_->Stop();
    main_->Release();
    main_ = nullptr;
    return SUCCEEDED(stopped);
}

bool Win32SoundDevice::createMain(const std::string& wavePath) {
    IDirectSoundBuffer* buffer = createBuffer(wavePath, MainFlags);
    if (!buffer) return false;
    release(main_);
    main_ = buffer;
    return true;
}

bool Win32SoundDevice::playMain(bool loop) { return main_ && SUCCEEDED(main_->Play(0, 0, loop ? DSBPLAY_LOOPING : 0)); }

bool Win32SoundDevice::stopMain() {
    if (!main_) return true;
    return SUCCEEDED(main_->Stop()) && SUCCEEDED(main_->SetCurrentPosition(0));
}

bool Win32SoundDevice::setMainVolume(long hundredthsDb) {
    if (!main_) return true;
    return SUCCEEDED(main_->SetVolume(hundredthsDb));
}

bool Win32SoundDevice::playEffect(int slot, const std::string& wavePath, long hundredthsDb) {
    if (slot < 0 || slot > 3) return false;
    IDirectSoundBuffer*& buffer = effects_[static_cast<std::size_t>(slot)];
    release(buffer);
    buffer = createBuffer(wavePath, EffectFlags);
    if (!buffer) return false;
    const bool volumeSet = SUCCEEDED(buffer->SetVolume(hundredthsDb));
    return SUCCEEDED(buffer->Play(0, 0, 0)) && volumeSet;
}

Win32SoundDevice::BufferStatus Win32SoundDevice::statusOf(IDirectSoundBuffer* buffer) {
    BufferStatus s;
    if (!buffer) return s;
    s.exists = true;
    DWORD status = 0;
    if (SUCCEEDED(buffer->GetStatus(&status))) {
        s.playing = (status & DSBSTATUS_PLAYING) != 0;
        s.looping = (status & DSBSTATUS_LOOPING) != 0;
    }
    LONG volume = 0;
    if (SUCCEEDED(buffer->GetVolume(&volume))) s.volume = volume;
    DWORD play = 0, write = 0;
    if (SUCCEEDED(buffer->GetCurrentPosition(&play, &write))) s.position = play;
    return s;
}

Win32SoundDevice::BufferStatus Win32SoundDevice::mainStatus() const { return statusOf(main_); }

Win32SoundDevice::BufferStatus Win32SoundDevice::effectStatus(int slot) const {
    if (slot < 0 || slot > 3) return {};
    return statusOf(effects_[static_cast<std::size_t>(slot)]);
}

}  // namespace mj::platform::win32
