// The user's guide is written as HTML with its pictures marked as figures:
//
//   <!-- figura main-window.png -->
//   <p><img src="main-window.png" width="540"><br><i>La ventana principal</i></p>
//   <!-- /figura -->
//
// Before the guide is laid out, each figure's picture is looked for in the
// picture folders; a figure whose picture is missing is left out whole, so a
// guide built before every screenshot exists still reads well.
#pragma once

#include <string>
#include <vector>

namespace velmora::docgen {

struct PreparedGuide {
    std::string html;
    std::vector<std::string> missing;  // pictures not found, in order
};

// Rewrites every found picture's src as a file URL of where it was found.
PreparedGuide PrepareGuideHtml(const std::string& html, const std::vector<std::string>& imageDirs);

}  // namespace velmora::docgen
