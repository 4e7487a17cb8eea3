// Where the texts and bars drawn on a device context landed, from its
// records: each text as the box it fills (measured in the font it was drawn
// in), each upright line as a box one pixel wide.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "gui/textout/device_context.h"

namespace velmora::test {

struct Box {
    std::string what;
    int left, top, right, bottom;  // right and bottom exclusive
};

inline std::ostream& operator<<(std::ostream& os, const Box& b) {
    return os << "'" << b.what << "' " << b.left << ".." << b.right << " x " << b.top << ".."
              << b.bottom;
}

inline std::vector<Box> TextBoxes(const DeviceContext& dc) {
    std::vector<Box> boxes;
    DeviceContext measure;
    for (const DrawRecord& r : dc.records()) {
        if (r.kind != DrawRecord::Kind::Text || r.text.empty()) continue;
        const FontHandle font = CreateFontObject(r.font);
        measure.selectFont(font);
        const int width = measure.textWidth(r.text);
        DeleteFontObject(font);
        const int left = r.align == kAlignCentreTop ? r.x - width / 2 : r.x;
        boxes.push_back({r.text, left, r.y, left + width, r.y + r.font.lfHeight});
    }
    return boxes;
}

inline std::vector<Box> UprightLines(const DeviceContext& dc) {
    std::vector<Box> boxes;
    for (const DrawRecord& r : dc.records()) {
        if (r.kind != DrawRecord::Kind::Line || r.x != r.x2) continue;
        boxes.push_back({"bar", r.x, std::min(r.y, r.y2), r.x + 1, std::max(r.y, r.y2)});
    }
    return boxes;
}

// The pairs of boxes that share a pixel, one line each.
inline std::string Overlaps(const std::vector<Box>& boxes) {
    std::ostringstream out;
    for (std::size_t a = 0; a < boxes.size(); ++a) {
        for (std::size_t b = a + 1; b < boxes.size(); ++b) {
            const Box& p = boxes[a];
            const Box& q = boxes[b];
            if (p.left < q.right && q.left < p.right && p.top < q.bottom && q.top < p.bottom)
                out << p << " meets " << q << "\n";
        }
    }
    return out.str();
}

// The boxes that reach outside left..right-1, top..bottom-1, one line each.
inline std::string Outside(const std::vector<Box>& boxes, int left, int top, int right,
                           int bottom) {
    std::ostringstream out;
    for (const Box& b : boxes) {
        if (b.left < left || b.top < top || b.right > right || b.bottom > bottom) out << b << "\n";
    }
    return out.str();
}

}  // namespace velmora::test
