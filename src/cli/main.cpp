// brelmont-cli: the program's core for scripts and machines without a display.
#include "cli/DoctorCommand.h"
#include "cli/ExitCodes.h"
#ifdef BRELMONT_HAVE_FIRMWARE
#include "cli/FirmwareCommand.h"
#endif
#include "cli/JobCommands.h"
#include "cli/OptionsCommand.h"
#include "cli/OutputFile.h"
#include "cli/PrinterCommands.h"
#include "cli/RenderCommand.h"
#include "cli/SendCommand.h"
#include "cli/SetupCommand.h"
#ifdef BRELMONT_HAVE_JSON
#include "cli/StatusCommand.h"
#endif
#include "cli/TestPageCommand.h"
#include "cli/ToolboxCommand.h"
#include "printer/Termination.h"

#include <csignal>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Subcommand {
    const char* name;
    const char* usage;
    int (*run)(const std::vector<std::string>&);
};

const Subcommand Subcommands[] = {
    {"info", "info JOB            print the job's model and pages as JSON", brelmont::cli::runInfo},
    {"dump", "dump JOB OUTDIR     write info.json and every page buffer", brelmont::cli::runDump},
    {"render",
     "render [--text | --brf] JOB OUTDIR\n"
     "                      write every page as a PNG picture, the emboss pages as braille text\n"
     "                      (emboss-NNN.txt), or the 6-dot pages as OUTDIR/NAME.brf",
     brelmont::cli::runRender},
    {"printers", "printers            the maker's queues: queue, name, model code, model name, device, connected",
     brelmont::cli::runPrinters},
    {"devices",
     "devices             the attached devices, as the device helper lists them (the queues'\n"
     "                      network embossers asked too)",
     brelmont::cli::runDevices},
    {"query", "query URI WHAT      ask a device (variables, versions, status, legacy, sensors, ...)", brelmont::cli::runQuery},
    {"options", "options QUEUE       the queue's options: key, label, selected index, values (tab-separated)",
     brelmont::cli::runOptions},
    {"send", "send FILE QUEUE     send a file unchanged (raw) to a queue", brelmont::cli::runSend},
    {"testpage", "testpage QUEUE      print the test page (braille alphabet and digits at every dot height)",
     brelmont::cli::runTestPage},
    {"doctor",
     "doctor              check the printing system, queues, USB access, network embossers, the\n"
     "                      device helper and the shared folder; says how to fix each problem",
     brelmont::cli::runDoctor},
    {"setup",
     "setup [--address socket://HOST[:PORT]]... [--add N | --add-all] [--dns-sd-seconds S]\n"
     "                      list the embossers without a print queue (USB, DNS-SD, typed), or make\n"
     "                      the queue for one or all of them",
     brelmont::cli::runSetup},
    {"toolbox",
     "toolbox show [--queue Q] | toolbox apply [--queue Q] NAME=VALUE ...\n"
     "                      | toolbox table [--queue Q] [--slot N] FILE\n"
     "                      | toolbox export [--queue Q] > FILE\n"
     "                      | toolbox import [--queue Q | --all-of-model CODE] [--dry-run] FILE\n"
     "                      show or change the settings of an attached embosser, download a\n"
     "                      braille table into it, or save its settings as a profile and set\n"
     "                      one or all embossers of its family from one",
     brelmont::cli::runToolbox},
#ifdef BRELMONT_HAVE_JSON
    {"status",
     "status [--json]     every embosser: queue, model, firmware, state, ink (or why it is\n"
     "                      not answering), asked side by side",
     brelmont::cli::runStatus},
#endif
#ifdef BRELMONT_HAVE_FIRMWARE
    {"firmware",
     "firmware check [--queue Q] | firmware update [--queue Q] --yes\n"
     "                      look for newer firmware for the attached embosser, or install it",
     brelmont::cli::runFirmware},
#endif
};

void printUsage(std::ostream& out) {
    out << "usage: brelmont-cli COMMAND [ARGS]\n";
    for (const Subcommand& s : Subcommands) out << "  " << s.usage << '\n';
}

} // namespace

int main(int argc, char** argv) {
    brelmont::printer::endCleanlyOnSignals();
    // Past the file size limit a write then fails, and the command says so and removes the file it
    // could not finish, instead of being killed half-way through it.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        printUsage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? brelmont::cli::ExitRefused : brelmont::cli::ExitOk;
    }
    for (const Subcommand& s : Subcommands) {
        if (std::strcmp(argv[1], s.name) != 0) continue;
        const int status = s.run(std::vector<std::string>(argv + 2, argv + argc));
        // What was printed must have arrived: a full disk behind standard output is a failure too.
        return brelmont::cli::flushStandardOutput() ? status : brelmont::cli::ExitFailed;
    }
    std::cerr << "brelmont-cli: unknown command: " << argv[1] << '\n';
    printUsage(std::cerr);
    return brelmont::cli::ExitRefused;
}
