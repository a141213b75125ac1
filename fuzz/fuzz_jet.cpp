// libFuzzer target for the Jet reader's reading half: any bytes are written to a file (in
// memory) and read as a Jet file with libmdb, every table a phone book or the sample files
// hold asked for; the stream must begin with its magic and end with Done or Failed.
#include "jet/FrameFormat.h"
#include "jet/JetDump.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int fd = memfd_create("fuzz_jet", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size))
        std::abort();

    std::string stream;
    const int status = jet::dumpJetFile(path.c_str(), {"Vesk", "Work", "dbDetails", "Table1"},
                                        [&stream](std::string_view bytes) {
                                            stream.append(bytes);
                                            return true;
                                        });
    if (stream.compare(0, jet::frame::Magic.size(), jet::frame::Magic) != 0)
        std::abort();
    // The last frame: Done (tag and an empty payload) or Failed.
    const bool done = stream.size() >= 2 && stream.compare(stream.size() - 2, 2, "Z\0", 2) == 0;
    if ((status == 0) != done || (status != 0 && status != jet::frame::FailedStatus))
        std::abort();
    return 0;
}
