// ini_fuzz.cpp: the profile reader over the files the client reads back —
// the hand history, chat.ini and vidiosetting.ini — as arbitrary text, and
// the hand history's writer with arbitrary names from the server.
// Input: byte 0 picks the hand number; the rest up to the first 0x01 byte is
// the file as found on disk; what follows, cut at 0x02, are the names and
// lines of a board written into that file.
// Finds: a crash, a face index out of range, a list longer than a board, or a
// write that adds sections other than its own or changes another hand.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "link/ini_file.h"
#include "platform/sim/sim_platform.h"
#include "results/hand_history.h"

namespace {
using namespace mj;

int sectionCount(const std::string& text) {
    int n = 0;
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
        std::size_t s = at;
        while (s < text.size() && (text[s] == ' ' || text[s] == '\t')) ++s;
        if (s < text.size() && text[s] == '[') ++n;
        if (text.find('\n', at) == std::string::npos) break;
    }
    return n;
}

void checkBoard(const results::BoardSnapshot& b) {
    for (const auto& pic : b.picIndex) {
        if (pic.empty()) continue;
        const int face = std::atoi(pic.c_str());
        if (face < 0 || face >= results::FaceCount) std::abort();
    }
    for (const auto& list : b.lists) {
        if (list.size() > 1000) std::abort();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static platform::sim::IconvCodec codec;
    platform::sim::SimFiles files;
    platform::sim::SimIni ini(files, codec);
    const int n = 1 + data[0] % 4;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t cut = rest.find('\x01');
    const std::string text(rest.substr(0, cut));
    for (const char* path : {"info.qv", "chat.ini", "vidiosetting.ini"}) files.files[path] = text;

    results::BoardSnapshot shown;
    results::loadHandHistory(ini, "info.qv", n, shown);
    checkBoard(shown);

    link::IniFile chat(ini);
    chat.setIniFileName("chat.ini");
    for (const char* section : {"Phrase1", "Phrase2"}) {
        const std::string num = chat.getIniKey(section, "num");
        for (int i = 1; i <= std::min(std::atoi(num.c_str()), 8); ++i) (void)chat.getIniKey(section, std::to_string(i));
    }
    link::IniFile video(ini);
    video.setIniFileName("vidiosetting.ini");
    (void)video.getIniKey("vidiosetting", "vidiovalue");

    if (cut == std::string_view::npos) return 0;
    // Text from the server written as hand n: it stays inside section n.
    results::BoardSnapshot board;
    std::string_view names = rest.substr(cut + 1);
    for (int i = 0; !names.empty() && i < 12; ++i) {
        const std::size_t end = names.find('\x02');
        const std::string item(names.substr(0, end));
        if (i < 4)
            board.names[static_cast<std::size_t>(i)] = item;
        else
            board.lists[static_cast<std::size_t>(i - 4)].push_back(item);
        names = end == std::string_view::npos ? std::string_view{} : names.substr(end + 1);
    }
    const std::string other = results::handSection(n == 4 ? 1 : n + 1);
    const std::string before = ini.get("info.qv", other, "name( 0 )");
    const int sectionsBefore = sectionCount(files.files["info.qv"]);
    results::saveHandHistory(ini, "info.qv", n, board);
    const int sectionsAfter = sectionCount(files.files["info.qv"]);
    if (sectionsAfter > sectionsBefore + 1) std::abort();
    if (ini.get("info.qv", other, "name( 0 )") != before) std::abort();
    results::BoardSnapshot back;
    results::loadHandHistory(ini, "info.qv", n, back);
    checkBoard(back);
    for (std::size_t j = 0; j < 8; ++j) {
        if (back.lists[j].size() != board.lists[j].size()) std::abort();
    }
    return 0;
}
