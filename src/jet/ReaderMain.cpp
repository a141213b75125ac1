// orvenna-jet-reader FILE [TABLE...]
//
// Reads an Access (Jet) file with libmdb and writes what it holds to standard output in the
// frames of jet/FrameFormat.h: the program starts it as a child process, so that a damaged
// or hostile file can at worst end this process, never the program. No options: every
// argument after the file is a table name.
#include "jet/JetDump.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
#define ORVENNA_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVENNA_UNDER_ASAN 1
#endif
#endif

namespace {

void limit(int resource, rlim_t value) {
    const rlimit bound{value, value};
    ::setrlimit(resource, &bound);
}

int frames = -1;

bool writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(frames, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: orvenna-jet-reader FILE [TABLE...]\n", stderr);
        return 64;
    }
    // The program bounds the reader's time and output; these bound what it cannot see: no
    // core file, CPU time for a reader whose parent is gone, and its memory, 256 MB where a
    // sound file takes a few (the address sanitizer reserves terabytes of address space, so
    // not under it).
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    limit(RLIMIT_CORE, 0);
    limit(RLIMIT_CPU, 600);
#ifndef ORVENNA_UNDER_ASAN
    limit(RLIMIT_AS, rlim_t(256) << 20);
#endif
    std::signal(SIGPIPE, SIG_DFL);
    // libmdb dumps bytes on standard output on some damaged files: the frames keep the pipe
    // to themselves, and standard output goes where standard error goes.
    frames = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (frames < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return 3;

    const std::vector<std::string> tables(argv + 2, argv + argc);
    return jet::dumpJetFile(argv[1], tables, writeAll);
}
