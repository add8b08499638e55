#include "platform/shift_jis.h"

#include <iconv.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace qel {
namespace {

// The UTF-8 replacement character U+FFFD.
constexpr char kReplacement[] = "\xEF\xBF\xBD";

// Converts `in` between the encodings. With `replaceBroken`, a byte that
// starts no valid character becomes U+FFFD, so that one broken byte does
// not cost the whole text; without it such a byte fails the conversion.
std::optional<std::string> convert(const std::string& in, const char* to, const char* from,
                                   bool replaceBroken = false) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::vector<char> out(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    bool ok = true;
    while (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
        if (!replaceBroken || (errno != EILSEQ && errno != EINVAL)) {
            ok = false;
            break;
        }
        for (std::size_t k = 0; k + 1 < sizeof kReplacement; ++k) *dst++ = kReplacement[k];
        dstLeft -= sizeof kReplacement - 1;
        ++src;
        --srcLeft;
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
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
    return convert(ss.str(), "UTF-8", "CP932", true);
}

}  // namespace qel
