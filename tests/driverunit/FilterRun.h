// The driver's filter run as CUPS runs it, on files and without a scheduler, and the jobs it
// writes read back with the program's own decoder and braille reader.
#pragma once

#include "FileText.h"
#include "driver/Filter.h"
#include "job/Document.h"
#include "viewer/braille/BrfExport.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::testing {

using viewer::BrailleLine;
using Page = std::vector<BrailleLine>;

std::string utf8(std::u32string_view text);
// liblouis's own translation of one line.
BrailleLine louis(const std::string& table, std::u32string_view text);
// Cells per line on Letter paper inside the PPD's half-inch margins, at 100 positions per inch.
int64_t cellsOnLetter(std::string_view spacing);

struct Read {
    std::shared_ptr<job::Document> doc = std::make_shared<job::Document>();
    std::vector<Page> pages;
    std::string brf() const;
    // Each page's ASCII braille on one line ("_" for a blank page): what page order tests compare.
    std::string order() const;
};

Read readJob(const std::string& bytes);

struct Job {
    std::string model = "Merriden";
    std::string document, options;
    bool brf = false;
    int copies = 1;
    std::filesystem::path shared; // the shared folder; a fresh one when empty
    std::string contentType;      // by `brf` when empty
};

struct Result {
    int status = -1;
    std::string out, log;
    Read job; // when the filter succeeded
};

// Text and PDF come by their path, braille files on standard input, as CUPS hands either.
Result run(const Job& j);

} // namespace brelmont::testing
