#include "gui/about/about_window.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "core/toolkit/files.h"
#include "gui/toolkit/dialog_helpers.h"
#include "gui/toolkit/language.h"
#include "support/demo_dialog.h"

namespace velmora {
namespace {

using Strings = std::vector<std::string>;

const Strings kSpanish = {"bueno", "¡Ah!", "¡Oh!", "psé", "¡hum!", "mmm..", "¡vaya!"};

std::string ButtonText(AboutWindow& a) {
    return GetItemText(a.window(), AboutWindow::kButton);
}

QRgb Pixel(AboutWindow& a, int x, int y) {
    return a.window().dc().surface()->pixel(x, y) & 0xFFFFFF;
}

constexpr QRgb kPaleYellow = 0xFFFFB2;

TEST(AboutWindowTest, WebAddressPerLanguageAndAnUnknownIndexReadsAsSpanish) {
    struct Case {
        int language;
        const char* prefix;
        const char* web;
    };
    const Case cases[] = {
        {0, "Quant a ", "https://orbenit.example"},  // Catalan has no suffix
        {1, "About ", "https://orbenit.example/en"},
        {2, "Respecto ", "https://orbenit.example/es"},
        {-1, "Respecto ", "https://orbenit.example/es"},
        {3, "Respecto ", "https://orbenit.example/es"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AboutLanguageFor(c.language).captionPrefix, c.prefix) << c.language;
        EXPECT_EQ(AboutWebAddress(c.language), c.web) << c.language;
    }
}

TEST(AboutWindowTest, WindowPlaceClassCaptionAndButton) {
    AboutWindow about("Cálculo matricial y sistemas de ecuaciones", "velmora@orbenit.example");
    TemplateDialog& w = about.window();
    EXPECT_EQ(w.objectName().toStdString(), "FerSobre");
    EXPECT_EQ(w.windowTitle().toStdString(), "");
    EXPECT_EQ(ButtonText(about), "Vist");
    EXPECT_FALSE(about.initialised());
    about.open();
    EXPECT_TRUE(about.initialised());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.pos(), QPoint(400, 200));
    EXPECT_EQ(w.client()->size(), QSize(312, 240));
    EXPECT_EQ(w.itemRect(AboutWindow::kButton), QRect(122, 180, 70, 24));
    EXPECT_EQ(w.windowTitle().toStdString(), "Respecto " + ProgramName() + "...");
    EXPECT_EQ(w.windowModality(), Qt::NonModal);
    const std::string shown = ButtonText(about);
    EXPECT_NE(std::find(kSpanish.begin(), kSpanish.end(), shown), kSpanish.end()) << shown;
}

TEST(AboutWindowTest, TheFiveTextsAtTheirPlacesFacesAndColours) {
    AboutWindow about("Cálculo matricial y sistemas de ecuaciones", "velmora@orbenit.example");
    about.window().dc().clearRecords();
    about.open();
    struct Expected {
        std::string text;
        int x, y;
        Colour colour;
        LogFont font;
    };
    const Colour blue = Rgb(0, 100, 250);
    const LogFont arial{16, 6, 400, "arial"};
    const std::string year = FileYear(ProgramPath());
    ASSERT_EQ(year.size(), 4u);
    const std::vector<Expected> expected = {
        {"Cálculo matricial y sistemas de ecuaciones", 20, 50, Rgb(220, 100, 0), arial},
        {"Orbenit - " + year, 66, 120, blue, arial},
        {"web: https://orbenit.example/es", 66, 134, blue, arial},
        {"mail: velmora@orbenit.example", 66, 150, blue, arial},
        {ProgramName(), 60, 10, blue, {36, 16, 400, "Comic sans ms"}},
    };
    const auto& records = about.window().dc().records();
    std::vector<const DrawRecord*> texts;
    for (const DrawRecord& r : records)
        if (r.kind == DrawRecord::Kind::Text) texts.push_back(&r);
    // Drawn once by the filling in; the repaint on showing draws them again.
    ASSERT_GE(texts.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].text);
        EXPECT_EQ(texts[i]->text, expected[i].text);
        EXPECT_EQ(texts[i]->x, expected[i].x);
        EXPECT_EQ(texts[i]->y, expected[i].y);
        EXPECT_EQ(texts[i]->textColour, expected[i].colour);
        EXPECT_EQ(texts[i]->backColour, Rgb(255, 255, 178));
        EXPECT_EQ(texts[i]->font, expected[i].font);
        EXPECT_EQ(texts[i]->align, kAlignLeftTop);
    }
    EXPECT_EQ(Pixel(about, 2, 2), kPaleYellow);
    EXPECT_EQ(Pixel(about, 305, 235), kPaleYellow);
}

