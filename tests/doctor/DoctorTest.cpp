// brelmont-cli doctor against real parts: a private CUPS server with queues leading to a running
// simulator and to an address where nothing answers, scratch folders standing for /sys, /dev and
// the shared folder, and helper programs that run or do not.
#include "doctor/Checks.h"

#include "CupsServer.h"
#include "EmbosserSim.h"
#include "ProgramRun.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace brelmont::doctor;
using brelmont::testing::ScopedEnv;
using brelmont::testing::ScratchDir;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

bool hasLine(const std::string& out, const std::string& start) {
    return out.starts_with(start) || out.find("\n" + start) != std::string::npos;
}

// A USB device as the kernel shows it under sys/bus/usb/devices, and its node under dev.
void plantUsbDevice(const fs::path& root, const std::string& name, const std::string& maker, int bus, int number,
                    mode_t nodeMode) {
    const fs::path device = root / "sys" / "bus" / "usb" / "devices" / name;
    writeFile(device / "manufacturer", maker + "\n");
    writeFile(device / "product", "Orvin 200\n");
    writeFile(device / "busnum", std::to_string(bus) + "\n");
    writeFile(device / "devnum", std::to_string(number) + "\n");
    char node[32];
    std::snprintf(node, sizeof node, "dev/bus/usb/%03d/%03d", bus, number);
    if (nodeMode) {
        writeFile(root / node, "");
        ::chmod((root / node).c_str(), nodeMode);
    }
}

// The USB lines as another user sees them: root may open every node.
std::string usbLinesAsNobody(const fs::path& root) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(1);
        std::string lines;
        for (const Finding& f : checkUsbEmbossers(root / "sys", root / "dev")) lines += line(f) + "\n";
        (void)!::write(pipeFds[1], lines.data(), lines.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, size_t(n));
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    return out;
}

TEST(Doctor, UsbEmbossersByTheirNodes) {
    ScratchDir scratch("doctor-usb");
    ::chmod(scratch.path().c_str(), 0755);
    EXPECT_EQ(line(checkUsbEmbossers(scratch.path() / "sys", scratch.path() / "dev")[0]), "ok: USB embossers: none plugged in");
    plantUsbDevice(scratch.path(), "1-1", "Brelmont", 1, 4, 0666);
    plantUsbDevice(scratch.path(), "1-2", "Brelmont", 1, 7, 0600); // no udev rule: root's only
    plantUsbDevice(scratch.path(), "2-1", "Brelmont", 2, 3, 0);    // gone while looked at
    plantUsbDevice(scratch.path(), "2-2", "Acme", 2, 9, 0600);     // not ours
    for (const auto& dir : fs::recursive_directory_iterator(scratch.path()))
        if (dir.is_directory()) ::chmod(dir.path().c_str(), 0755);

    const std::string dev = (scratch.path() / "dev" / "bus" / "usb").string();
    const std::string lines = usbLinesAsNobody(scratch.path());
    EXPECT_TRUE(hasLine(lines, "ok: USB embosser Orvin 200: " + dev + "/001/004: this user may open it")) << lines;
    EXPECT_TRUE(hasLine(lines, "problem: USB embosser Orvin 200: " + dev + "/001/007: this user may not open it; fix: "
                               "install the brelmont-companion package")) << lines;
    EXPECT_TRUE(hasLine(lines, "problem: USB embosser Orvin 200: " + dev + "/002/003 is missing")) << lines;
    EXPECT_EQ(lines.find("/002/009"), std::string::npos) << lines;
}

TEST(Doctor, SharedFolderOwnerModeAndLinks) {
    ScratchDir scratch("doctor-shared");
    const fs::path folder = scratch.path() / "Brelmont";
    struct Case {
        const char* what;
        mode_t mode; // 0: nothing there; 1: a link to a folder
        const char* start;
    };
    for (const Case& c : {Case{"missing", 0, ": does not exist; fix: "},
                          Case{"link", 1, ": is a symbolic link, which the program does not follow; fix: remove it"},
                          Case{"open to all", 0777, "; anyone may remove or replace the files in it; fix: sudo chmod +t "},
                          Case{"shared with a sticky bit", 01777, ""}, Case{"private", 0755, ""}}) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder);
        if (c.mode == 1) fs::create_directory_symlink(scratch.path(), folder);
        else if (c.mode) fs::create_directory(folder), ::chmod(folder.c_str(), c.mode);
        const Finding f = checkSharedFolder(folder);
        EXPECT_EQ(f.ok, *c.start == 0) << line(f);
        EXPECT_NE(line(f).find(c.start), std::string::npos) << line(f);
        if (c.mode > 1) {
            EXPECT_TRUE(f.detail.starts_with("owner ") && f.detail.find(", mode ") != std::string::npos) << f.detail;
        }
    }
}

