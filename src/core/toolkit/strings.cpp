#include "core/toolkit/strings.h"

#include <algorithm>

namespace velmora {

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::string UpperCaseLatin(std::string_view s) {
    std::string r(s);
    for (std::size_t i = 0; i < r.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(r[i]);
        if (c >= 'a' && c <= 'z') {
            r[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < r.size()) {
            // Latin-1 letters U+00E0..U+00FF are C3 A0..C3 BF; their capitals are C3 80..C3 9F.
            const unsigned char n = static_cast<unsigned char>(r[i + 1]);
            switch (n) {
                case 0xA0: case 0xA1: case 0xA7: case 0xA8: case 0xA9: case 0xAD:
                case 0xAF: case 0xB1: case 0xB2: case 0xB3: case 0xBA: case 0xBC:
                    r[i + 1] = static_cast<char>(n - 0x20);
                    break;
                default:
                    break;
            }
            ++i;
        }
    }
    return r;
}

std::string Sentence(std::string_view reason) {
    if (reason.empty()) return {};
    // The first letter: one byte, or two for the accented ones (C3 xx).
    const std::size_t first = static_cast<unsigned char>(reason[0]) == 0xC3 ? 2 : 1;
    std::string s = UpperCaseLatin(reason.substr(0, first));
    s += reason.substr(std::min(first, reason.size()));
    if (s.find_last_of(".!?") != s.size() - 1) s += '.';
    return s;
}

std::string TrimLeft(std::string_view s) {
    const std::size_t p = s.find_first_not_of(' ');
    return p == std::string_view::npos ? std::string() : std::string(s.substr(p));
}

std::string TrimRight(std::string_view s) {
    const std::size_t p = s.find_last_not_of(' ');
    return p == std::string_view::npos ? std::string() : std::string(s.substr(0, p + 1));
}

std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

std::string IntToText(int64_t n) { return std::to_string(n); }

bool IsBlank(std::string_view s) {
    return s.find_first_not_of(" \t") == std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool IsBlankLines(std::string_view s) {
    return s.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::string JoinTerms(const std::vector<SignedTerm>& terms) {
    if (terms.empty()) return "0";
    std::string text;
    for (const SignedTerm& t : terms) {
        if (text.empty()) {
            text = t.negative ? "-" : "";
        } else {
            text += t.negative ? " - " : " + ";
        }
        text += t.body;
    }
    return text;
}

std::vector<std::string_view> SplitAt(std::string_view s, std::string_view mark) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        const std::size_t end = s.find(mark, start);
        pieces.push_back(s.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return pieces;
        start = end + mark.size();
    }
}

std::vector<std::string_view> TextLines(std::string_view s) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= s.size(); ++i) {
        if (i < s.size() && s[i] != '\n' && s[i] != '\r') continue;
        lines.push_back(s.substr(start, i - start));
        if (i + 1 < s.size() && s[i] == '\r' && s[i + 1] == '\n') ++i;
        start = i + 1;
    }
    return lines;
}

std::size_t LastCharPos(char c, std::string_view s) {
    const std::size_t p = s.rfind(c);
    return p == std::string_view::npos ? 0 : p + 1;
}

std::string FirstParenGroup(std::string_view s) {
    int depth = 0;
    std::string acc;
    for (char c : s) {
        if (c == '(') {
            if (depth > 0) acc += c;
            ++depth;
        } else if (c == ')') {
            // A ")" before any "(" closes nothing and is skipped.
            if (depth == 0) continue;
            --depth;
            if (depth > 0) {
                acc += c;
            } else {
                return acc;
            }
        } else if (depth > 0) {
            acc += c;
        }
    }
    return std::string();
}

std::size_t Utf8Length(std::string_view s) {
    std::size_t n = 0;
    for (char c : s)
        if (!IsContinuation(static_cast<unsigned char>(c))) ++n;
    return n;
}

std::string Utf8Left(std::string_view s, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!IsContinuation(static_cast<unsigned char>(s[i]))) {
            if (count == n) return std::string(s.substr(0, i));
            ++count;
        }
    }
    return std::string(s);
}

}  // namespace velmora
