#include "core/toolkit/encoding.h"

#include <cstdint>

namespace velmora {

namespace {

// Code points of Windows-1252 bytes 0x80..0x9F; 0 marks the five unassigned bytes.
constexpr char32_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 character at s[i]; false on a malformed sequence.
bool DecodeUtf8(std::string_view s, std::size_t& i, char32_t& cp) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = 0;
    if (c < 0x80) {
        cp = c;
    } else if ((c & 0xE0) == 0xC0 && c >= 0xC2) {
        cp = c & 0x1F;
        extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
        cp = c & 0x0F;
        extra = 2;
    } else if ((c & 0xF8) == 0xF0 && c <= 0xF4) {
        cp = c & 0x07;
        extra = 3;
    } else {
        return false;
    }
    const std::size_t start = i;
    for (int k = 1; k <= extra; ++k) {
        if (start + k >= s.size()) return false;
        const unsigned char n = static_cast<unsigned char>(s[start + k]);
        if ((n & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (n & 0x3F);
    }
    if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        return false;
    }
    i = start + extra + 1;
    return true;
}

int Windows1252Code(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int k = 0; k < 32; ++k)
        if (kHigh[k] != 0 && kHigh[k] == cp) return 0x80 + k;
    return -1;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
    char32_t cp = 0;
    for (std::size_t i = 0; i < bytes.size();)
        if (!DecodeUtf8(bytes, i, cp)) return false;
    return true;
}

bool ToWindows1252(std::string_view utf8, std::string& out) {
    std::string r;
    r.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp;
        if (!DecodeUtf8(utf8, i, cp)) return false;
        const int code = Windows1252Code(cp);
        if (code < 0) return false;
        r += static_cast<char>(code);
    }
    out = std::move(r);
    return true;
}

std::string FromWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80 || c >= 0xA0) {
            AppendUtf8(out, c);
        } else {
            const char32_t cp = kHigh[c - 0x80];
            AppendUtf8(out, cp != 0 ? cp : char32_t(0xFFFD));
        }
    }
    return out;
}

std::string FirstUnencodable(std::string_view utf8) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t start = i;
        char32_t cp;
        if (!DecodeUtf8(utf8, i, cp)) return std::string(utf8.substr(start, 1));
        if (Windows1252Code(cp) < 0) return std::string(utf8.substr(start, i - start));
    }
    return std::string();
}

}  // namespace velmora
