// ini_file.h: one INI file behind a small object; no caching, every call goes
// to the file.
#pragma once
#include <string>
#include <string_view>

#include "platform/files.h"

namespace mj::link {

class IniFile {
public:
    explicit IniFile(platform::IniStore& store) : store_(&store) {}
    void writeIniKey(std::string_view section, std::string_view key, std::string_view value);
    // The value, or the empty text when the file, section or key is missing.
    [[nodiscard]] std::string getIniKey(std::string_view section, std::string_view key) const;
    [[nodiscard]] const std::string& iniFileName() const { return path_; }
    void setIniFileName(std::string path) { path_ = std::move(path); }
    void delIniKey(std::string_view section, std::string_view key);
    void delIniSec(std::string_view section);

private:
    platform::IniStore* store_;
    std::string path_;
};

}  // namespace mj::link
