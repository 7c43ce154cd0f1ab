// fuzz_client.h: the client the fuzz targets drive, on the in-memory
// platform with the table's pictures in place, brought to one of the
// starting tables an input chooses. Ending the process in order (a refused
// login, a leave) is an outcome; the fatal trap is a find.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "link/client.h"
#include "platform/sim/sim_platform.h"
#include "shared/fuzz/prepared.h"
#include "table/table_check.h"

namespace mj::fuzz {

enum class Start { LoggedIn = 0, Seated = 1, InHand = 2, Watching = 3 };

// A 1 x 1 GIF under every resource number the table uses, held once for
// every client the process builds: filling a resource table per input cost
// more than the input itself.
class TablePictures : public platform::Resources {
public:
    [[nodiscard]] std::optional<std::string> bytes(int id, std::string_view type) const override {
        const bool gif =
            type.size() == 3 && (type[0] | 0x20) == 'g' && (type[1] | 0x20) == 'i' && (type[2] | 0x20) == 'f';
        if (!gif || id < 101 || id > 1030) return std::nullopt;
        return gif1x1();
    }
    static const std::string& gif1x1() {
        static const std::string gif = [] {
            const unsigned char b[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
                                       0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00,
                                       0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
            return std::string(reinterpret_cast<const char*>(b), sizeof b);
        }();
        return gif;
    }
};

// Decodes the table's one picture once per process; every client still gets
// a picture of its own, so nothing an input does to one reaches the next.
class TablePictureDecoder : public platform::PictureDecoder {
public:
    [[nodiscard]] platform::DecodedPicture decode(std::string_view bytes) const override {
        static const platform::DecodedPicture table =
            platform::sim::SimPictureDecoder{}.decode(TablePictures::gif1x1());
        const platform::DecodedPicture d = bytes == TablePictures::gif1x1() ? table : sim_.decode(bytes);
        if (!d.picture) return d;
        return {std::make_shared<ui::Picture>(*d.picture), d.error};
    }

private:
    platform::sim::SimPictureDecoder sim_;
};

inline WireMessage message(std::uint8_t cmd, std::uint8_t seat = 0) {
    WireMessage m{};
    m[wire::Cmd] = cmd;
    m[wire::Seat] = seat;
    return m;
}

inline void setValue(WireMessage& m, int k, int v) {
    m[8 + 2 * static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> 8);
    m[9 + 2 * static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v & 0xFF);
}

class FuzzClient {
public:
    static constexpr SeatBit OwnSeat = 1;
    static constexpr double WatchedId = 12345;

    explicit FuzzClient(Start start) {
        sim.hall.windows["曲维山庄"] = 0x1234;
        sim.process.commandLineText =
            start == Start::Watching ? "p9$pw$127.0.0.1$9000$Room$12345" : "zhang$pw$127.0.0.1$9000$";
        client.emplace(services);
        client->formLoad();
        sim.socket.acceptConnection();
        run(200);
        if (start == Start::LoggedIn) {
            client->table.custom[0].seat = OwnSeat;
            return;
        }
        WireMessage ok = message(18);
        ok[11] = 8;
        ok[15] = 1;
        deliver(ok);
        if (start == Start::Watching) {
            WireMessage header = message(41, 8);
            for (int k = 0; k < 4; ++k) setValue(header, k, std::array{7, 5, 0x11, 0x15}[static_cast<std::size_t>(k)]);
            deliver(header);
            for (std::uint8_t seat : {1, 2, 4, 8}) {
                WireMessage profile = message(20, seat);
                const std::string login = "p" + std::to_string(seat);
                std::copy(login.begin(), login.end(), profile.begin() + 16);
                const std::uint64_t id = seat == 1 ? 12345 : 100 + seat;
                for (std::size_t b = 0; b < 8; ++b) profile[226 + b] = static_cast<std::uint8_t>(id >> (8 * b));
                deliver(profile);
            }
            return;
        }
        const char* names[4] = {"zhang", "wang", "li", "zhao"};
        for (std::uint8_t i = 0; i < 4; ++i) {
            WireMessage name = message(3, static_cast<std::uint8_t>(1u << i));
            const std::string_view n = names[i];
            std::copy(n.begin(), n.end(), name.begin() + 16);
            deliver(name);
        }
        if (start == Start::Seated) return;
        WireMessage hand = message(4, OwnSeat);
        for (int k = 0; k < 4; ++k) setValue(hand, k, 3 + k);
        deliver(hand, 5000);
        for (int round = 0; round < 3; ++round) {
            WireMessage deal = message(1);
            setValue(deal, 1, 4);
            for (std::size_t i = 0; i < 4; ++i) {
                const int code = 0x81 + (round * 4 + static_cast<int>(i)) % 9;
                deal[16 + 2 * i] = static_cast<std::uint8_t>(code & 15);
                deal[17 + 2 * i] = static_cast<std::uint8_t>(code >> 4);
            }
            deliver(deal);
        }
    }

    void run(int ms) { sim.clock.advance(platform::Millis(ms)); }
    void deliver(const WireMessage& m, int ms = 100) {
        sim.socket.deliver(m);
        run(ms);
    }

    // Aborts with the log when the fatal trap was reached or a table rule broke.
    void check() const {
        const auto problems = table::tableProblems(client->table);
        // Only a line the trap wrote: text from the server is logged after a
        // prefix of its own and may say anything.
        const bool fatal = std::any_of(sim.process.logLines.begin(), sim.process.logLines.end(),
                                       [](const std::string& l) { return l.rfind("fatal: ", 0) == 0; });
        if (fatal || !problems.empty()) {
            for (const auto& l : sim.process.logLines) std::fprintf(stderr, "%s\n", l.c_str());
            for (const auto& p : problems) std::fprintf(stderr, "table: %s\n", p.c_str());
            std::abort();
        }
    }

    // What the client did that the world outside it can tell: its log, what
    // it sent the server, what it posted to the hall, the files it wrote.
    [[nodiscard]] std::string outcome() const {
        std::string out;
        for (const auto& l : sim.process.logLines) out += "log: " + l + "\n";
        out += "sent:";
        for (std::uint8_t b : sim.socket.sent()) out += " " + std::to_string(b);
        out += "\nhall:";
        for (const auto& p : sim.hall.posted)
            out += " " + std::to_string(p.message) + "/" + std::to_string(p.wParam) + "/" + std::to_string(p.lParam);
        out += "\n";
        for (const auto& [path, bytes] : sim.files.files) out += "file " + path + ": " + bytes + "\n";
        return out;
    }

    platform::sim::SimPlatform sim;
    TablePictures pictures;
    TablePictureDecoder decoder;
    platform::Platform services{sim.clock, sim.socket, sim.process, sim.codec, sim.ini,       sim.files,
                                sim.hall,  sim.sound,  pictures,    decoder,   sim.components};
    std::optional<link::Client> client;
};

}  // namespace mj::fuzz
