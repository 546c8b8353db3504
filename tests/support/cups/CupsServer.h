// A private CUPS scheduler for tests: its own configuration, spool, logs and port in a temporary
// folder, so tests can add queues, set options and print without touching the machine's printing
// system or the user's files.
#pragma once

#include "printer/ShellQuote.h"

#include "driver/ppd/PpdWriter.h"

#include "ScopedEnv.h"

#include <filesystem>
#include <list>
#include <string>
#include <vector>

namespace brelmont::testing {

// One pick-one option as "lpoptions -p Q -l" lists it: "Keyword/Text: *Default Other …".
using driver::PpdOption;

// One queue to create: name, make-and-model (the PPD's *NickName and *ModelName; the scheduler
// reports *NickName as printer-make-and-model), device address, printer-info. Its description is
// written by the driver's PPD writer, never copied from a driver, and takes only raw data, so no
// filter runs and "lpr -l" bytes reach the backend unchanged.
struct QueueDefinition {
    std::string name;
    std::string makeAndModel;
    std::string deviceUri;
    std::string info;
    // A "PageSize" entry gets its PageRegion, ImageableArea and PaperDimension companions; without
    // one, a PageSize of Letter and A4 is added, as every valid description has one.
    std::vector<PpdOption> options = {};
    std::string manufacturer = "Brelmont";
    // Adds custom sizes, which "lpoptions -l" lists as a last PageSize choice "Custom.WIDTHxHEIGHT".
    bool customPageSize = false;
};

// What a command run against the server printed, and how it ended (-1: stopped or not started).
struct ShellResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    bool ok() const { return exitCode == 0; }
};

class CupsServer {
public:
    CupsServer() = default;
    ~CupsServer() { stop(); }
    CupsServer(const CupsServer&) = delete;
    CupsServer& operator=(const CupsServer&) = delete;

    // Whether the scheduler is installed.
    static bool available();

    // Writes the configuration into a new temporary folder and starts the scheduler on a free
    // loopback port; a port taken by someone else in between is detected and another one tried.
    bool start(std::string* error = nullptr);
    // Ends the scheduler, removes the folder (kept when BRELMONT_CUPS_KEEP is set, for looking at
    // the logs) and undoes applyEnvironment().
    void stop();

    std::filesystem::path home() const { return m_folder / "home"; }

    // Call before start() to run the driver: the scheduler then gets a ServerBin of its own (the
    // system's backends and filters, and a copy of `filter` owned by whoever runs the scheduler,
    // as it demands of filters) and hands every filter sharedFolder() in BRELMONT_SHARED_DIR.
    void useFilter(std::filesystem::path filter) { m_filter = std::move(filter); }
    // Before start(): the scheduler's driver listing (lpinfo -m) reads the PPDs of `folder`, as it
    // reads /usr/share/ppd on an installed system: a data folder of its own links the system's
    // and has `folder` as its model/ folder.
    void usePpdFolder(std::filesystem::path folder) { m_ppds = std::move(folder); }
    // The driver's shared data folder, mode 1777 with a .lpoptions folder as the installed one; there
    // while the server runs.
    std::filesystem::path sharedFolder() const { return m_folder / "shared"; }
    // The scheduler's log: what filters write to standard error lands here as "[Job N] ..." lines.
    std::string errorLog() const;

    // Sets the variables that make the command-line tools (lpstat, lpoptions, lpr) of this process
    // and its children talk only to this server, until stop().
    void applyEnvironment();

    // Runs the command line through the product's command runner with the same variables,
    // stopping it after timeoutSeconds.
    ShellResult run(const std::string& command, int timeoutSeconds = 30) const;

    // Creates an accepting, enabled queue from the definition.
    bool addQueue(const QueueDefinition& queue, std::string* error = nullptr);
    // The same from a PPD file (the driver's own, for instance).
    bool addQueueFromPpd(const std::string& name, const std::filesystem::path& ppd, const std::string& deviceUri,
                         const std::string& info, std::string* error = nullptr);
    bool removeQueue(const std::string& name);

private:
    bool startOnce(int port, std::string* error);
    bool makeServerBin(std::string* error);
    bool makeDataDir(std::string* error);

    int m_pid = -1;
    int m_port = 0;
    std::filesystem::path m_folder;
    std::filesystem::path m_filter;
    std::filesystem::path m_ppds;
    std::list<ScopedEnv> m_environment;
};

// Shell quoting for one literal argument.
inline std::string shellQuote(const std::string& value) { return printer::shellSingleQuoted(value); }

// The standard test queues: one per make-and-model text of the model table worth covering (maker
// "Brelmont", embosser options, custom page size) and one of another maker ("Acme LaserBlaster 9"),
// each at an address where nothing answers.
std::vector<QueueDefinition> standardQueues();

// The options an embosser queue offers the preferences window (PageSize, MediaType, the quality
// and braille settings, Duplex, ColorModel, OutputFace, PrintMode, …); pair with customPageSize.
std::vector<PpdOption> embosserOptions();

} // namespace brelmont::testing
