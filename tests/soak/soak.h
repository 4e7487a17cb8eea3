// The soak: random use of the real windows, from a seed, with the invariants
// checked after every action. Shared pieces: the generator of the soak's own
// choices, the log of the last actions, and the end of a run that found
// something.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::soak {

// The soak's choices. std::mt19937_64 gives the same sequence everywhere, and
// below() uses no library distribution, so a seed replays on any machine.
class Rng {
  public:
    explicit Rng(uint64_t seed) : engine_(seed) {}
    uint64_t next() { return engine_(); }
    // 0..n-1 (0 for n <= 1).
    int below(int n) { return n <= 1 ? 0 : static_cast<int>(engine_() % static_cast<uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    const T& pick(const std::vector<T>& v) {
        return v[static_cast<std::size_t>(below(static_cast<int>(v.size())))];
    }

  private:
    std::mt19937_64 engine_;
};

// The run's identity and progress, for the reports.
struct RunInfo {
    uint64_t seed = 0;
    long actions = 0;
};
RunInfo& Run();

// Remembers an action; the last 50 go into a failure report.
void LogAction(std::string_view window, std::string text);
// Prints every action as it is done (--verbose).
void SetVerbose(bool on);

// Tallies for the summary (--stats): actions by kind, boxes by caption.
void Tally(const std::string& what);
void PrintTallies();

// Reports a finding (what, the seed, the last 50 actions, how to replay) on
// standard error and ends the process with status 1, at once: nothing of a
// broken state is run further, and no leak report follows.
[[noreturn]] void Fail(const std::string& what);
// The same report without ending (for the sanitizers' own death).
void PrintReport(const char* what);

// Checks that `text` is valid UTF-8.
bool IsUtf8(std::string_view text);

}  // namespace velmora::soak
