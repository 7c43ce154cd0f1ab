// sim_platform.cpp: the in-memory platform.
#include "platform/sim/sim_platform.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <sstream>
#include <stdexcept>

namespace mj::platform::sim {

// ---------------------------------------------------------------- clock

class SimTimer : public Timer {
public:
    SimTimer(SimClock& clock, Millis interval, std::function<void()> onTick)
        : clock_(&clock), interval_(interval), onTick_(std::move(onTick)) {
        clock_->timers_.push_back(this);
    }
    ~SimTimer() override {
        if (!clock_) return;
        std::erase(clock_->timers_, this);
        std::replace(clock_->firing_.begin(), clock_->firing_.end(), this, static_cast<SimTimer*>(nullptr));
    }
    void setEnabled(bool on) override {
        if (on && !enabled_) due_ = clock_->now_ + interval_;
        enabled_ = on;
    }
    [[nodiscard]] bool enabled() const override { return enabled_; }
    void setInterval(Millis interval) override {
        interval_ = interval;
        due_ = clock_->now_ + interval_;
    }
    [[nodiscard]] Millis interval() const override { return interval_; }

    SimClock* clock_;
    Millis interval_;
    std::function<void()> onTick_;
    bool enabled_ = false;
    bool running_ = false;
    Millis due_{0};
};

SimClock::SimClock() = default;
SimClock::~SimClock() {
    for (auto* t : timers_) t->clock_ = nullptr;
}

double SimClock::secondsSinceMidnight() const {
    const long long ms = (midnightOffset_ + now_).count() % (24LL * 3600 * 1000);
    return static_cast<double>(ms) / 1000.0;
}

Clock::TimeOfDay SimClock::timeOfDay() const {
    const long long s = static_cast<long long>(secondsSinceMidnight());
    return {static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60), static_cast<int>(s % 60)};
}

void SimClock::sleep(Millis duration) {
    now_ += duration;
    slept_ += duration;
}

std::unique_ptr<Timer> SimClock::createTimer(Millis interval, std::function<void()> onTick) {
    return std::make_unique<SimTimer>(*this, interval, std::move(onTick));
}

void SimClock::post(std::function<void()> event) { posted_.push_back(std::move(event)); }

void SimClock::runDue() {
    while (!posted_.empty()) {
        auto e = std::move(posted_.front());
        posted_.pop_front();
        e();
    }
}

void SimClock::advance(Millis duration) {
    const Millis target = now_ + duration;
    runDue();
    while (true) {
        SimTimer* next = nullptr;
        for (auto* t : timers_) {
            if (t->enabled_ && !t->running_ && t->due_ <= target && (!next || t->due_ < next->due_)) next = t;
        }
        if (!next) break;
        now_ = std::max(now_, next->due_);
        next->due_ = now_ + next->interval_;
        next->running_ = true;
        // The timer may be destroyed by its own callback, or by one that
        // callback pumps: its entry on the firing stack then turns null.
        firing_.push_back(next);
        const auto done = [this] {
            if (SimTimer* t = firing_.back()) t->running_ = false;
            firing_.pop_back();
        };
        auto fn = next->onTick_;
        try {
            fn();
        } catch (...) {
            done();
            throw;
        }
        done();
        runDue();
    }
    now_ = std::max(now_, target);
}

void SimClock::pumpEvents(Millis maxWait) { advance(maxWait); }

// ---------------------------------------------------------------- socket

void SimSocket::connect(const std::string& host, std::uint16_t port) {
    ++connectCalls;
    if (state_ != SocketState::Closed) return;
    lastHost = host;
    lastPort = port;
    state_ = SocketState::Connecting;
}

bool SimSocket::send(std::span<const std::uint8_t> bytes) {
    if (state_ != SocketState::Connected) return false;
    sent_.insert(sent_.end(), bytes.begin(), bytes.end());
    return true;
}

void SimSocket::close() {
    ++closeCalls;
    state_ = SocketState::Closed;
}

void SimSocket::acceptConnection() {
    state_ = SocketState::Connected;
    if (events_) events_->onConnected();
}

void SimSocket::refuseConnection(int errorCode) {
    state_ = SocketState::Error;
    if (events_) events_->onClosed(errorCode);
}

void SimSocket::deliver(std::span<const std::uint8_t> bytes) {
    if (events_) events_->onData(bytes);
}

void SimSocket::peerClose() {
    state_ = SocketState::Closing;
    if (events_) events_->onClosed(0);
}

std::vector<std::vector<std::uint8_t>> SimSocket::sentMessages() const {
    std::vector<std::vector<std::uint8_t>> out;
    for (std::size_t i = 0; i + 272 <= sent_.size(); i += 272) {
        out.emplace_back(sent_.begin() + static_cast<long>(i), sent_.begin() + static_cast<long>(i + 272));
    }
    return out;
}

