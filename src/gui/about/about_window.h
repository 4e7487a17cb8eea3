// The About window, of class FerSobre: the program's name in large type, a
// one-line description, the maker's credit with the program file's year, its
// web address and a contact address, the program icon, and a button with a
// random exclamation that closes it. It runs its own loop while the main
// window stays usable.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "gui/textout/text_output.h"
#include "gui/toolkit/template_dialog.h"

namespace velmora {

// The maker is ours: Orbenit, under a reserved example domain.
inline constexpr std::string_view kAboutDescription = "Cálculo matricial y sistemas de ecuaciones";
inline constexpr std::string_view kContactMail = "velmora@orbenit.example";
inline constexpr std::string_view kMakerSite = "https://orbenit.example";
inline constexpr std::string_view kAuthorCredit = "Orbenit - ";

inline constexpr Colour kAboutBackground = Rgb(255, 255, 178);
inline constexpr Colour kAboutBlue = Rgb(0, 100, 250);
inline constexpr Colour kAboutOrange = Rgb(220, 100, 0);

// Caption prefix, web address suffix and button exclamations of a language
// (0 Catalan, 1 English, 2 Spanish; any other index reads as Spanish).
struct AboutLanguage {
    std::string_view captionPrefix;
    std::string_view webSuffix;
    std::array<std::string_view, 7> exclamations;
};
const AboutLanguage& AboutLanguageFor(int languageIndex);
// The maker's site followed by the language's suffix.
std::string AboutWebAddress(int languageIndex);

class AboutWindow : public DialogHandler {
  public:
    enum : int { kButton = 1 };

    // owner: the window the About window stays in front of (none when null);
    // it is never disabled.
    AboutWindow(std::string description, std::string contact, QWidget* owner = nullptr);
    ~AboutWindow() override;
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;

    TemplateDialog& window() { return window_; }
    // Reseeds the random generator, fills the window in and shows it; no loop.
    void open();
    // open, then the window's own loop until the button or the close box ends it.
    void run();
    bool initialised() const { return initialised_; }

    void onInit(TemplateDialog& d) override;
    void onCommand(TemplateDialog& d, int id, int notification) override;
    void onPaint(TemplateDialog& d) override;

  private:
    void paintTexts();
    void drawIcon();

    std::string description_;
    std::string contact_;
    std::string programName_;
    std::string year_;
    bool initialised_ = false;
    TextFont font_;
    TemplateDialog window_;
};

// Opens the About window and returns once it is closed. While one is open, a
// second call brings it to the front and returns at once.
void ShowAbout(std::string_view description, std::string_view contact);

}  // namespace velmora
