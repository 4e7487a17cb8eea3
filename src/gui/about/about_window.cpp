#include "gui/about/about_window.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <chrono>

#include "core/arith/random.h"
#include "core/toolkit/files.h"
#include "gui/toolkit/dialog_helpers.h"
#include "gui/toolkit/language.h"

namespace velmora {

namespace {

using K = res::ControlKind;

// Laid out in pixels: the client area is the window's 312 x 240.
const res::DialogTemplate kFerSobre{
    "FerSobre", "",
    400,        200,
    312,        240,
    false,      res::kPixelUnits,
    nullptr,    {{AboutWindow::kButton, K::Button, "Vist", 122, 180, 70, 24}}};

const AboutLanguage kLanguages[] = {
    {"Quant a ", "", {"buenu", "Ah!", "Oh!", "vaja!", "hum!", "mmm..", "I vés!"}},
    {"About ", "/en", {"Ok", "Ah!", "Oh!", "Bah!", "hum!", "mmm..", "Done"}},
    {"Respecto ", "/es", {"bueno", "¡Ah!", "¡Oh!", "psé", "¡hum!", "mmm..", "¡vaya!"}},
};

constexpr int kIconX = 134;
constexpr int kIconY = 90;
constexpr int kIconSize = 32;

// The window that ShowAbout has open, if any.
AboutWindow* openWindow = nullptr;

}  // namespace

const AboutLanguage& AboutLanguageFor(int languageIndex) {
    return languageIndex >= 0 && languageIndex <= 2 ? kLanguages[languageIndex] : kLanguages[2];
}

std::string AboutWebAddress(int languageIndex) {
    return std::string(kMakerSite) + std::string(AboutLanguageFor(languageIndex).webSuffix);
}

AboutWindow::AboutWindow(std::string description, std::string contact, QWidget* owner)
    : description_(std::move(description)),
      contact_(std::move(contact)),
      window_(kFerSobre, *this, DialogColours{kAboutBackground, {}, {}, {}}, owner) {
    window_.setObjectName(QStringLiteral("FerSobre"));
    window_.setWindowModality(Qt::NonModal);
    if (!QApplication::windowIcon().isNull()) window_.setWindowIcon(QApplication::windowIcon());
}

AboutWindow::~AboutWindow() {
    font_.Done();
}

void AboutWindow::open() {
    SeedRandom(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    initialised_ = false;
    DeviceContext& dc = window_.dc();
    dc.setBackColour(kAboutBackground);
    dc.setTextColour(kAboutBlue);
    font_.Init(&dc);
    font_.SetSize(16, 6);
    window_.start();
}

void AboutWindow::run() {
    open();
    window_.runModeless();
}

void AboutWindow::onInit(TemplateDialog& d) {
    programName_ = ProgramName();
    // The program file itself: on this platform it has no ".exe" to add.
    year_ = FileYear(ProgramPath());
    const AboutLanguage& language = AboutLanguageFor(LanguageIndex);
    SetWindowTitle(d, std::string(language.captionPrefix) + programName_ + "...");
    QImage* surface = d.dc().surface();
    if (surface != nullptr) surface->fill(ToQColor(kAboutBackground));
    drawIcon();
    paintTexts();
    SetItemText(d, kButton, language.exclamations[RandomBelow(7)]);
    initialised_ = true;
}

void AboutWindow::onCommand(TemplateDialog& d, int id, int) {
    // The button, Enter, Esc and the close box all close the window.
    if (id == kButton || id == kCommandEscape) d.end(0);
}

void AboutWindow::onPaint(TemplateDialog&) {
    if (initialised_) paintTexts();
}

void AboutWindow::drawIcon() {
    const QIcon icon = QApplication::windowIcon();
    QImage* surface = window_.dc().surface();
    if (icon.isNull() || surface == nullptr) return;
    QPainter p(surface);
    icon.paint(&p, QRect(kIconX, kIconY, kIconSize, kIconSize));
}

void AboutWindow::paintTexts() {
    DeviceContext* dc = &window_.dc();
    dc->setBackColour(kAboutBackground);
    font_.SetFace("arial");
    font_.SetSize(16, 6);
    font_.SetBold(false);
    dc->setTextColour(kAboutOrange);
    DrawTextAt(dc, 20, 50, description_);
    dc->setTextColour(kAboutBlue);
    DrawTextAt(dc, 66, 120, std::string(kAuthorCredit) + year_);
    DrawTextAt(dc, 66, 134, "web: " + AboutWebAddress(LanguageIndex));
    if (!contact_.empty()) DrawTextAt(dc, 66, 150, "mail: " + contact_);
    font_.SetFace("Comic sans ms");
    font_.SetSize(36, 16);
    DrawTextAt(dc, 60, 10, programName_);
}

void ShowAbout(std::string_view description, std::string_view contact) {
    if (openWindow != nullptr) {
        openWindow->window().raise();
        openWindow->window().activateWindow();
        return;
    }
    // An application-modal main window would block a window it does not own.
    AboutWindow about{std::string(description), std::string(contact),
                      QApplication::activeModalWidget()};
    openWindow = &about;
    about.run();
    openWindow = nullptr;
}

}  // namespace velmora