// ---------------------------------------------------------------- process

void SimProcess::messageBox(std::string_view text, std::string_view title) {
    boxes.push_back({std::string(text), std::string(title)});
}

void SimProcess::endProcess(int exitCode) {
    endedWith = exitCode;
    throw ProcessEnded{exitCode};
}

bool SimProcess::logged(std::string_view needle) const {
    return std::any_of(logLines.begin(), logLines.end(),
                       [&](const std::string& l) { return l.find(needle) != std::string::npos; });
}

// ---------------------------------------------------------------- codec

namespace {
// Converts one character at a time so that an unconvertible one becomes '?'.
std::string convert(const char* to, const char* from, std::string_view in, std::size_t maxCharBytes, bool* lossless) {
    // Plain ASCII is the same bytes in both encodings, and most of what the
    // tests convert (keys, numbers, section names) is ASCII.
    if (std::all_of(in.begin(), in.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; })) {
        return std::string(in);
    }
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert the text");
    std::string out;
    out.reserve(in.size() * 2);
    std::size_t i = 0;
    while (i < in.size()) {
        bool done = false;
        for (std::size_t len = 1; len <= maxCharBytes && i + len <= in.size(); ++len) {
            char buf[16];
            char* src = const_cast<char*>(in.data() + i);
            std::size_t srcLeft = len;
            char* dst = buf;
            std::size_t dstLeft = sizeof buf;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1) && srcLeft == 0) {
                out.append(buf, sizeof buf - dstLeft);
                i += len;
                done = true;
                break;
            }
            if (errno != EINVAL) break;  // invalid or unconvertible: not a longer prefix
        }
        if (!done) {
            out += '?';
            if (lossless) *lossless = false;
            // Skip the whole bad character: a UTF-8 lead byte tells its length.
            const auto c = static_cast<unsigned char>(in[i]);
            std::size_t skip = 1;
            if (maxCharBytes == 4) skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            i += std::min(skip, in.size() - i);
        }
    }
    iconv_close(cd);
    return out;
}
}  // namespace

std::string IconvCodec::toGbk(std::string_view utf8, bool* lossless) const {
    if (lossless) *lossless = true;
    return convert("GBK", "UTF-8", utf8, 4, lossless);
}

std::string IconvCodec::fromGbk(std::string_view gbk) const { return convert("UTF-8", "GBK", gbk, 2, nullptr); }

// ---------------------------------------------------------------- files

std::optional<std::string> SimFiles::readAll(const std::string& path) const {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
}

bool SimFiles::writeAll(const std::string& path, std::string_view bytes) {
    files[path] = std::string(bytes);
    return true;
}

bool SimFiles::createNew(const std::string& path, std::string_view bytes) {
    return files.emplace(path, std::string(bytes)).second;
}

// ---------------------------------------------------------------- INI

namespace {
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x < 0x80 && y < 0x80 ? std::tolower(x) != std::tolower(y) : x != y) return false;
    }
    return true;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t nl = text.find('\n', at);
        std::string_view line = text.substr(at, nl == std::string_view::npos ? std::string_view::npos : nl - at);
        at = nl == std::string_view::npos ? text.size() : nl + 1;
        if (nl != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& l : lines) size += l.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& l : lines) out.append(l).append("\r\n");
    return out;
}

std::string_view trimView(std::string_view s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool sectionHeader(std::string_view line, std::string_view* name) {
    const std::string_view t = trimView(line);
    if (t.size() < 2 || t.front() != '[') return false;
    const auto close = t.find(']');
    if (close == std::string_view::npos) return false;
    *name = trimView(t.substr(1, close - 1));
    return true;
}

std::string trim(std::string_view s) { return std::string(trimView(s)); }

bool isSection(const std::string& line, std::string* name) {
    std::string_view n;
    if (!sectionHeader(line, &n)) return false;
    if (name) *name = std::string(n);
    return true;
}

// Index range [first, end) of the section's body, or nullopt.
std::optional<std::pair<std::size_t, std::size_t>> findSection(const std::vector<std::string>& lines,
                                                               std::string_view section, std::size_t* header) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (isSection(lines[i], &name) && sameName(name, section)) {
            std::size_t end = i + 1;
            while (end < lines.size() && !isSection(lines[end], nullptr)) ++end;
            if (header) *header = i;
            return std::make_pair(i + 1, end);
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> findKey(const std::vector<std::string>& lines, std::size_t first, std::size_t end,
                                   std::string_view key) {
    for (std::size_t i = first; i < end; ++i) {
        const auto eq = lines[i].find('=');
        if (eq == std::string::npos) continue;
        if (sameName(trim(std::string_view(lines[i]).substr(0, eq)), key)) return i;
    }
    return std::nullopt;
}
}  // namespace

std::string SimIni::get(const std::string& path, std::string_view section, std::string_view key) const {
    ++fileReads;
    // Reads are by far the most frequent call (a board reads hundreds of
    // keys), so they scan the text in place instead of splitting it.
    const auto file = files_.files.find(path);
    if (file == files_.files.end()) return {};
    const std::string_view text = file->second;
    const std::string wantedSection = codec_.toGbk(section);
    const std::string wantedKey = codec_.toGbk(key);
    bool inSection = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t nl = text.find('\n', at);
        std::string_view line = text.substr(at, nl == std::string_view::npos ? std::string_view::npos : nl - at);
        at = nl == std::string_view::npos ? text.size() : nl + 1;
        if (nl != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (std::string_view name; sectionHeader(line, &name)) {
            // Only the first section of that name counts.
            if (inSection) return {};
            inSection = sameName(name, wantedSection);
            continue;
        }
        if (!inSection) continue;
        const auto eq = line.find('=');
        if (eq == std::string_view::npos || !sameName(trimView(line.substr(0, eq)), wantedKey)) continue;
        std::string v(trimView(line.substr(eq + 1)));
        // Quotes around a whole value are dropped, as the profile functions do.
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
            v = v.substr(1, v.size() - 2);
        }
        if (v.size() > 1023) v.resize(1023);
        return codec_.fromGbk(v);
    }
    return {};
}

