// velmora-docgen: lays out the user's guide, written as HTML, and prints it
// to a PDF with Qt's own text engine, at build time.
//
//   velmora-docgen GUIDE.html OUTPUT.pdf [PICTURE_FOLDER ...]
//
// Pictures are looked for in the guide's folder and then in the folders
// given; a missing one leaves its figure out, with a note on standard error.
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>
#include <cstdlib>

#include "docgen/guide_html.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "uso: velmora-docgen GUIA.html SALIDA.pdf [CARPETA_IMAGENES ...]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);

    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "velmora-docgen: no se puede leer %s\n", argv[1]);
        return 1;
    }
    const std::string html = source.readAll().toStdString();

    std::vector<std::string> dirs{QFileInfo(source).absolutePath().toStdString()};
    for (int i = 3; i < argc; ++i) dirs.emplace_back(argv[i]);
    const velmora::docgen::PreparedGuide guide = velmora::docgen::PrepareGuideHtml(html, dirs);
    for (const std::string& name : guide.missing) {
        std::fprintf(stderr, "velmora-docgen: falta la imagen %s; la figura se omite\n",
                     name.c_str());
    }

    QTextDocument document;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(10.5);
    document.setDefaultFont(font);
    document.setHtml(QString::fromStdString(guide.html));

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(300);
    pdf.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
    pdf.setCreator(QStringLiteral("velmora-docgen"));
    // QTextDocument::print adds margins of its own (2 cm) and numbers the pages.
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    document.print(&pdf);
    return 0;
}
