// ini_file.cpp: the INI object over the profile store.
#include "link/ini_file.h"

namespace mj::link {

void IniFile::writeIniKey(std::string_view section, std::string_view key, std::string_view value) {
    store_->write(path_, section, key, value);
}

std::string IniFile::getIniKey(std::string_view section, std::string_view key) const {
    std::string v = store_->get(path_, section, key);
    // The profile call hands back a terminated buffer; trim blanks, then drop
    // any NUL that came with it.
    const auto b = v.find_first_not_of(' ');
    const auto e = v.find_last_not_of(' ');
    v = (b == std::string::npos) ? std::string() : v.substr(b, e - b + 1);
    std::erase(v, '\0');
    return v;
}

void IniFile::delIniKey(std::string_view section, std::string_view key) { store_->deleteKey(path_, section, key); }

void IniFile::delIniSec(std::string_view section) { store_->deleteSection(path_, section); }

}  // namespace mj::link