void SimIni::write(const std::string& path, std::string_view section, std::string_view key, std::string_view value) {
    ++fileWrites;
    auto lines = splitLines(files_.readAll(path).value_or(""));
    const std::string s = codec_.toGbk(section);
    const std::string k = codec_.toGbk(key);
    const std::string line = k + "=" + codec_.toGbk(value);
    auto range = findSection(lines, s, nullptr);
    if (!range) {
        lines.push_back("[" + s + "]");
        lines.push_back(line);
    } else if (auto at = findKey(lines, range->first, range->second, k)) {
        lines[*at] = line;
    } else {
        lines.insert(lines.begin() + static_cast<long>(range->second), line);
    }
    files_.writeAll(path, joinLines(lines));
}

void SimIni::deleteKey(const std::string& path, std::string_view section, std::string_view key) {
    auto text = files_.readAll(path);
    if (!text) return;
    auto lines = splitLines(*text);
    auto range = findSection(lines, codec_.toGbk(section), nullptr);
    if (!range) return;
    if (auto at = findKey(lines, range->first, range->second, codec_.toGbk(key))) {
        lines.erase(lines.begin() + static_cast<long>(*at));
        files_.writeAll(path, joinLines(lines));
    }
}

void SimIni::deleteSection(const std::string& path, std::string_view section) {
    auto text = files_.readAll(path);
    if (!text) return;
    auto lines = splitLines(*text);
    std::size_t header = 0;
    auto range = findSection(lines, codec_.toGbk(section), &header);
    if (!range) return;
    lines.erase(lines.begin() + static_cast<long>(header), lines.begin() + static_cast<long>(range->second));
    files_.writeAll(path, joinLines(lines));
}

IniStore::Entries SimIni::section(const std::string& path, std::string_view section) const {
    ++fileReads;
    Entries out;
    const auto text = files_.readAll(path);
    if (!text) return out;
    const auto lines = splitLines(*text);
    const auto range = findSection(lines, codec_.toGbk(section), nullptr);
    if (!range) return out;
    for (std::size_t i = range->first; i < range->second; ++i) {
        const std::string_view line = lines[i];
        if (trimView(line).empty() || trimView(line).front() == ';') continue;
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        out.emplace_back(codec_.fromGbk(trimView(line.substr(0, eq))), codec_.fromGbk(trimView(line.substr(eq + 1))));
    }
    return out;
}

void SimIni::writeSection(const std::string& path, std::string_view section, const Entries& entries) {
    ++fileWrites;
    auto lines = splitLines(files_.readAll(path).value_or(""));
    const std::string s = codec_.toGbk(section);
    std::vector<std::string> body;
    for (const auto& [key, value] : entries) body.push_back(codec_.toGbk(key) + "=" + codec_.toGbk(value));
    auto range = findSection(lines, s, nullptr);
    if (!range) {
        lines.push_back("[" + s + "]");
        lines.insert(lines.end(), body.begin(), body.end());
    } else {
        lines.erase(lines.begin() + static_cast<long>(range->first), lines.begin() + static_cast<long>(range->second));
        lines.insert(lines.begin() + static_cast<long>(range->first), body.begin(), body.end());
    }
    files_.writeAll(path, joinLines(lines));
}

// ---------------------------------------------------------------- hall

WindowHandle SimHall::findWindow(std::string_view title) const {
    if (title.empty()) return 0;
    auto it = windows.find(std::string(title));
    return it == windows.end() ? 0 : it->second;
}

