// The user's guide is written as HTML with its pictures marked as figures:
//
//   <!-- figura main-window.png -->
//   <p><img src="main-window.png" width="540"><br><i>La ventana principal</i></p>
//   <!-- /figura -->
//
// Before the guide is laid out, each figure's picture is looked for in the
// picture folders; a figure whose picture is missing is left out whole and
// named in `missing`. A picture outside a figure is named in `unwrapped`: Qt
// lays out a guide with a picture it cannot load as one blank page, so the
// generator refuses both.
#pragma once

#include <string>
#include <vector>

namespace velmora::docgen {

struct PreparedGuide {
    std::string html;
    std::vector<std::string> missing;    // pictures not found, in order
    std::vector<std::string> unwrapped;  // <img> sources outside every figure, in order
};

// Rewrites every found picture's src as a file URL of where it was found.
PreparedGuide PrepareGuideHtml(const std::string& html, const std::vector<std::string>& imageDirs);

}  // namespace velmora::docgen