TEST(AboutWindowTest, AnEmptyContactLeavesOutTheWholeMailLine) {
    AboutWindow about("desc", "");
    about.window().dc().clearRecords();
    about.open();
    for (const std::string& t : about.window().dc().drawnTexts()) {
        EXPECT_EQ(t.find("mail"), std::string::npos) << t;
    }
}

TEST(AboutWindowTest, ARepaintDrawsTheTextsAgainNotTheIcon) {
    QPixmap red(32, 32);
    red.fill(Qt::red);
    QApplication::setWindowIcon(QIcon(red));
    AboutWindow about("desc", "c@d.example");
    about.open();
    QApplication::setWindowIcon(QIcon());
    EXPECT_EQ(Pixel(about, 150, 106), 0xFF0000u) << "the application icon at (134, 90)";
    // Paint over the icon, as a covering window would leave it; a repaint
    // brings the texts back and leaves the icon's place alone.
    about.window().dc().fillRect(0, 0, 312, 240, Rgb(255, 255, 178));
    about.window().dc().clearRecords();
    about.window().paint();
    EXPECT_EQ(about.window().dc().drawnTexts().size(), 5u);
    EXPECT_EQ(Pixel(about, 150, 106), kPaleYellow);
}

TEST(AboutWindowTest, WithoutAnApplicationIconNothingIsDrawnThere) {
    QApplication::setWindowIcon(QIcon());
    AboutWindow about("desc", "");
    about.open();
    for (int x = 134; x < 166; x += 4)
        for (int y = 90; y < 122; y += 4) EXPECT_EQ(Pixel(about, x, y), kPaleYellow);
}

TEST(AboutWindowTest, EverySpanishExclamationAppearsOverManyOpenings) {
    std::map<std::string, int> seen;
    for (int i = 0; i < 300; ++i) {
        AboutWindow about("d", "");
        about.open();
        ++seen[ButtonText(about)];
        about.window().click(AboutWindow::kButton);
    }
    Strings keys;
    for (const auto& [text, n] : seen) keys.push_back(text);
    Strings expected = kSpanish;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(keys, expected);
}

TEST(AboutWindowTest, TheButtonAndTheCloseBoxClose) {
    struct Case {
        const char* name;
        std::function<void(TemplateDialog&)> act;
    };
    const Case cases[] = {
        {"button", [](TemplateDialog& w) { w.click(AboutWindow::kButton); }},
        {"close box", [](TemplateDialog& w) { w.close(); }},
        {"Esc", [](TemplateDialog& w) { w.pressEscape(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AboutWindow about("d", "");
        about.open();
        c.act(about.window());
        EXPECT_TRUE(about.window().ended());
        EXPECT_FALSE(about.window().isVisible());
    }
}

TEST(AboutWindowTest, ShowAboutReturnsOnceClosedAndTheMainWindowWorksMeanwhile) {
    test::RecordingHandler mainHandler;
    mainHandler.endOnEscape = false;
    TemplateDialog mainWindow(res::PrincipalTemplate(), mainHandler);
    mainWindow.setWindowModality(Qt::ApplicationModal);
    mainWindow.start();

    bool checked = false;
    QTimer::singleShot(0, [&] {
        TemplateDialog* about = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "FerSobre" && w->isVisible())
                about = qobject_cast<TemplateDialog*>(w);
        ASSERT_NE(about, nullptr);
        // Owned by the modal main window, so that window does not block it,
        // and modal to nothing itself.
        EXPECT_EQ(about->parentWidget(), &mainWindow);
        EXPECT_EQ(about->windowModality(), Qt::NonModal);
        EXPECT_TRUE(mainWindow.isEnabled());
        mainWindow.command(201);
        // A second opening while this one is up returns at once.
        ShowAbout("otra", "");
        about->click(AboutWindow::kButton);
        checked = true;
    });
    ShowAbout("Cálculo matricial y sistemas de ecuaciones", "velmora@orbenit.example");
    EXPECT_TRUE(checked);
    const Strings events = mainHandler.events();
    EXPECT_NE(std::find(events.begin(), events.end(), "command 201 0"), events.end());
    mainWindow.end(0);
}

}  // namespace
}  // namespace velmora
