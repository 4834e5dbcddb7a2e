#include <iconv.h>

#include <vector>

#include "common/text.h"
#include "tools/pkgbuild/ansi_code_page.h"

namespace {

// iconv between two encodings; false when anything does not convert.
bool Convert(const std::string &from, const std::string &to, const std::string &in,
             std::string &out) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == iconv_t(-1)) return false;
    std::vector<char> buffer(in.size() * 4 + 16);
    char *src = const_cast<char *>(in.data());
    size_t srcLeft = in.size();
    char *dst = buffer.data();
    size_t dstLeft = buffer.size();
    size_t done = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (done == size_t(-1) || srcLeft != 0) return false;
    out.assign(buffer.data(), buffer.size() - dstLeft);
    return true;
}

std::string Name(unsigned codePage) { return "CP" + std::to_string(codePage); }

}  // namespace

bool SystemEncode(const std::wstring &text, unsigned codePage, std::string &bytes) {
    return Convert("UTF-8", Name(codePage), NarrowUtf8(text), bytes);
}

bool SystemDecode(const std::string &bytes, unsigned codePage, std::wstring &text) {
    std::string utf8;
    if (!Convert(Name(codePage), "UTF-8", bytes, utf8)) return false;
    text = WidenUtf8(utf8);
    return true;
}

bool SystemHasCodePage(unsigned codePage) {
    iconv_t cd = iconv_open(Name(codePage).c_str(), "UTF-8");
    if (cd == iconv_t(-1)) return false;
    iconv_close(cd);
    return true;
}
