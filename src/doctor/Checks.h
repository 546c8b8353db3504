// The checks of `brelmont-cli doctor`: what a user cannot see when no embosser is found. Each
// check is plain C++ over what it is given, so tests can point it at folders of their own.
#pragma once

#include "doctor/Finding.h"
#include "printer/Printers.h"

#include <filesystem>
#include <string>
#include <vector>

namespace brelmont::doctor {

// The scheduler answers "lpstat -r" within a few seconds.
Finding checkScheduler();

// The maker's queues, each with its device and whether the device listing has it.
std::vector<Finding> checkQueues(const std::vector<printer::PrinterItem>& queues, const std::vector<std::string>& listing);

// The USB devices whose manufacturer string is "Brelmont", found under `sysRoot` (/sys), and
// whether this user may open each one's node under `devRoot` (/dev).
std::vector<Finding> checkUsbEmbossers(const std::filesystem::path& sysRoot = "/sys",
                                       const std::filesystem::path& devRoot = "/dev");

// Each network address, configured or of a queue, and whether the device listing has it (it
// answered the device helper's question).
std::vector<Finding> checkNetworkAddresses(const std::vector<std::string>& configured,
                                           const std::vector<printer::PrinterItem>& queues,
                                           const std::vector<std::string>& listing);

// pjlhelper is in the resource folder and runs.
Finding checkHelper(const std::filesystem::path& resourceDir);

// The shared data folder: there, a folder and no link, its owner and mode, writable, free space.
Finding checkSharedFolder(const std::filesystem::path& folder);

// All of them, in the order above, against this machine.
std::vector<Finding> diagnose();

} // namespace brelmont::doctor
