#include "doctor/Checks.h"

#include "ConfiguredDevices.h"
#include "preferences/SharedDataFolder.h"
#include "printer/CommandRunner.h"
#include "printer/DeviceUri.h"
#include "printer/HelperProtocol.h"
#include "printer/ModelTable.h"
#include "printer/PjlHelper.h"
#include "printer/ShellQuote.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace brelmont::doctor {

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::seconds QuickLimit{10};

// A short command whose standard error is kept for the finding.
printer::RunOptions quickRun() {
    printer::RunOptions options;
    options.limit = QuickLimit;
    options.captureErrors = true;
    return options;
}

constexpr unsigned long long LowSpace = 50ull << 20; // jobs are copied there for preview

constexpr const char* UdevFix =
    "install the brelmont-companion package (its udev rule gives the logged-in user the maker's USB embossers), "
    "or copy packaging/70-brelmont-embossers.rules to /etc/udev/rules.d/, then unplug the embosser and plug it in "
    "again";

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    return text;
}

bool listed(const std::vector<std::string>& listing, const std::string& uri) {
    return !uri.empty() && std::any_of(listing.begin(), listing.end(),
                                       [&](const std::string& line) { return printer::lineNamesDevice(line, uri); });
}

std::string octal(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", unsigned(mode & 07777));
    return text;
}

std::string ownerName(uid_t uid) {
    if (const passwd* pw = ::getpwuid(uid)) return pw->pw_name;
    return "user " + std::to_string(uid);
}

std::string gibibytes(unsigned long long bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f GiB", double(bytes) / double(1ull << 30));
    return text;
}

} // namespace

Finding checkScheduler() {
    const printer::RunResult run = printer::CommandRunner::execute("lpstat -r", quickRun());
    Finding f{true, "CUPS scheduler", "answers", ""};
    if (run.succeeded() && run.out.find("scheduler is running") != std::string::npos) return f;
    f.ok = false;
    f.detail = "does not answer (" + (run.succeeded() ? "lpstat: " + run.out.substr(0, run.out.find('\n')) : run.failure()) + ")";
    f.fix = "start the printing system (sudo systemctl start cups), or check CUPS_SERVER and ~/.cups/client.conf";
    return f;
}

std::vector<Finding> checkQueues(const std::vector<printer::PrinterItem>& queues, const std::vector<std::string>& listing) {
    if (queues.empty())
        return {{false, "Brelmont queues", "no print queue leads to a Brelmont embosser",
                 "run brelmont-cli setup to list the embossers without a queue and brelmont-cli setup --add N to make "
                 "one (in the companion: Embosser \u25B8 Add Embosser\u2026), then run brelmont-cli printers"}};
    std::vector<Finding> findings;
    for (const printer::PrinterItem& q : queues) {
        Finding f{true, "queue " + q.queue, printer::modelName(q.model).value_or("model " + std::to_string(q.model)), ""};
        if (q.deviceUri.empty()) {
            f.ok = false;
            f.detail += ", no device address";
            f.fix = "give the queue its embosser's address (sudo lpadmin -p " + printer::shellWord(q.queue) + " -v DEVICE-URI)";
        } else if (q.connected || listed(listing, q.deviceUri)) {
            f.detail += ", " + q.deviceUri + " attached";
        } else {
            f.ok = false;
            f.detail += ", " + q.deviceUri + " not attached or not answering";
            f.fix = "switch the embosser on and check its cable or network; see the USB and network lines";
        }
        findings.push_back(f);
    }
    return findings;
}

std::vector<Finding> checkUsbEmbossers(const fs::path& sysRoot, const fs::path& devRoot) {
    std::vector<Finding> findings;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(sysRoot / "bus" / "usb" / "devices", ec)) {
        const fs::path device = entry.path();
        if (firstLine(device / "manufacturer") != "Brelmont") continue;
        const int bus = std::atoi(firstLine(device / "busnum").c_str()), number = std::atoi(firstLine(device / "devnum").c_str());
        char node[32];
        std::snprintf(node, sizeof node, "bus/usb/%03d/%03d", bus, number);
        const fs::path path = devRoot / node;
        Finding f{true, "USB embosser " + firstLine(device / "product"), path.string(), ""};
        if (!fs::exists(path, ec)) {
            f.ok = false;
            f.detail += " is missing";
            f.fix = "unplug the embosser and plug it in again";
        } else if (::access(path.c_str(), R_OK | W_OK) != 0) {
            f.ok = false;
            f.detail += ": this user may not open it";
            f.fix = UdevFix;
        } else {
            f.detail += ": this user may open it";
        }
        findings.push_back(f);
    }
    if (findings.empty()) findings.push_back({true, "USB embossers", "none plugged in", ""});
    std::sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) { return a.detail < b.detail; });
    return findings;
}

