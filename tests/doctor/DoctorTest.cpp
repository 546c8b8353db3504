// brelmont-cli doctor against real parts: a private CUPS server with queues leading to a running
// simulator and to an address where nothing answers, scratch folders standing for /sys, /dev and
// the shared folder, and helper programs that run or do not.
#include "doctor/Checks.h"

#include "CupsServer.h"
#include "EmbosserSim.h"
#include "FileText.h"
#include "ProgramRun.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace brelmont::doctor;
using brelmont::testing::ScopedEnv;
using brelmont::testing::ScratchDir;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& text, mode_t mode = 0644) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
    ::chmod(path.c_str(), mode);
}

bool hasLine(const std::string& out, const std::string& start) { return ("\n" + out).find("\n" + start) != std::string::npos; }

} // namespace

TEST(Doctor, UsbEmbossersByTheirNodes) {
    ScratchDir scratch("doctor-usb");
    EXPECT_EQ(line(checkUsbEmbossers(scratch.path() / "sys", scratch.path() / "dev")[0]), "ok: USB embossers: none plugged in");
    // Open to all; root's only (no udev rule); gone while looked at; not ours.
    for (const auto& [name, maker, node, mode] : {std::tuple{"1-1", "Brelmont", "001/004", 0666},
                                                  {"1-2", "Brelmont", "001/007", 0600},
                                                  {"2-1", "Brelmont", "", 0},
                                                  {"2-2", "Acme", "002/009", 0600}}) {
        const fs::path device = scratch.path() / "sys/bus/usb/devices" / name;
        for (const auto& [file, text] : {std::pair{"manufacturer", maker},
                                         {"product", "Orvin 200"},
                                         {"busnum", name[0] == '1' ? "1" : "2"},
                                         {"devnum", *node ? node + 4 : "3"}})
            writeFile(device / file, std::string(text) + "\n");
        if (*node) writeFile(scratch.path() / "dev/bus/usb" / node, "", mode_t(mode));
    }
    for (const auto& entry : fs::recursive_directory_iterator(scratch.path()))
        if (entry.is_directory()) ::chmod(entry.path().c_str(), 0755);
    ::chmod(scratch.path().c_str(), 0755);

    // The USB lines as another user sees them (root may open every node), written by a child to a
    // file it was handed open.
    std::FILE* out = std::tmpfile();
    if (const pid_t child = ::fork(); child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(1);
        for (const Finding& f : checkUsbEmbossers(scratch.path() / "sys", scratch.path() / "dev"))
            std::fprintf(out, "%s\n", line(f).c_str());
        ::_exit(std::fflush(out));
    }
    ::wait(nullptr);
    const std::string dev = (scratch.path() / "dev/bus/usb").string(),
                      lines = brelmont::testing::fileText("/proc/self/fd/" + std::to_string(::fileno(out)));
    std::fclose(out);
    EXPECT_TRUE(hasLine(lines, "ok: USB embosser Orvin 200: " + dev + "/001/004: this user may open it")) << lines;
    EXPECT_TRUE(hasLine(lines, "problem: USB embosser Orvin 200: " + dev +
                                   "/001/007: this user may not open it; fix: install the brelmont-companion package"));
    EXPECT_TRUE(hasLine(lines, "problem: USB embosser Orvin 200: " + dev + "/002/003 is missing"));
    EXPECT_EQ(lines.find("/002/009"), std::string::npos);
}

TEST(Doctor, SharedFolderAndHelper) {
    ScratchDir scratch("doctor");
    const fs::path folder = scratch.path() / "Brelmont";
    // The last row is a folder another ordinary user (nobody) owns; only root can give a folder
    // away, and the suite runs as root in CI.
    // clang-format off
    for (const auto& [mode, owner, start] : {std::tuple{0, 0, ": does not exist; fix: "}, // 1: a link to a folder
                                             {1, 0, ": is a symbolic link, which the program does not follow; fix: remove it"},
                                             {0777, 0, "; anyone may remove or replace the files in it; fix: sudo chmod +t "},
                                             {01777, 0, ""}, {0755, 0, ""},
                                             {01777, 65534, "may remove or replace the files every user puts in it; fix: sudo chown root "}}) {
        // clang-format on
        fs::remove_all(folder);
        if (mode == 1) fs::create_directory_symlink(scratch.path(), folder);
        else if (mode) fs::create_directory(folder), ::chmod(folder.c_str(), mode_t(mode));
        if (owner && ::getuid() != 0) continue;
        if (owner) { ASSERT_EQ(::chown(folder.c_str(), uid_t(owner), uid_t(-1)), 0); }
        const Finding f = checkSharedFolder(folder);
        EXPECT_EQ(f.ok, *start == 0) << line(f);
        EXPECT_NE(line(f).find(start), std::string::npos) << line(f);
    }
    EXPECT_NE(line(checkHelper(scratch.path())).find("pjlhelper is missing; fix: reinstall"), std::string::npos);
    // The helper without arguments ends with its usage status 2.
    for (const auto& [script, ok] : {std::pair{"exit 2", true}, {"exit 0", false}, {"", false}}) {
        writeFile(scratch.path() / "pjlhelper", *script ? std::string("#!/bin/sh\n") + script : "#!/no/such/shell\n", 0755);
        EXPECT_EQ(checkHelper(scratch.path()).ok, ok) << script; // the real helper's "ok" is the command's test
    }
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
    ASSERT_TRUE(cups.addQueue({"Valdo_Sheet", "Valdo Sheet", valdo.uri(), "Valdo"}, &error)) << error;
    ASSERT_TRUE(cups.addQueue({"Orvin_200", "Orvin 200", "socket://127.0.0.1:9", "Orvin"}, &error)) << error;
    cups.applyEnvironment();
    const ScopedEnv shared("BRELMONT_SHARED_DIR", cups.sharedFolder().string());
    const ScopedEnv devices("BRELMONT_DEVICES", "socket://127.0.0.1:10");
    const ScopedEnv resources("BRELMONT_RESOURCE_DIR", fs::path(BRELMONT_PJLHELPER).parent_path().string());
    const ScopedEnv tmp("TMPDIR", scratch.path().string());

    auto run = brelmont::testing::runProgram(BRELMONT_CLI, "doctor");
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    for (const std::string& expected :
         {std::string("ok: CUPS scheduler: answers"), "ok: queue Valdo_Sheet: Valdo Trac, " + valdo.uri() + " attached",
          std::string("problem: queue Orvin_200: Orvin, socket://127.0.0.1:9 not attached or not answering; fix: "),
          std::string("problem: network embosser socket://127.0.0.1:10 (configured): does not answer; fix: "),
          "ok: network embosser " + valdo.uri() + " (of a queue): answers", std::string("ok: device helper: "),
          "ok: shared folder " + cups.sharedFolder().string() + ": owner "})
        EXPECT_TRUE(hasLine(run.out, expected)) << expected << "\n" << run.out;

    // Stopped, and pointed at an address where nothing listens: the machine's own scheduler, which
    // answers on a desktop, must not stand in for it.
    cups.stop();
    const ScopedEnv nowhere("CUPS_SERVER", "127.0.0.1:9");
    const ScopedEnv noClientConf("CUPS_SERVERROOT", scratch.path().string());
    run = brelmont::testing::runProgram(BRELMONT_CLI, "doctor");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(hasLine(run.out, "problem: CUPS scheduler: does not answer")) << run.out;
    EXPECT_TRUE(
        hasLine(run.out, "problem: Brelmont queues: no print queue leads to a Brelmont embosser; fix: run brelmont-cli setup"))
        << run.out;
}
