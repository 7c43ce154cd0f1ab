// hand_history_bench: what saving one settlement board to the hand-history
// file and loading it back costs as the session grows, through the real
// profile functions. For each hand number n asked for (default 1, 50, 100,
// 200, 400) the file is first given the boards of hands 1..n-1 (about 3 KB
// each, as a won hand's board) in the bytes the profile functions write them
// in, then hand n's board is saved and loaded back.
//
// The profile functions read the whole file again on every call while it was
// written less than about two seconds before, and keep it otherwise. At a
// settlement the last write (the previous hand's) is minutes old, and a board
// is reopened seconds after it was saved at the earliest: so the save is timed
// 2.5 s after the file was last written and read once, and the load 2.5 s
// after the save ("load ms"). "load at once" is a load right after the save.
// Times are medians of `rounds` saves and of five loads each, in wall time;
// the last column says whether the file then holds exactly the bytes
// key-by-key writes give. Run by hand (built with -DMJ_BENCH=ON):
//   . scripts/wine-env.sh build/win
//   LC_ALL=zh_CN.UTF-8 wine build/win/hand_history_bench.exe [rounds [n...]]; mj_wine_stop
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "results/hand_history.h"

namespace {

double wallMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perMs;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A won hand's board: four detail lists of 24 lines, four final lines.
mj::results::BoardSnapshot wonBoard(int hand) {
    mj::results::BoardSnapshot b;
    b.names = {"张三丰", "李四", "wangwu_88", "赵六六"};
    b.picIndex = {"3", "7", "11", "19"};
    const std::vector<std::string> detail{"   初始：" + std::to_string(12000 + hand),
                                          " -------------------  ",
                                          "   房间底金： 10",
                                          "",
                                          "   清一色： ×2",
                                          "   杠上开花： ×2",
                                          "   连赖  ×4",
                                          " ",
                                          " ",
                                          " ",
                                          " -------------------  ",
                                          "总计：120金币",
                                          "封顶",
                                          "",
                                          " ",
                                          " ",
                                          " ",
                                          " -------------------  ",
                                          "总分: 120金币",
                                          "",
                                          "金币封顶",
                                          "本局第" + std::to_string(hand) + "局",
                                          "最终分：120金币",
                                          ""};
    for (int j = 0; j < 4; ++j) {
        b.lists[static_cast<std::size_t>(j)] = detail;
        b.lists[static_cast<std::size_t>(j + 4)] = {"最终分：" + std::to_string(40 * j - 60) + "金币"};
    }
    b.listColors = {0, 255, 65280, 16711680};
    return b;
}

std::string trimmed(const std::string& v) {
    const auto b = v.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return v.substr(b, v.find_last_not_of(' ') - b + 1);
}

// Hands first..last as the profile functions lay them out on disk: a header
// line, then key=value lines with the blanks around the value dropped.
std::string fileBytes(const mj::platform::TextCodec& codec, int first, int last) {
    std::string out;
    auto line = [&out, &codec](const std::string& key, const std::string& value) {
        out += codec.toGbk(key + "=" + trimmed(value)) + "\r\n";
    };
    for (int n = first; n <= last; ++n) {
        const auto b = wonBoard(n);
        out += '[';
        out += mj::results::handSection(n);
        out += "]\r\n";
        for (int i = 0; i < 4; ++i) {
            line("name( " + std::to_string(i) + " )", b.names[static_cast<std::size_t>(i)]);
            line("PicIndex( " + std::to_string(i) + " )", b.picIndex[static_cast<std::size_t>(i)]);
        }
        for (int j = 0; j < 8; ++j) {
            const auto& list = b.lists[static_cast<std::size_t>(j)];
            const std::string count = "count( " + std::to_string(j) + " )";
            line(count, std::to_string(list.size()));
            for (std::size_t k = 0; k < list.size(); ++k) line(count + "( " + std::to_string(k) + " )", list[k]);
        }
        for (int j = 0; j < 4; ++j) {
            line("count( " + std::to_string(j) + " ) ForeColor",
                 std::to_string(b.listColors[static_cast<std::size_t>(j)]));
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::vector<int> hands;
    for (int a = 2; a < argc; ++a) hands.push_back(std::max(1, std::atoi(argv[a])));
    if (hands.empty()) hands = {1, 50, 100, 200, 400};
    mj::platform::win32::Win32Codec codec;
    mj::platform::win32::Win32Ini ini(codec);
    mj::platform::win32::Win32Files files;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "mj_hand_history_bench.qv";

    std::printf("%6s %10s %10s %10s %14s %s\n", "hand", "file KB", "save ms", "load ms", "load at once",
                "bytes as key by key");
    constexpr DWORD Settled = 2500;
    for (int n : hands) {
        const std::string before = fileBytes(codec, 1, n - 1);
        const std::string after = before + fileBytes(codec, n, n);
        const auto board = wonBoard(n);
        std::vector<double> saves, loads, atOnce;
        bool same = true;
        auto load = [&](std::vector<double>& into) {
            mj::results::BoardSnapshot back;
            const double t1 = wallMs();
            mj::results::loadHandHistory(ini, path, n, back);
            into.push_back(wallMs() - t1);
            if (back.lists[0].size() != board.lists[0].size() || back.names != board.names) {
                std::printf("hand %d: the board read back differs\n", n);
            }
        };
        for (int r = 0; r < rounds; ++r) {
            files.remove(path);
            if (!before.empty()) files.writeAll(path, before);
            (void)ini.get(path, "juNum:1", "name( 0 )");
            Sleep(Settled);
            const double t0 = wallMs();
            mj::results::saveHandHistory(ini, path, n, board);
            saves.push_back(wallMs() - t0);
            same = same && files.readAll(path).value_or("") == after;
            load(atOnce);
            Sleep(Settled);
            for (int k = 0; k < 5; ++k) load(loads);
        }
        std::printf("%6d %10.1f %10.1f %10.1f %14.1f %s\n", n, static_cast<double>(after.size()) / 1024, median(saves),
                    median(loads), median(atOnce), same ? "yes" : "NO");
        std::fflush(stdout);
    }
    files.remove(path);
    return 0;
}
