// gbk.cpp: the conversions through glibc's iconv.
#include "gbk.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace scripted {
namespace {

std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string input(in);
    std::vector<char> out(in.size() * 4 + 4);
    char* inp = input.data();
    std::size_t inLeft = input.size();
    char* outp = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    // Any irreversible or invalid sequence makes the whole text unusable: a
    // scenario must say exactly which bytes it means.
    if (rc != 0 || inLeft != 0) return std::nullopt;
    return std::string(out.data(), out.size() - outLeft);
}

}  // namespace

std::optional<std::string> utf8ToGbk(std::string_view utf8) { return convert("GBK", "UTF-8", utf8); }

std::optional<std::string> gbkToUtf8(std::string_view gbk) { return convert("UTF-8", "GBK", gbk); }

}  // namespace scripted
