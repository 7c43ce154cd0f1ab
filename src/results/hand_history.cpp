// hand_history.cpp: writing and reading the hand-history sections.
#include "results/hand_history.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <unordered_map>

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
    platform::IniStore::Entries entries;
    for (int i = 0; i < 4; ++i) {
        entries.emplace_back(nameKey(i), oneLine(board.names[static_cast<std::size_t>(i)]));
        entries.emplace_back(picKey(i), oneLine(board.picIndex[static_cast<std::size_t>(i)]));
    }
    for (int j = 0; j < 8; ++j) {
        const auto& list = board.lists[static_cast<std::size_t>(j)];
        entries.emplace_back(countKey(j), std::to_string(list.size()));
        for (std::size_t k = 0; k < list.size(); ++k) {
            entries.emplace_back(lineKey(j, static_cast<int>(k)), oneLine(list[k]));
        }
    }
    for (int j = 0; j < 4; ++j) {
        entries.emplace_back(colorKey(j), std::to_string(board.listColors[static_cast<std::size_t>(j)]));
    }
    // Each key written on its own rewrites the whole file, and the file grows
    // by a board every hand: a new section goes in with one write. A section
    // already there (a hand number saved twice) is written key by key, which
    // keeps its keys where they stand and the ones this board has no more.
    if (!ini.section(path, section).empty()) {
        for (const auto& [key, value] : entries) ini.write(path, section, key, value);
        return;
    }
    ini.writeSection(path, section, entries);
}

namespace {

// The keys of one section read at once, answering as `IniStore::get` would.
class SectionReader {
public:
    SectionReader(const platform::IniStore& ini, const std::string& path, std::string section)
        : ini_(ini), path_(path), section_(std::move(section)), entries_(ini.section(path, section_)) {
        index_.reserve(entries_.size());
        for (std::size_t i = 0; i < entries_.size(); ++i) index_.emplace(lowerAscii(entries_[i].first), i);
    }

    [[nodiscard]] std::string get(const std::string& key) const {
        const auto it = index_.find(lowerAscii(key));
        if (it == index_.end()) return {};
        std::string_view value = entries_[it->second].second;
        // One pair of quotes around the whole value is dropped.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        // A value that may be longer than a read gives is left to the reader,
        // which cuts it as it always has.
        if (value.size() > MaxReadBytes) return ini_.get(path_, section_, key);
        return std::string(value);
    }

private:
    // UTF-8 takes at least as many bytes as the file's encoding for any text.
    static constexpr std::size_t MaxReadBytes = 1023;
    static std::string lowerAscii(std::string_view text) {
        std::string out(text);
        for (char& ch : out) {
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        }
        return out;
    }

    const platform::IniStore& ini_;
    const std::string& path_;
    std::string section_;
    platform::IniStore::Entries entries_;
    // The first key of each name counts, as with the reader.
    std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace

void loadHandHistory(const platform::IniStore& ini, const std::string& path, int n, BoardSnapshot& board) {
    if (n == 0) return;
    const SectionReader file(ini, path, handSection(n));
    for (int i = 0; i < 4; ++i) {
        const auto at = static_cast<std::size_t>(i);
        board.names[at] = file.get(nameKey(i));
        const std::string pic = file.get(picKey(i));
        if (pic.empty()) continue;
        const long long face = wholeNumber(pic).value_or(0);
        board.picIndex[at] = std::to_string(std::clamp<long long>(face, 0, FaceCount - 1));
    }
    board.listColors.fill(0);
    board.nameColors.fill(NameRed);
    for (int j = 0; j < 8; ++j) {
        const std::string count = file.get(countKey(j));
        if (count.empty()) return;
        const auto c = wholeNumber(count);
        if (!c || *c < 0 || *c > MaxListItems) continue;
        auto& list = board.lists[static_cast<std::size_t>(j)];
        list.assign(static_cast<std::size_t>(*c), " ");
        for (int k = 0; k < *c; ++k) {
            std::string item = file.get(lineKey(j, k));
            list[static_cast<std::size_t>(k)] = item.empty() ? " " : std::move(item);
        }
    }
    for (int j = 0; j < 4; ++j) {
        const auto color = wholeNumber(file.get(colorKey(j)));
        if (color && *color >= 0 && *color <= 0xFFFFFFFFLL) {
            board.listColors[static_cast<std::size_t>(j)] = static_cast<std::uint32_t>(*color);
        }
    }
}

}  // namespace mj::results
