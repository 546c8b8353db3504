// The queue option store: the "lpoptions" command lines that read and write a queue's options,
// and the mirror files in the shared data folder that the driver reads.
#pragma once

#include "preferences/PrintOption.h"
#include "printer/StopSignal.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::preferences {

// Units of the custom paper size, as the preferences window numbers them.
enum PaperUnits : int { UnitPoints = 0, UnitMillimetres = 1, UnitCentimetres = 2, UnitInches = 3 };

// "" for points (and any unknown number), "mm", "cm", "in".
std::string unitSuffix(int units);
// The shortest decimal text that reads back as the same double, always with a fractional part.
std::string sizeText(double value);

// An option value as lpoptions's "-o" parser must see it to keep it whole: unchanged when it
// holds nothing that parser treats specially, else in single quotes with ' and \ escaped.
std::string lpoptionsValue(std::string_view value);

// The command lines. Every queue, key and value goes through the shell quoting helper, so plain
// ones give the lines byte for byte and any other arrives as one literal argument.
namespace commands {
std::string listOptions(std::string_view queue);
std::string readAssignments(std::string_view queue);
std::string setOption(std::string_view queue, std::string_view key, std::string_view value);
std::string removeOption(std::string_view queue, std::string_view key);
std::string setContrastAndBrightness(std::string_view queue, int64_t contrast, int64_t brightness);
std::string setTwoOptions(std::string_view queue, std::string_view key1, std::string_view value1, std::string_view key2,
                          std::string_view value2);
// The custom size, or the clear-paper-size line when a side truncates to 0 (or is not finite).
std::string setCustomPaperSize(std::string_view queue, double width, double height, int units);
std::string clearPaperSize(std::string_view queue);
std::string setStandardPaperSize(std::string_view queue, std::string_view pageSizeKey, std::string_view value);
} // namespace commands

// Where the driver finds a queue's copy: SHARED/.lpoptions/QUEUE.lpoptions.
std::filesystem::path mirrorFilePath(std::string_view queue, const std::filesystem::path& sharedFolder);

// The operations, each one command line through CommandRunner; the reads give empty text on
// failure, runCommands says which writes failed.
class OptionStore {
public:
    // The option list of a queue as the preferences window builds it. `error` is set when a
    // command could not be started or ended, or when the printing system gave no assignments for
    // the queue (every queue has some, so it did not know the queue or did not answer).
    static std::vector<PrintOption> load(std::string_view queue, std::string* error = nullptr);
    static std::string listing(std::string_view queue, std::string* error = nullptr);
    static std::string assignments(std::string_view queue, std::string* error = nullptr);

    // Runs the command lines in order, each to its end; returns one line for each that failed,
    // with the printing system's own message ("lpoptions: Unknown printer or class.").
    static std::vector<std::string> runCommands(const std::vector<std::string>& commands, const printer::SharedStop& stop = {});

    // The mirror file of one queue in the shared data folder (sharedDataFolder() when none given):
    // the read-assignments output, replacing the old copy whole. Nothing is replaced when the
    // printing system gave no assignments, so the driver keeps its last good copy. False then, or
    // when the file could not be written; a link standing for the folder or the file is left alone
    // and `refusal` says so.
    static bool writeMirrorFile(std::string_view queue, std::optional<std::filesystem::path> sharedFolder = {},
                                std::string* refusal = nullptr);
    // Every queue's mirror file, in list order; the refusals met, each once.
    static std::vector<std::string> refreshMirrors(const std::vector<std::string>& queues,
                                                   std::optional<std::filesystem::path> sharedFolder = {});
};

} // namespace brelmont::preferences
