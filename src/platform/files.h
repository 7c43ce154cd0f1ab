// files.h: INI profile files and plain files in the program's folders.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mj::platform {

// The profile functions. Paths are full paths; texts are UTF-8 and are stored
// in the file as GBK. Failures are silent, as the profile functions are.
class IniStore {
public:
    virtual ~IniStore() = default;
    // The value, at most 1023 GBK bytes, or the empty text when the file,
    // section or key is missing. Surrounding blanks are stripped.
    [[nodiscard]] virtual std::string get(const std::string& path, std::string_view section,
                                          std::string_view key) const = 0;
    virtual void write(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value) = 0;
    virtual void deleteKey(const std::string& path, std::string_view section, std::string_view key) = 0;
    virtual void deleteSection(const std::string& path, std::string_view section) = 0;

    // A section's keys and values in the file's order, as the file holds them:
    // blanks around them stripped, quotes and length left as they are (`get`
    // drops one pair of quotes and keeps 1023 bytes). A line without "=" is
    // no key and is left out, as `get` passes it over, so a stray line cannot
    // hide the key of that name further down. Empty when the file or section
    // is missing.
    using Entries = std::vector<std::pair<std::string, std::string>>;
    [[nodiscard]] virtual Entries section(const std::string& path, std::string_view section) const = 0;
    // Replaces the section's keys with these, in this order, in one write of
    // the file; a missing section is added at the end. Keys and values hold no
    // line breaks or NULs, keys no "=".
    virtual void writeSection(const std::string& path, std::string_view section, const Entries& entries) = 0;
};

class Files {
public:
    virtual ~Files() = default;
    [[nodiscard]] virtual bool exists(const std::string& path) const = 0;
    [[nodiscard]] virtual std::optional<std::string> readAll(const std::string& path) const = 0;
    virtual bool writeAll(const std::string& path, std::string_view bytes) = 0;
    virtual bool remove(const std::string& path) = 0;
    // Makes the folder when it is missing; true when it exists afterwards.
    virtual bool makeFolder(const std::string& path) = 0;
    // Writes a new file; false, touching nothing, when the name is taken or
    // the file cannot be made.
    virtual bool createNew(const std::string& path, std::string_view bytes) = 0;
};

// Joins a folder and a relative name with the Windows separator.
[[nodiscard]] std::string joinPath(std::string_view folder, std::string_view name);

}  // namespace mj::platform
