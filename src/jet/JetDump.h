#pragma once

// The reading half of the Jet reader process: libmdb on one file, the frames of FrameFormat.h
// out. Plain C++ and libmdb, no Qt; the reader's main() and the fuzz target call it.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace jet {

// Receives the stream in pieces as they fill (and the rest at the end); false stops the
// reading (the reader's output is gone).
using FrameSink = std::function<bool(std::string_view)>;

// Opens the file at `path` read-only (a regular file only), and writes to `sink` the magic,
// then the file's version and text encoding, its user tables, each of `tables` the file holds
// (names compared exactly) with its columns and rows, and Done; or, as soon as something
// cannot be read, Failed with the reason. Returns the process's exit status: 0 after Done,
// frame::FailedStatus after Failed, 3 when the sink refused.
//
// Jet 3 text is in the code page of the system that wrote it, which the file does not record:
// it is read as Windows-1255 unless the file's header names a code page other than the
// Western default (1252), and iconv knows it.
int dumpJetFile(const char* path, const std::vector<std::string>& tables, const FrameSink& sink);

// The encoding Jet 3 text is read in for a file whose header names `codePage`.
std::string jet3Encoding(unsigned codePage);

} // namespace jet
