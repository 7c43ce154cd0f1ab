// hand_history.cpp: writing and reading the hand-history sections.
#include "results/hand_history.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace mj::results {

namespace {

constexpr std::uint32_t NameRed = 255;
// More items than any board holds; a larger count is a damaged file.
constexpr long long MaxListItems = 1000;

std::string nameKey(int i) { return "name( " + std::to_string(i) + " )"; }
std::string picKey(int i) { return "PicIndex( " + std::to_string(i) + " )"; }
std::string countKey(int j) { return "count( " + std::to_string(j) + " )"; }
std::string lineKey(int j, int k) { return countKey(j) + "( " + std::to_string(k) + " )"; }
std::string colorKey(int j) { return countKey(j) + " ForeColor"; }

std::string oneLine(std::string_view text) {
    std::string out(text);
    std::replace_if(
        out.begin(), out.end(), [](char ch) { return ch == '\r' || ch == '\n' || ch == '\0'; }, ' ');
    return out;
}

// The whole-number part of a stored number ("25", "25.0"), or nothing.
std::optional<long long> wholeNumber(const std::string& text) {
    long long v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc()) return std::nullopt;
    if (r.ptr != text.data() + text.size() && *r.ptr != '.') return std::nullopt;
    return v;
}

}  // namespace

std::string handSection(int n) { return "juNum:" + std::to_string(n); }

void saveHandHistory(platform::IniStore& ini, const std::string& path, int n, const BoardSnapshot& board) {
    const std::string section = handSection(n);
    for (int i = 0; i < 4; ++i) {
        ini.write(path, section, nameKey(i), oneLine(board.names[static_cast<std::size_t>(i)]));
        ini.write(path, section, picKey(i), oneLine(board.picIndex[static_cast<std::size_t>(i)]));
    }
    for (int j = 0; j < 8; ++j) {
        const auto& list = board.lists[static_cast<std::size_t>(j)];
        ini.write(path, section, countKey(j), std::to_string(list.size()));
        for (std::size_t k = 0; k < list.size(); ++k) {
            ini.write(path, section, lineKey(j, static_cast<int>(k)), oneLine(list[k]));
        }
    }
    for (int j = 0; j < 4; ++j) {
        ini.write(path, section, colorKey(j), std::to_string(board.listColors[static_cast<std::size_t>(j)]));
    }
}

void loadHandHistory(const platform::IniStore& ini, const std::string& path, int n, BoardSnapshot& board) {
    if (n == 0) return;
    const std::string section = handSection(n);
    for (int i = 0; i < 4; ++i) {
        const auto at = static_cast<std::size_t>(i);
        board.names[at] = ini.get(path, section, nameKey(i));
        const std::string pic = ini.get(path, section, picKey(i));
        if (pic.empty()) continue;
        const long long face = wholeNumber(pic).value_or(0);
        board.picIndex[at] = std::to_string(std::clamp<long long>(face, 0, FaceCount - 1));
    }
    board.listColors.fill(0);
    board.nameColors.fill(NameRed);
    for (int j = 0; j < 8; ++j) {
        const std::string count = ini.get(path, section, countKey(j));
        if (count.empty()) return;
        const auto c = wholeNumber(count);
        if (!c || *c < 0 || *c > MaxListItems) continue;
        auto& list = board.lists[static_cast<std::size_t>(j)];
        list.assign(static_cast<std::size_t>(*c), " ");
        for (int k = 0; k < *c; ++k) {
            std::string item = ini.get(path, section, lineKey(j, k));
            list[static_cast<std::size_t>(k)] = item.empty() ? " " : std::move(item);
        }
    }
    for (int j = 0; j < 4; ++j) {
        const auto color = wholeNumber(ini.get(path, section, colorKey(j)));
        if (color && *color >= 0 && *color <= 0xFFFFFFFFLL) {
            board.listColors[static_cast<std::size_t>(j)] = static_cast<std::uint32_t>(*color);
        }
    }
}

}  // namespace mj::results
