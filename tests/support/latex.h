// Compiling what the program writes as LaTeX, where pdflatex is installed.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace velmora::test {

// Skips the test, saying how to install pdflatex, where it is not there.
#define VELMORA_NEED_PDFLATEX()                                                              \
    if (std::system("command -v pdflatex >/dev/null 2>&1") != 0)                             \
    GTEST_SKIP() << "pdflatex is not installed (Debian: apt-get install texlive-latex-base " \
                    "texlive-latex-recommended)"

// `body` in an article with amsmath compiles to a PDF with no error.
inline void ExpectLatexCompiles(const std::string& body) {
    TempDir dir;
    std::ofstream(dir.file("v.tex")) << "\\documentclass{article}\n\\usepackage{amsmath}\n"
                                        "\\begin{document}\n"
                                     << body << "\\end{document}\n";
    const std::string run = "cd '" + dir.path().string() +
                            "' && pdflatex -interaction=nonstopmode -halt-on-error v.tex "
                            ">v.out 2>&1";
    EXPECT_EQ(std::system(run.c_str()), 0) << body;
    std::ifstream log(dir.file("v.log"));
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find("! "), std::string::npos) << text;
    EXPECT_TRUE(std::ifstream(dir.file("v.pdf")).good());
}

}  // namespace velmora::test