TEST(Doctor, TheDeviceHelperMustRun) {
    ScratchDir scratch("doctor-helper");
    EXPECT_NE(line(checkHelper(scratch.path())).find("pjlhelper is missing; fix: reinstall"), std::string::npos);
    const fs::path helper = scratch.path() / "pjlhelper";
    for (const auto& [script, ok] : {std::pair{"#!/bin/sh\nexit 2\n", true}, std::pair{"#!/bin/sh\nexit 0\n", false},
                                     std::pair{"#!/no/such/shell\n", false}}) {
        writeFile(helper, script);
        ::chmod(helper.c_str(), 0755);
        EXPECT_EQ(checkHelper(scratch.path()).ok, ok) << script;
    }
    EXPECT_TRUE(checkHelper(fs::path(BRELMONT_PJLHELPER).parent_path()).ok);
}

// The whole command against the private CUPS server: a queue whose embosser answers, one whose
// address nothing answers at, a configured address; then the scheduler stopped.
TEST(Doctor, TheCommandLineToolAgainstAPrivateCupsServer) {
    if (!brelmont::testing::CupsServer::available()) GTEST_SKIP() << "cupsd is not installed";
    ScratchDir scratch("doctor-cups");
    brelmont::testing::CupsServer cups;
    std::string error;
    ASSERT_TRUE(cups.start(&error)) << error;
    brelmont::testing::EmbosserSim valdo("valdo");
    ASSERT_TRUE(cups.addQueue("Valdo_Sheet", "Valdo Sheet", valdo.uri(), "Valdo", {}, &error)) << error;
    ASSERT_TRUE(cups.addQueue("Orvin_200", "Orvin 200", "socket://127.0.0.1:9", "Orvin", {}, &error)) << error;
    cups.applyEnvironment();
    fs::create_directory(scratch.path() / "shared");
    ::chmod((scratch.path() / "shared").c_str(), 01777);
    const ScopedEnv shared("BRELMONT_SHARED_DIR", (scratch.path() / "shared").string());
    const ScopedEnv devices("BRELMONT_DEVICES", "socket://127.0.0.1:10");
    const ScopedEnv resources("BRELMONT_RESOURCE_DIR", fs::path(BRELMONT_PJLHELPER).parent_path().string());
    const ScopedEnv tmp("TMPDIR", scratch.path().string());

    auto run = brelmont::testing::runProgram(BRELMONT_CLI, "doctor", scratch.path());
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    for (const std::string& expected :
         {std::string("ok: CUPS scheduler: answers"), "ok: queue Valdo_Sheet: Valdo Trac, " + valdo.uri() + " attached",
          std::string("problem: queue Orvin_200: Orvin, socket://127.0.0.1:9 not attached or not answering; fix: "),
          std::string("problem: network embosser socket://127.0.0.1:10 (configured): does not answer; fix: "),
          "ok: network embosser " + valdo.uri() + " (of a queue): answers",
          std::string("problem: network embosser socket://127.0.0.1:9 (of a queue): does not answer"),
          std::string("ok: device helper: "), "ok: shared folder " + (scratch.path() / "shared").string() + ": owner "})
        EXPECT_TRUE(hasLine(run.out, expected)) << expected << "\n" << run.out;

    cups.stop();
    run = brelmont::testing::runProgram(BRELMONT_CLI, "doctor", scratch.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(hasLine(run.out, "problem: CUPS scheduler: does not answer")) << run.out;
    EXPECT_TRUE(hasLine(run.out, "problem: Brelmont queues: no print queue leads to a Brelmont embosser")) << run.out;
}

} // namespace