bool SimHall::post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    for (const auto& [title, h] : windows) {
        if (h == window) {
            posted.push_back({window, message, wParam, lParam});
            return true;
        }
    }
    return false;
}

int SimHall::count(std::uint32_t message) const {
    return static_cast<int>(
        std::count_if(posted.begin(), posted.end(), [&](const Posted& p) { return p.message == message; }));
}

// ---------------------------------------------------------------- components

namespace {
class NullBrowser : public Browser {
public:
    void navigate(const std::string&) override {}
};
}  // namespace

std::unique_ptr<Browser> NullComponents::createBrowser() { return std::make_unique<NullBrowser>(); }
std::unique_ptr<VideoSocket> NullComponents::createVideoSocket() {
    auto made = std::make_unique<SimVideoSocket>(clock_, videoCalls);
    videoSocket = made.get();
    return made;
}
std::unique_ptr<Camera> NullComponents::createCamera() {
    auto made = std::make_unique<SimCamera>(clock_, cameraCalls);
    made->startResult = cameraStartResult;
    camera = made.get();
    return made;
}

// ---------------------------------------------------------------- video socket

SimVideoSocket::Slot* SimVideoSocket::at(int slot) {
    if (slot < 1 || slot > static_cast<int>(slots_.size())) return nullptr;
    return &slots_[static_cast<std::size_t>(slot - 1)];
}
const SimVideoSocket::Slot* SimVideoSocket::at(int slot) const {
    if (slot < 1 || slot > static_cast<int>(slots_.size())) return nullptr;
    return &slots_[static_cast<std::size_t>(slot - 1)];
}

void SimVideoSocket::configure(const std::string& addr, int port, int users) {
    userCount_ = users;
    calls_.push_back("configure " + addr + " " + std::to_string(port) + " " + std::to_string(users));
}

void SimVideoSocket::login(const std::string& name) { calls_.push_back("login " + name); }

void SimVideoSocket::logout() {
    for (Slot& s : slots_) s = Slot{};
    calls_.push_back("logout");
}

void SimVideoSocket::connectUser(int slot, const std::string& name) {
    calls_.push_back("connect " + std::to_string(slot) + " " + name);
    if (Slot* s = at(slot)) *s = Slot{name, 1};
}

void SimVideoSocket::disconnectUser(int slot) {
    calls_.push_back("disconnect " + std::to_string(slot));
    if (Slot* s = at(slot)) *s = Slot{};
}

std::string SimVideoSocket::userId(int slot) const {
    const Slot* s = at(slot);
    return s ? s->name : std::string{};
}

int SimVideoSocket::userState(int slot) const {
    const Slot* s = at(slot);
    return s ? s->state : 0;
}

void SimVideoSocket::sendVideoFormat(int slot, int format) {
    calls_.push_back("format " + std::to_string(slot) + " " + std::to_string(format));
}

void SimVideoSocket::sendVideoMode(int slot, int mode) {
    calls_.push_back("mode " + std::to_string(slot) + " " + std::to_string(mode));
}

void SimVideoSocket::sendVideoData(int slot, const std::vector<std::uint8_t>& frame) {
    sentFrames[slot].push_back(frame);
}

void SimVideoSocket::setSlot(int slot, std::string name, int state) {
    if (Slot* s = at(slot)) *s = Slot{std::move(name), state};
}

void SimVideoSocket::peerState(int slot, int state) {
    if (Slot* s = at(slot)) s->state = state;
    clock_.post([this, slot, state] {
        if (events_) events_->onUserStateChange(slot, state);
    });
}

void SimVideoSocket::peerFrame(int slot, std::vector<std::uint8_t> frame) {
    clock_.post([this, slot, f = std::move(frame)]() mutable {
        if (events_) events_->onDataArrival(slot, std::move(f));
    });
}

void SimVideoSocket::loggedIn() {
    clock_.post([this] {
        if (events_) events_->onMineStateChange(2);
    });
}

void SimVideoSocket::linkLost() {
    for (Slot& s : slots_) {
        if (!s.name.empty()) s.state = UserStateFree;
    }
    clock_.post([this] {
        if (events_) events_->onMineStateChange(0);
    });
}

// ---------------------------------------------------------------- camera

int SimCamera::startCapture() {
    calls_.push_back("startCapture");
    capturing = startResult == 0;
    return startResult;
}

void SimCamera::stopCapture() {
    calls_.push_back("stopCapture");
    capturing = false;
}

void SimCamera::capture(std::vector<std::uint8_t> frame) {
    clock_.post([this, f = std::move(frame)]() mutable {
        if (events_) events_->onFrameCaptured(std::move(f));
    });
}

}  // namespace mj::platform::sim