std::vector<Finding> checkNetworkAddresses(const std::vector<std::string>& configured,
                                           const std::vector<printer::PrinterItem>& queues,
                                           const std::vector<std::string>& listing) {
    std::vector<std::pair<std::string, std::string>> addresses; // address, where it was named
    for (const std::string& uri : configured) addresses.emplace_back(uri, "configured");
    for (const std::string& uri : printer::Printers::networkAddresses(queues)) addresses.emplace_back(uri, "of a queue");
    std::vector<Finding> findings;
    std::vector<std::string> seen;
    for (const auto& address : addresses) {
        const std::string& uri = address.first;
        const std::string& source = address.second;
        if (std::any_of(seen.begin(), seen.end(), [&](const std::string& s) { return printer::sameDevice(s, uri); })) continue;
        seen.push_back(uri);
        Finding f{true, "network embosser " + uri + " (" + source + ")", "answers", ""};
        if (!listed(listing, uri)) {
            f.ok = false;
            f.detail = "does not answer";
            f.fix = "switch it on, check that the host and port are right and that this computer reaches it (ping the host)";
        }
        findings.push_back(f);
    }
    if (findings.empty())
        findings.push_back(
            {true, "network embossers",
             "none configured (BRELMONT_DEVICES or " + pjlhelper::devicesFilePath().string() + ") and no queue has one", ""});
    return findings;
}

Finding checkHelper(const fs::path& resourceDir) {
    const fs::path helper = resourceDir / "pjlhelper";
    Finding f{true, "device helper", helper.string() + " runs", ""};
    f.fix = "reinstall the program, or set BRELMONT_RESOURCE_DIR to the folder that holds pjlhelper";
    if (::access(helper.c_str(), X_OK) != 0) {
        f.ok = false;
        f.detail = helper.string() + (fs::exists(helper) ? " cannot be run by this user" : " is missing");
        return f;
    }
    // Arguments it refuses: it starts, reads them and ends at once, without asking any device.
    const printer::RunResult run =
        printer::CommandRunner::execute(printer::shellSingleQuoted(helper.string()) + " --check", quickRun());
    if (run.status != printer::RunResult::Status::Ended || run.exitCode != printer::helper::ExitBadArguments) {
        f.ok = false;
        f.detail = helper.string() + " does not run (" + run.failure() + ")";
    }
    return f;
}

Finding checkSharedFolder(const fs::path& folder) {
    Finding f{true, "shared folder " + folder.string(), "", ""};
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        f.ok = false;
        f.detail = "does not exist";
        f.fix =
            "start the application once, or make it for every user: sudo mkdir -p -m 1777 " + printer::shellWord(folder.string());
        return f;
    }
    if (S_ISLNK(st.st_mode) || !S_ISDIR(st.st_mode)) {
        f.ok = false;
        f.detail = S_ISLNK(st.st_mode) ? "is a symbolic link, which the program does not follow" : "is not a folder";
        f.fix = "remove it (if you did not make it) and start the application again";
        return f;
    }
    f.detail = "owner " + ownerName(st.st_uid) + ", mode " + octal(st.st_mode);
    struct statvfs vfs {};
    const unsigned long long free = ::statvfs(folder.c_str(), &vfs) == 0 ? (unsigned long long)vfs.f_bavail * vfs.f_frsize : 0;
    f.detail += ", " + gibibytes(free) + " free";
    // Its owner may remove or replace anyone's files in it, sticky bit or not: that is root, or
    // this user; another ordinary user is not to be trusted with everyone's preview jobs.
    if (st.st_uid != 0 && st.st_uid != ::getuid()) {
        f.ok = false;
        f.detail += "; " + ownerName(st.st_uid) + " may remove or replace the files every user puts in it";
        f.fix = "sudo chown root " + printer::shellWord(folder.string());
    } else if ((st.st_mode & S_IWOTH) && !(st.st_mode & S_ISVTX)) {
        f.ok = false;
        f.detail += "; anyone may remove or replace the files in it";
        f.fix = "sudo chmod +t " + printer::shellWord(folder.string());
    } else if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        f.ok = false;
        f.detail += "; this user may not write there";
        f.fix = "let this user write there (sudo chmod 1777 " + printer::shellWord(folder.string()) + ")";
    } else if (free < LowSpace) {
        f.ok = false;
        f.detail += "; too little room for preview jobs";
        f.fix = "make room on that disk";
    }
    return f;
}

std::vector<Finding> diagnose() {
    std::vector<Finding> findings{checkScheduler()};
    printer::Printers printers;
    const std::vector<printer::PrinterItem>& queues = printers.items();
    for (auto& f : checkQueues(queues, printers.deviceListing())) findings.push_back(std::move(f));
    for (auto& f : checkUsbEmbossers()) findings.push_back(std::move(f));
    for (auto& f : checkNetworkAddresses(pjlhelper::configuredDeviceUris(), queues, printers.deviceListing()))
        findings.push_back(std::move(f));
    findings.push_back(checkHelper(printer::PjlHelper::resourceDir()));
    findings.push_back(checkSharedFolder(preferences::sharedDataFolder()));
    return findings;
}

} // namespace brelmont::doctor
