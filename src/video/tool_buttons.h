// tool_buttons.h: the four tool buttons under each seat's picture (album,
// panel, photo, video off) with their hover pictures and tooltips.
#pragma once
#include <optional>
#include <string>

namespace mj::link {
class Client;
}

namespace mj::video {

inline constexpr const char* PhotoSavedText = "照相成功,照片保存在本机相册中。";
inline constexpr const char* PhotoFolder = "photo";

// Picture ids of button i (0..15): normal and hover.
[[nodiscard]] int toolPicture(int index, bool hover);

void imCmdClick(link::Client& c, int index);
void imCmdMouseMove(link::Client& c, int index);
void picLocalMouseMove(link::Client& c);

// Saves the view's last frame as a new file in the photo folder; the path,
// or nothing when there is no frame or no file could be made.
std::optional<std::string> takePhoto(link::Client& c, int view);

}  // namespace mj::video
