#include "core/toolkit/files.h"

#include <fcntl.h>
#include <glob.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

#include "core/toolkit/strings.h"

namespace velmora {

namespace {

std::string documentOpener = "xdg-open";

// Every path matching a pattern (the path itself when it has no wildcard).
std::vector<std::string> Matches(std::string_view name) {
    std::vector<std::string> found;
    const std::string pattern = NativePath(Utf8Left(name, 255));
    if (pattern.empty()) return found;
    glob_t g{};
    if (glob(pattern.c_str(), GLOB_NOSORT, nullptr, &g) == 0) {
        for (std::size_t i = 0; i < g.gl_pathc; ++i) found.emplace_back(g.gl_pathv[i]);
    }
    globfree(&g);
    return found;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Words of a command line: blanks separate, double quotes group.
std::vector<std::string> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (IsBlank(c) && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

// The file that a program name stands for: itself when it holds a "/",
// otherwise the first executable match on PATH. Empty when there is none.
std::string ResolveProgram(const std::string& program) {
    if (program.find('/') != std::string::npos) return program;
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string_view dir = std::string_view(dirs).substr(start, end - start);
        std::string candidate(dir.empty() ? std::string_view(".") : dir);
        candidate += '/';
        candidate += program;
        if (access(candidate.c_str(), X_OK) == 0 && !IsDirectory(candidate)) return candidate;
        start = end + 1;
    }
    return {};
}

uint16_t CodeOfErrno(int error) {
    switch (error) {
        case ENOENT:
            return kLaunchFileNotFound;
        case ENOTDIR:
            return kLaunchPathNotFound;
        case EACCES:
        case EPERM:
            return kLaunchAccessDenied;
        case ENOEXEC:
            return kLaunchBadFormat;
        default:
            return kLaunchFailed;
    }
}

// How long the desktop's opener is watched before it counts as started. An
// opener that finds no program usually gives up well within this; one that
// runs the viewer itself keeps running. A slow one may still give up later:
// its watcher says so on the report pipe, which a caller may keep.
constexpr int kWatchMs = 1000;

// What the start-up pipe carries: an exec error (errno, above 0), or the exit
// status of a watched program that ended unsuccessfully (its negation).
uint16_t CodeOfReport(int report) {
    if (report > 0) return CodeOfErrno(report);
    // xdg-open: 2 the file does not exist; 3 no tool for it; 4 the tool failed.
    return -report == 2 ? kLaunchFileNotFound : kLaunchNoAssociation;
}

// One report from the pipe; kLaunchStarted when the pipe closed without one
// (the program was started, and a watched one ended well).
uint16_t ReadReport(int fd) {
    int report = 0;
    ssize_t n;
    do {
        n = read(fd, &report, sizeof report);
    } while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(sizeof report) ? CodeOfReport(report) : kLaunchStarted;
}

[[noreturn]] void ExecOrReport(const std::string& program, std::vector<char*>& argv, int report) {
    execv(program.c_str(), argv.data());
    const int error = errno;
    (void)!write(report, &error, sizeof error);
    _exit(127);
}

// Starts argv[0] detached: a short-lived child starts it (or, with `watch`,
// a watcher that starts it and waits for its end) in a session of its own and
// exits at once, so the program, or its watcher, is left to init. A pipe
// closed by exec, or by the watcher's end, tells whether the program really
// started; a watched program's failure comes through it too. A watched
// program still running after kWatchMs counts as started; with `late` the
// pipe is handed over for whatever it reports afterwards.
uint16_t Spawn(const std::vector<std::string>& words, bool watch = false, int* late = nullptr) {
    if (words.empty()) return kLaunchFileNotFound;
    const std::string program = ResolveProgram(words[0]);
    if (program.empty()) return kLaunchFileNotFound;
    if (IsDirectory(program)) return kLaunchAccessDenied;
    if (access(program.c_str(), F_OK) != 0) return CodeOfErrno(errno);

    std::vector<char*> argv;
    for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return kLaunchFailed;
    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return kLaunchFailed;
    }
    if (child == 0) {
        // Only async-signal-safe calls from here on.
        close(report[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            if (!watch) ExecOrReport(program, argv, report[1]);
            const pid_t watched = fork();
            if (watched == 0) ExecOrReport(program, argv, report[1]);
            if (watched < 0) _exit(1);
            int status = 0;
            while (waitpid(watched, &status, 0) < 0 && errno == EINTR) {
            }
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                const int failure = WIFEXITED(status) ? -WEXITSTATUS(status) : -1;
                (void)!write(report[1], &failure, sizeof failure);
            }
            _exit(0);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        close(report[0]);
        return kLaunchFailed;
    }
    if (watch) {
        pollfd answer{report[0], POLLIN, 0};
        int ready;
        do {
            ready = poll(&answer, 1, kWatchMs);
        } while (ready < 0 && errno == EINTR);
        if (ready == 0) {
            if (late != nullptr) {
                *late = report[0];
            } else {
                close(report[0]);
            }
            return kLaunchStarted;
        }
    }
    const uint16_t code = ReadReport(report[0]);
    close(report[0]);
    return code;
}

// The desktop's opener with one file or address; no opener at all means
// nothing can open it.
uint16_t OpenWithOpener(const std::string& file, int* late) {
    const std::string opener = ResolveProgram(documentOpener);
    if (opener.empty() || access(opener.c_str(), X_OK) != 0) return kLaunchNoAssociation;
    return Spawn({opener, file}, true, late);
}

bool IsAddress(std::string_view s) {
    return s.find("://") != std::string_view::npos || s.rfind("mailto:", 0) == 0;
}

}  // namespace

std::string LaunchFailureReason(uint16_t code) {
    switch (code) {
        case kLaunchFileNotFound:
        case kLaunchPathNotFound:
            return "no existe";
        case kLaunchAccessDenied:
            return "no hay permiso para abrirlo";
        case kLaunchBadFormat:
            return "no es un programa que se pueda ejecutar";
        case kLaunchNoAssociation:
            return "no hay ningún programa que sepa abrirlo";
        default:
            return "el sistema no lo ha podido abrir";
    }
}

std::string NativePath(std::string_view path) {
    std::string p(path);
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    return p;
}

bool FileExists(std::string_view name) {
    for (const std::string& m : Matches(name)) {
        if (!IsDirectory(m)) return true;
    }
    return false;
}

bool FolderExists(std::string_view name) {
    for (const std::string& m : Matches(name)) {
        if (IsDirectory(m)) return true;
    }
    return false;
}

bool OpenTextForReading(std::string_view name, std::ifstream& file) {
    if (!FileExists(name)) return false;
    file.open(NativePath(Utf8Left(name, 255)), std::ios::in | std::ios::binary);
    return file.is_open();
}

bool CreateTextFile(std::string_view name, std::ofstream& file) {
    file.open(NativePath(Utf8Left(name, 255)), std::ios::out | std::ios::trunc | std::ios::binary);
    return file.is_open();
}

BoundedRead ReadStreamBounded(std::FILE* file, std::size_t limit, std::string& bytes) {
    bytes.clear();
    char block[65536];
    while (true) {
        const std::size_t n = std::fread(block, 1, sizeof block, file);
        if (n > limit - bytes.size()) {
            bytes.clear();
            bytes.shrink_to_fit();
            return BoundedRead::TooLarge;
        }
        bytes.append(block, n);
        if (n < sizeof block) break;
    }
    return std::ferror(file) != 0 ? BoundedRead::ReadError : BoundedRead::Ok;
}

BoundedRead ReadFileBounded(const std::string& path, std::size_t limit, std::string& bytes) {
    bytes.clear();
    // O_NONBLOCK only so that opening a FIFO does not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return BoundedRead::NotOpened;
    const int flags = ::fcntl(fd, F_GETFL);
    std::FILE* file =
        flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0 ? nullptr : ::fdopen(fd, "rb");
    if (file == nullptr) {
        ::close(fd);
        return BoundedRead::ReadError;
    }
    const BoundedRead result = ReadStreamBounded(file, limit, bytes);
    std::fclose(file);
    return result;
}

std::string NameOfPath(std::string_view path) {
    const std::size_t slash = std::max(LastCharPos('/', path), LastCharPos('\\', path));
    return std::string(path.substr(slash));
}

std::string BaseName(std::string_view path) {
    std::string name = NameOfPath(path);
    const std::size_t dot = LastCharPos('.', name);
    return dot == 0 ? name : name.substr(0, dot - 1);
}

std::string ProgramPath() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

std::string ProgramName() {
    return BaseName(ProgramPath());
}

std::string FileYear(std::string_view name) {
    for (const std::string& m : Matches(name)) {
        struct stat st {};
        if (stat(m.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
        std::tm local{};
        localtime_r(&st.st_mtime, &local);
        return std::to_string(local.tm_year + 1900);
    }
    return {};
}

uint16_t RunProgram(std::string_view commandLine) {
    return Spawn(SplitWords(Utf8Left(commandLine, 255)));
}

uint16_t OpenDocument(std::string_view command) {
    return OpenDocument(command, nullptr);
}

uint16_t TakeLateReport(int fd) {
    const uint16_t code = ReadReport(fd);
    close(fd);
    return code;
}

uint16_t OpenDocument(std::string_view command, int* late) {
    const std::string t = Utf8Left(command, 255);
    if (t.find(".exe") != std::string::npos) return RunProgram(t);
    const std::size_t blank = t.find(' ');
    const std::string file = NativePath(t.substr(0, blank));
    const std::string parameters = blank == std::string::npos ? std::string() : t.substr(blank + 1);
    if (file.empty()) return kLaunchFileNotFound;
    if (IsAddress(file)) return OpenWithOpener(file, late);
    struct stat st {};
    if (stat(file.c_str(), &st) != 0) return CodeOfErrno(errno);
    if (S_ISREG(st.st_mode) && access(file.c_str(), X_OK) == 0) {
        // A program: started with the parameters, as its own command line.
        // A bare name would be searched on PATH; this one is in the current folder.
        std::string program = file;
        if (program.find('/') == std::string::npos)
            program = std::filesystem::path(".").append(file).string();
        std::vector<std::string> words{program};
        for (std::string& w : SplitWords(parameters)) words.push_back(std::move(w));
        return Spawn(words);
    }
    // The desktop's opener takes one file; it chooses the program itself.
    return OpenWithOpener(file, late);
}

void SetDocumentOpener(std::string program) {
    documentOpener = std::move(program);
}

}  // namespace velmora
