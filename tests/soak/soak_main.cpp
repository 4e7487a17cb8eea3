// velmora_soak: minutes of random use of the program's windows, from a seed,
// with the invariants checked after every action.
//
//   velmora_soak [--seed N] [--seconds S] [--actions N] [--verbose]
//
// Runs for S seconds (default 20), or exactly N actions when --actions is
// given; prints the seed, the actions done and the actions per second. A
// finding prints the seed and the last 50 actions and ends with status 1; the
// same seed with --actions N replays the run up to it.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "core/arith/random.h"
#include "core/toolkit/files.h"
#include "driver.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/language.h"
#include "soak.h"

// Only a sanitizer build links the sanitizers' runtime.
#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_SOAK_SANITIZER_CALLBACK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_SOAK_SANITIZER_CALLBACK 1
#endif
#endif
#ifdef VELMORA_SOAK_SANITIZER_CALLBACK
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

using namespace velmora;
namespace fs = std::filesystem;

// An exception that reaches the event loop is a finding: the windows catch
// everything in their own dispatch.
class SoakApplication final : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            soak::Fail(std::string("an exception reached the event loop: ") + e.what());
        } catch (...) {
            soak::Fail("an exception reached the event loop");
        }
    }
};

// A hang is a finding too: an action that has not ended after a minute.
std::atomic<long> lastProgress{0};
std::atomic<bool> finished{false};

long NowSeconds() {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count());
}

void Watch() {
    long seen = -1;
    while (!finished) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const long actions = soak::Run().actions;
        if (actions != seen) {
            seen = actions;
            lastProgress = NowSeconds();
        } else if (NowSeconds() - lastProgress > 60) {
            soak::Fail("an action has not ended after 60 seconds");
        }
    }
}

// Qt's own warnings go to the log of actions (one line each, the first time
// they come); a fatal one is a finding.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    static std::set<QString> seen;
    if (message.startsWith(QStringLiteral("This plugin does not support"))) return;  // offscreen
    if (type == QtFatalMsg) soak::Fail("Qt: " + message.toStdString());
    if (seen.insert(message).second) {
        soak::LogAction("qt", message.toStdString());
        std::fprintf(stderr, "soak: Qt says (action %ld): %s\n", soak::Run().actions,
                     qPrintable(message));
    }
}

void Usage() {
    std::fprintf(
        stderr,
        "usage: velmora_soak [--seed N] [--seconds S] [--actions N] [--verbose] [--stats]\n");
    std::exit(2);
}

// The scratch folder: the current folder of the run, with the files the file
// dialogs offer.
fs::path MakeScratch() {
    const fs::path dir = fs::temp_directory_path() / ("velmora-soak-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "sub");
    fs::create_directories(dir / "carpeta.sts");
    std::ofstream(dir / "datos.txt") << "datos\n";
    std::ofstream(dir / "sub" / "datos.txt") << "datos\n";
    std::ofstream(dir / "junk.sts") << "no es una lista";
    std::ofstream(dir / "vacío.sts");
    // Utilities that open scratch files, a missing one, a folder and an address.
    std::ofstream(dir / "Tools.rel", std::ios::binary)
        << "Datos\r\ndatos.txt\r\nsub\r\n-p\r\n"
           "Nada\r\nzz-nada.txt\r\n\r\n\r\n"
           "Carpeta\r\ncarpeta.sts\r\n\r\n\r\n"
           "Web\r\nhttps://orbenit.example/zz\r\n\r\n\r\n";
    return dir;
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t seed =
        static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) %
        1000000000ULL;
    soak::Limits limits;
    bool verbose = false;
    bool stats = false;
    for (int k = 1; k < argc; ++k) {
        const std::string a = argv[k];
        const bool more = k + 1 < argc;
        if (a == "--seed" && more) {
            seed = std::strtoull(argv[++k], nullptr, 10);
        } else if (a == "--seconds" && more) {
            limits.seconds = std::strtod(argv[++k], nullptr);
        } else if (a == "--actions" && more) {
            limits.actions = std::strtol(argv[++k], nullptr, 10);
        } else if (a == "--verbose") {
            verbose = true;
        } else if (a == "--stats") {
            stats = true;
        } else {
            Usage();
        }
    }
    soak::Run().seed = seed;
    soak::SetVerbose(verbose);
#ifdef VELMORA_SOAK_SANITIZER_CALLBACK
    // A sanitizer's own report ends the process: the soak's follows it.
    __sanitizer_set_death_callback([] { soak::PrintReport("a sanitizer report (above)"); });
#endif
    std::set_terminate([] {
        soak::PrintReport("std::terminate");
        std::abort();
    });

    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler(QtMessages);
    SoakApplication app(argc, argv);
    const fs::path scratch = MakeScratch();
    const fs::path home = fs::current_path();
    fs::current_path(scratch);

    // As the program starts, but never launching anything: the opener of
    // documents is one that does not exist.
    InitTextOutput();
    DeviceContext::setRecording(false);
    LanguageIndex = 2;
    SetDocumentOpener((scratch / "no-opener").string());
    SeedRandom(seed);

    std::printf("soak: seed %llu, %s\n", static_cast<unsigned long long>(seed),
                limits.actions > 0 ? (std::to_string(limits.actions) + " actions").c_str()
                                   : (std::to_string(limits.seconds) + " s").c_str());
    std::fflush(stdout);
    std::thread watchdog(Watch);
    double seconds = 0;
    long restarts = 0;
    {
        soak::Driver driver(seed, limits, scratch);
        driver.run();
        seconds = driver.elapsedSeconds();
        restarts = driver.restarts();
    }
    finished = true;
    watchdog.join();

    fs::current_path(home);
    fs::remove_all(scratch);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long actions = soak::Run().actions;
    std::printf(
        "soak: seed %llu: %ld actions in %.1f s, %.1f actions/s, %ld restarts of the main window, "
        "peak memory %ld MiB, no finding\n",
        static_cast<unsigned long long>(seed), actions, seconds,
        seconds > 0 ? actions / seconds : 0.0, restarts, usage.ru_maxrss / 1024);
    if (stats) soak::PrintTallies();
    return 0;
}
