#include "dialogs.h"

#include <filesystem>

#include "core/systems/sts_file.h"
#include "core/toolkit/files.h"
#include "gui/systems/system_window.h"

namespace velmora::soak {

namespace {

std::vector<LinearSystem> ListNow() {
    std::vector<LinearSystem> items;
    const SystemList& list = TheSystemWindow().list();
    for (std::size_t k = 1; k <= list.Count(); ++k) items.push_back(list.Get(k));
    return items;
}

// Empty for a file that cannot be read (a folder, one that does not exist).
std::string BytesOf(const std::string& path) {
    std::string bytes;
    ReadFileBounded(path, kMaxStsFileSize + 1, bytes);
    return bytes;
}

}  // namespace

SoakDialogs::SoakDialogs(Rng& rng, std::filesystem::path scratch)
    : rng_(rng), scratch_(std::move(scratch)) {}

const std::vector<std::string>& SoakDialogs::FileNames() {
    static const std::vector<std::string> names = {
        "uno.sts",    "dos.sts",   "tres.sts",  "sub/cuatro.sts", "lista larga.sts",
        "ñandú.sts",  "junk.sts",  "vacío.sts", "carpeta.sts",    "falta/cinco.sts",
        "grande.sts", "datos.txt", "uno.sts",   "dos.sts",
    };
    return names;
}

void SoakDialogs::clear() {
    boxes.clear();
    saves.clear();
    loads.clear();
}

bool SoakDialogs::shown(std::string_view caption) const {
    for (const Box& b : boxes) {
        if (b.caption == caption) return true;
    }
    return false;
}

bool SoakDialogs::said(std::string_view part) const {
    for (const Box& b : boxes) {
        if (b.text.find(part) != std::string::npos) return true;
    }
    return false;
}

int SoakDialogs::MessageBox(std::string_view caption, std::string_view text, unsigned style) {
    const std::string c(caption);
    const std::string t(text);
    // The dispatch's box for an exception that is not an overflow: some code
    // failed in a way it did not expect.
    if (c == "Error" && t.rfind("La orden no se ha podido completar", 0) == 0) {
        Fail("an exception reached the window's dispatch: " + t);
    }
    if (c.empty() || t.empty() || !IsUtf8(c) || !IsUtf8(t)) {
        Fail("a message box with an empty or broken caption or text: [" + c + "] [" + t + "]");
    }
    int answer = kIdOk;
    switch (style & 0x0F) {
        case kMbYesNo:
            answer = closing ? (c == "Salir" ? kIdYes : kIdNo) : (rng_.chance(50) ? kIdYes : kIdNo);
            break;
        case kMbYesNoCancel: {
            const int answers[] = {kIdYes, kIdNo, kIdCancel};
            answer = closing ? kIdNo : answers[rng_.below(3)];
            break;
        }
        default:
            break;
    }
    Tally("box: " + c);
    LogAction("box", c + ": " + t);
    boxes.push_back({c, t, style, answer});
    return answer;
}

std::string SoakDialogs::chooseFile() {
    std::string name = rng_.pick(FileNames());
    // Now and then the same file by its full path.
    if (rng_.chance(15)) name = (scratch_ / name).string();
    return name;
}

bool SoakDialogs::AskOpenFile(std::string& name) {
    if (closing || rng_.chance(15)) return false;  // Cancel
    const std::string chosen = chooseFile();
    name = chosen;
    if (openPurpose == OpenPurpose::Append) {
        saves.push_back({chosen, true, ListNow(), BytesOf(chosen), boxes.size()});
    } else if (openPurpose == OpenPurpose::Load) {
        loads.push_back(chosen);
    }
    return true;
}

// As the real dialog does, a name that exists is asked about first, and a
// No goes back to the choice.
bool SoakDialogs::AskSaveFile(std::string& name) {
    if (closing) return false;
    while (!rng_.chance(15)) {
        const std::string chosen = chooseFile();
        if (std::filesystem::exists(chosen) &&
            MessageBox("Guardar como",
                       "El fichero " + std::filesystem::path(chosen).filename().string() +
                           " ya existe.\n¿Desea reemplazarlo?",
                       kMbYesNo | kMbIconExclamation) != kIdYes) {
            continue;
        }
        name = chosen;
        saves.push_back({chosen, false, ListNow(), {}, boxes.size()});
        return true;
    }
    return false;
}

// Only scratch files that are not programs: nothing is ever started.
bool SoakDialogs::AskProgramFile(std::string& name) {
    if (closing || rng_.chance(20)) return false;
    const char* files[] = {"datos.txt", "sub/datos.txt", "zz-nada.txt", "Velmora.pdf"};
    name = (scratch_ / files[rng_.below(4)]).string();
    return true;
}

}  // namespace velmora::soak
