#include "soak.h"

#include <unistd.h>

#include <QUtf8StringView>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace velmora::soak {

namespace {

// An action may log a line for each of its steps: the ring keeps enough
// lines for the last 50 actions.
constexpr long kReportedActions = 50;
constexpr std::size_t kLogLength = 400;
struct Line {
    long action = 0;
    std::string text;
};
std::array<Line, kLogLength> logRing;
long lines = 0;
bool verbose = false;

void Write(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(2, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

RunInfo& Run() {
    static RunInfo info;
    return info;
}

void SetVerbose(bool on) {
    verbose = on;
}

void LogAction(std::string_view window, std::string text) {
    std::string line = "#" + std::to_string(Run().actions) + " " + std::string(window) + ": ";
    // A pasted block is shown by its start and length, not whole.
    if (text.size() > 200)
        text = text.substr(0, 160) + "... (" + std::to_string(text.size()) + " bytes)";
    line += text;
    if (verbose) std::fprintf(stderr, "%s\n", line.c_str());
    logRing[static_cast<std::size_t>(lines++) % kLogLength] = {Run().actions, std::move(line)};
}

namespace {
std::map<std::string, long>& Tallies() {
    static std::map<std::string, long> tallies;
    return tallies;
}
}  // namespace

void Tally(const std::string& what) {
    ++Tallies()[what];
}

void PrintTallies() {
    for (const auto& [what, n] : Tallies()) std::printf("  %8ld  %s\n", n, what.c_str());
}

void PrintReport(const char* what) {
    const RunInfo& run = Run();
    std::string report = "\nsoak: FAILED after " + std::to_string(run.actions) +
                         " actions: " + what + "\nsoak: seed " + std::to_string(run.seed) +
                         "\nsoak: the last actions, oldest first:\n";
    const long first =
        lines > static_cast<long>(kLogLength) ? lines - static_cast<long>(kLogLength) : 0;
    for (long k = first; k < lines; ++k) {
        const Line& line = logRing[static_cast<std::size_t>(k) % kLogLength];
        if (line.action > run.actions - kReportedActions) report += "  " + line.text + "\n";
    }
    report += "soak: replay with  make soak SOAK_SEED=" + std::to_string(run.seed) +
              " SOAK_ACTIONS=" + std::to_string(run.actions) + "\n";
    Write(report);
}

void Fail(const std::string& what) {
    PrintReport(what.c_str());
    std::fflush(nullptr);
    ::_exit(1);
}

bool IsUtf8(std::string_view text) {
    return QUtf8StringView(text.data(), static_cast<qsizetype>(text.size())).isValidUtf8();
}

}  // namespace velmora::soak
