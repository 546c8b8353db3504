// Output of brelmont-cli that must arrive whole: every write is checked, and a file whose write
// failed is removed rather than left half written.
#pragma once

#include <cstddef>
#include <filesystem>

namespace brelmont::cli {

// Writes the file, replacing what it held. On failure says why on standard error, naming the
// file, removes it and returns false.
bool writeOutputFile(const std::filesystem::path& path, const void* data, size_t size);

// Flushes standard output; false (with a message) when what was printed to it did not all arrive.
bool flushStandardOutput();

} // namespace brelmont::cli
