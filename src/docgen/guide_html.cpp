#include "docgen/guide_html.h"

#include <filesystem>
#include <regex>

namespace velmora::docgen {

namespace fs = std::filesystem;

namespace {

std::string FindPicture(const std::string& name, const std::vector<std::string>& dirs) {
    for (const std::string& dir : dirs) {
        std::error_code ec;
        const fs::path candidate = fs::absolute(fs::path(dir) / name, ec);
        if (!ec && fs::is_regular_file(candidate, ec)) return candidate.lexically_normal().string();
    }
    return {};
}

// The sources of the pictures in a stretch of the guide outside every figure.
void NoteUnwrapped(const std::string& html, std::size_t from, std::size_t to,
                   std::vector<std::string>& unwrapped) {
    static const std::regex image(R"re(<img\b[^>]*\bsrc\s*=\s*"([^"]*)")re", std::regex::icase);
    const auto begin = html.begin() + static_cast<std::ptrdiff_t>(from);
    const auto end = html.begin() + static_cast<std::ptrdiff_t>(to);
    for (auto it = std::sregex_iterator(begin, end, image); it != std::sregex_iterator(); ++it) {
        unwrapped.push_back((*it)[1].str());
    }
}

}  // namespace

PreparedGuide PrepareGuideHtml(const std::string& html, const std::vector<std::string>& imageDirs) {
    static const std::regex figure(R"(<!--\s*figura\s+(\S+)\s*-->([\s\S]*?)<!--\s*/figura\s*-->)");
    PreparedGuide out;
    std::size_t done = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), figure);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        NoteUnwrapped(html, done, static_cast<std::size_t>(m.position(0)), out.unwrapped);
        out.html.append(html, done, static_cast<std::size_t>(m.position(0)) - done);
        done = static_cast<std::size_t>(m.position(0) + m.length(0));
        const std::string name = m[1].str();
        const std::string found = FindPicture(name, imageDirs);
        if (found.empty()) {
            out.missing.push_back(name);
            continue;
        }
        std::string body = m[2].str();
        const std::string from = "src=\"" + name + "\"";
        const std::string to = "src=\"file://" + found + "\"";
        for (std::size_t at = body.find(from); at != std::string::npos;
             at = body.find(from, at + to.size())) {
            body.replace(at, from.size(), to);
        }
        out.html += body;
    }
    NoteUnwrapped(html, done, html.size(), out.unwrapped);
    out.html.append(html, done, std::string::npos);
    return out;
}

}  // namespace velmora::docgen
