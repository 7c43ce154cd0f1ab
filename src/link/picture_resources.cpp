// picture_resources.cpp: picture-id tables and the resource picture loader.
#include "link/picture_resources.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace mj::link {
namespace {

template <std::size_t N>
void fillFrom(std::array<std::string, N>& table, int first) {
    for (std::size_t i = 0; i < N; ++i) table[i] = std::to_string(first + static_cast<int>(i));
}

std::string typeKey(std::string_view type) {
    std::string key(type);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return key;
}

}  // namespace

void initPictureIdTables(PictureTables& t, double scaleX) {
    const bool fullSize = scaleX == 1.0;
    for (int i = 0; i < 20; ++i) {
        // The send button has no small picture; every other toolbar picture does.
        const int id = (fullSize || i < 2) ? 101 + i : 379 + i;
        t.anNiuPic[static_cast<std::size_t>(i)] = std::to_string(id);
    }
    fillFrom(t.tilePic, 201);
    fillFrom(t.operationPic, 141);
    fillFrom(t.dicePic, 161);
    fillFrom(t.captionPic, 182);
    for (int i = 0; i < 20; ++i) t.facePic[static_cast<std::size_t>(i)] = std::to_string(i < 10 ? 191 + i : 391 + i);
    fillFrom(t.dialogPic, 130);
    fillFrom(t.compassPic, 126);
    fillFrom(t.panelPic, 870);
    fillFrom(t.imCmdPic, 850);
    fillFrom(t.seziPic, 600);
}

platform::DecodedPicture PictureLoader::load(int id, std::string_view type) {
    const auto key = std::make_pair(typeKey(type), id);
    if (const auto it = cache_.find(key); it != cache_.end()) return it->second;
    platform::DecodedPicture result;
    if (const auto bytes = resources_.bytes(id, type)) {
        result = decoder_.decode(*bytes);
        if (result.picture) result.picture->resourceId = id;
    } else {
        result.error = platform::PictureError::Empty;
    }
    cache_.emplace(key, result);
    return result;
}

bool loadPictureFromResource(PictureLoader& loader, int id, std::string_view type, ui::Control& target) {
    const platform::DecodedPicture result = loader.load(id, type);
    if (!result) return false;
    target.setPicture(result.picture);
    return true;
}

bool loadPictureFromResource(PictureLoader& loader, std::string_view id, std::string_view type, ui::Control& target) {
    int number = 0;
    const auto [end, ec] = std::from_chars(id.data(), id.data() + id.size(), number);
    if (ec != std::errc{} || end != id.data() + id.size() || number <= 0 || number > 0xFFFF) return false;
    return loadPictureFromResource(loader, number, type, target);
}

}  // namespace mj::link
