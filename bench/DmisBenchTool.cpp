// One measurement per process, for scripts/bench.sh:
//   vantreel_dmis_bench generate LINES FILE   writes the generated program
//   vantreel_dmis_bench scan FILE             the scanner alone over the file, its tokens
//                                             read and given back as the parser does
//   vantreel_dmis_bench scan-all FILE         the same, keeping every token of the file
//   vantreel_dmis_bench anchor FILE           a plain loop that splits the file
//                                             into lines and blank-separated words
//   vantreel_dmis_bench run COMMAND ARGS...   runs a command as a user would (its
//                                             output discarded) and prints
//                                             "SECONDS PEAK_KB" of that process
// scan, scan-all and anchor print "SECONDS PEAK_KB ITEMS": the processor time (user and
// system) of the work, the process's peak resident memory (ru_maxrss) and what
// they counted.
#include "DmisGenerator.h"

#include "dmis/model/CProgram.h"
#include "dmis/scan/Scanner.h"
#include "dmis/scan/TokenKind.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Reads every byte once, in 1 MiB pieces, and counts lines and words the way
// the simplest tokenizer would: the floor no scanner can beat.
long long SplitBytes(const char* path) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::perror(path);
        std::exit(1);
    }
    std::vector<char> buffer(1 << 20);
    long long lines = 0;
    long long words = 0;
    bool inWord = false;
    for (;;) {
        const ssize_t got = read(fd, buffer.data(), buffer.size());
        if (got < 0) {
            std::perror(path);
            std::exit(1);
        }
        if (got == 0) {
            break;
        }
        for (ssize_t i = 0; i < got; ++i) {
            const char c = buffer[static_cast<std::size_t>(i)];
            const bool separator = c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == ',' ||
                                   c == '/' || c == '=' || c == '(' || c == ')';
            lines += c == '\n';
            words += !separator && !inWord;
            inWord = !separator;
        }
    }
    close(fd);
    return lines + words;
}

// The processor time (user and system, to the microsecond) and peak memory of
// one run of a command; /usr/bin/time gives only hundredths of a second.
int RunCommand(char** argv) {
    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 1;
    }
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
        }
        execvp(argv[0], argv);
        std::perror(argv[0]);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("wait4");
        return 1;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", argv[0], status);
        return 1;
    }
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    std::printf("%.6f %ld\n", seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_maxrss);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: vantreel_dmis_bench generate LINES FILE | scan FILE | scan-all FILE | "
                 "anchor FILE | run COMMAND ARGS...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return Usage();
    }
    const std::string verb = argv[1];
    if (verb == "generate" && argc == 4) {
        std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
        out << vantreel::bench::GenerateDmisProgram(std::atoll(argv[2]));
        return out ? 0 : 1;
    }
    if (verb == "run" && argc >= 3) {
        return RunCommand(argv + 2);
    }
    if (argc != 3 || (verb != "scan" && verb != "scan-all" && verb != "anchor")) {
        return Usage();
    }
    const double start = ProcessorSeconds();
    long long items = 0;
    if (verb == "scan") {
        // Every token is read through the cursor, and the tokens behind it
        // are given back at the end of each line, as the statement parser
        // does after each statement.
        vantreel::CProgram program;
        vantreel::Scanner scanner;
        if (!scanner.OpenFile(argv[2], program)) {
            std::fprintf(stderr, "%s\n", scanner.LastError().c_str());
            return 1;
        }
        for (int16_t kind = scanner.Token(); kind != vantreel::tkEndOfInput;
             kind = scanner.Token()) {
            if (kind == vantreel::tkEndOfLine) {
                scanner.ReleaseTokensBefore(scanner.Position());
            }
        }
        if (!scanner.FinishScan(false)) {
            std::fprintf(stderr, "%s\n", scanner.LastError().c_str());
            return 1;
        }
        items = scanner.TokenCount();
    } else if (verb == "scan-all") {
        vantreel::CProgram program;
        vantreel::Scanner scanner;
        if (!scanner.ScanFile(argv[2], program)) {
            std::fprintf(stderr, "%s\n", scanner.LastError().c_str());
            return 1;
        }
        items = scanner.TokenCount();
    } else {
        items = SplitBytes(argv[2]);
    }
    std::printf("%.4f %ld %lld\n", ProcessorSeconds() - start, PeakKilobytes(), items);
    return 0;
}
