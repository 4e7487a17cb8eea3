// velmora-docgen: lays out the user's guide, written as HTML, and prints it
// to a PDF with Qt's own text engine, at build time.
//
//   velmora-docgen GUIDE.html OUTPUT.pdf [PICTURE_FOLDER ...]
//
// Pictures are looked for in the guide's folder and then in the folders
// given. Anything that cannot be laid out -- a picture missing, outside a
// figure or unreadable, a guide of no pages -- ends it with a message and exit
// status 1, writing nothing: Qt would print such a guide as one blank page.
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "docgen/guide_html.h"

namespace {

int Refuse(const char* what, const std::string& name) {
    std::fprintf(stderr, "velmora-docgen: %s %s; no se escribe la guía\n", what, name.c_str());
    return 1;
}

// The first picture of the laid-out guide that Qt cannot load, or "".
QString UnloadablePicture(QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat()) continue;
            const QString name = format.toImageFormat().name();
            const QVariant data = document.resource(QTextDocument::ImageResource, QUrl(name));
            QImage picture = data.value<QImage>();
            if (picture.isNull() && data.canConvert<QByteArray>()) {
                picture.loadFromData(data.toByteArray());
            }
            if (picture.isNull()) return name;
        }
    }
    return {};
}

}  // namespace

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
    if (!guide.missing.empty()) return Refuse("falta la imagen", guide.missing.front());
    if (!guide.unwrapped.empty()) {
        return Refuse("imagen fuera de una figura (<!-- figura ... -->):", guide.unwrapped.front());
    }

    QTextDocument document;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(10.5);
    document.setDefaultFont(font);
    document.setHtml(QString::fromStdString(guide.html));
    const QString unloadable = UnloadablePicture(document);
    if (!unloadable.isEmpty()) {
        return Refuse("no se puede cargar la imagen", unloadable.toStdString());
    }

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(300);
    pdf.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
    pdf.setCreator(QStringLiteral("velmora-docgen"));
    // QTextDocument::print adds margins of its own (2 cm) and numbers the pages.
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    // The guide laid out on the printer's pages, as print() lays out its own copy.
    std::unique_ptr<QTextDocument> laidOut(document.clone());
    laidOut->documentLayout()->setPaintDevice(&pdf);
    laidOut->setPageSize(QSizeF(pdf.width(), pdf.height()));
    const int pages = laidOut->pageCount();
    if (pages < 2) return Refuse("la guía maquetada tiene", std::to_string(pages) + " página");
    document.print(&pdf);
    return 0;
}
