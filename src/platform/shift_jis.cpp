#include "platform/shift_jis.h"

#include <iconv.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace qel {
namespace {

std::optional<std::string> convert(const std::string& in, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::vector<char> out(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) return std::nullopt;
    return std::string(out.data(), out.size() - dstLeft);
}

}  // namespace

std::optional<std::string> shiftJisToUtf8(const std::string& bytes) { return convert(bytes, "UTF-8", "CP932"); }

std::optional<std::string> utf8ToShiftJis(const std::string& text) { return convert(text, "CP932", "UTF-8"); }

std::optional<std::string> readShiftJisFile(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::ifstream f(path, std::ios::binary);
    if (!f) return std::nullopt;
    std::ostringstream ss;
    ss << f.rdbuf();
    if (f.bad()) return std::nullopt;
    return shiftJisToUtf8(ss.str());
}

}  // namespace qel
