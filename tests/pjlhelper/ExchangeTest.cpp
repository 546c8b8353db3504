// PJL and data exchanges of the real pjlhelper with simulated embossers on 127.0.0.1.
#include "PjlhelperRun.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>

using namespace brelmont::testing;

namespace {

const std::string Uel = "\x1b%-12345X";
const std::string Status = Uel + "@PJL INFO STATUS\n";

TEST(PjlhelperExchange, RequestsAndRepliesAsTheDeviceGivesThem) {
    const ScratchDir scratch("pjlhelper-exchange");
    std::string data(1 << 20, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = char(i * 7 + (i >> 9) + 1);
    const struct {
        const char* name;
        std::optional<std::vector<std::string>> sim; // a simulated Orvin with these options, or none
        std::string device;                          // the address when there is no simulator
        const char* digits;                          // send the file, read the reply
        std::optional<std::string> request;          // none: the file does not exist
        int quietMs, replyMs;
        int status; // the exit status
        std::string outStarts;
        int formFeeds; // in the reply; -1: not checked
        std::string errStarts;
        int minMs, maxMs;
        std::string logged; // in the simulator's log
        // clang-format off
    } rows[] = {
        // A long quiet time: only the form feeds can end these replies quickly.
        {"the reply ends at its form feed", std::vector<std::string>{}, "", "11", Status, 3000, 5000, 0, "@PJL INFO STATUS [", 1, "", 0, 1500, "INFO STATUS"},
        // (Two queries in one request are counted by PjlhelperParts; the reader waits past a form
        // feed in the unasked status's row.)
        {"an unasked status does not end the reply", std::vector<std::string>{"--unasked", "1", "--delay", "300"}, "", "11",
         Status, 3000, 5000, 0, "@PJL USTATUS DEVICE\r\nCODE=10001\r\n\f@PJL INFO STATUS [", 2, "", 300, 2000, ""},
        {"F 0 sends nothing", std::vector<std::string>{}, "", "01", std::nullopt, 200, 5000, 0, "", 0, "", 0, 1500, "connection opened"},
        {"settings wait only for quiet", std::vector<std::string>{}, "", "11", Uel + "@PJL DEFAULT PAPER=LETTER\n@PJL SERVICE UPDATE\n",
         300, 5000, 0, "", 0, "", 300, 1500, "@PJL DEFAULT PAPER=LETTER"},
        {"a silent device fails in bounded time", std::vector<std::string>{"--delay", "60000"}, "", "11", Status, 300, 800, 4, "",
         0, "pjlhelper: reading the reply: ", 800, 2500, ""},
        {"a write the device reset unread", std::vector<std::string>{"--reset-after", "0"}, "", "11", Uel + "@PJL DEFAULT PAPER=LETTER\n",
         300, 5000, 5, "", 0, "pjlhelper: after sending the request: the device reset the connection", 0, 2500, "connection reset unread"},
        // The helper stops reading at the cap by itself, whatever its caller would hold.
        {"an endless reply passes the cap", std::vector<std::string>{"--endless", "1"}, "", "11", Status, 3000, 4000, 6, "", -1,
         "pjlhelper: reading the reply: the reply passed ", 0, 3000, "INFO STATUS"},
        {"a connection closed without a reply", std::vector<std::string>{"--drop", "1"}, "", "11", Status, 300, 5000, 5, "", 0,
         "pjlhelper: reading the reply: the device closed the connection without replying", 0, 2500, "connection dropped without a reply"},
        {"a refused connection", std::nullopt, "socket://127.0.0.1:9", "11", Status, 300, 800, 3, "", 0,
         "pjlhelper: connecting to socket://127.0.0.1:9: ", 0, 5000, ""},
        {"an unreadable file", std::vector<std::string>{}, "", "11", std::nullopt, 300, 800, 1, "", 0, "pjlhelper: reading ", 0, 5000, ""},
        {"a USB printer not attached", std::nullopt, "usb://Brelmont/Orvin%20200?serial=NONE", "11", Status, 300, 800, 3, "", 0,
         "pjlhelper: connecting to usb://Brelmont/Orvin%20200?serial=NONE: ", 0, 5000, ""},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto sim = row.sim ? std::make_unique<EmbosserSim>("orvin", *row.sim) : nullptr;
        const std::filesystem::path file = scratch.path() / "request";
        std::filesystem::remove(file);
        if (row.request) std::ofstream(file, std::ios::binary) << *row.request;
        const ProgramRun r = runPjlhelper({std::string(1, row.digits[0]), std::string(1, row.digits[1]), "1", "1", "1",
                                           file.string(), sim ? sim->uri() : row.device},
                                          "BRELMONT_PJL_QUIET_MS=" + std::to_string(row.quietMs) +
                                              " BRELMONT_PJL_REPLY_TIMEOUT_MS=" + std::to_string(row.replyMs) +
                                              " BRELMONT_PJL_CONNECT_TIMEOUT_MS=2000");
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_TRUE(r.out.starts_with(row.outStarts)) << r.out;
        if (row.formFeeds >= 0) { EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\f'), row.formFeeds) << r.out; }
        if (row.formFeeds > 0) { EXPECT_TRUE(r.out.ends_with("\f")) << r.out; }
        if (row.outStarts.empty()) { EXPECT_EQ(r.out, ""); }
        EXPECT_TRUE(r.err.starts_with(row.errStarts)) << r.err;
        EXPECT_GE(r.elapsed.count(), row.minMs);
        EXPECT_LT(r.elapsed.count(), row.maxMs);
        for (int i = 0; i < 40 && !row.logged.empty() && sim->logCount(row.logged) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the device may still be reading
        if (!row.logged.empty()) { EXPECT_EQ(sim->logCount(row.logged), 1) << sim->logText(); }
        if (sim && row.digits[0] == '0') { EXPECT_EQ(sim->logCount("INFO"), 0); }
    }

    // Data arrives whole, also when the device sends bytes unasked (a connection closed with
    // unread bytes is reset, and the tail of a firmware file must not be lost).
    for (const std::vector<std::string>& options : {std::vector<std::string>{}, {"--unasked", "1"}}) {
        const EmbosserSim sim("orvin", options);
        std::ofstream(scratch.path() / "data", std::ios::binary) << data;
        const ProgramRun r =
            runPjlhelper({"1", "0", "1", "1", "1", (scratch.path() / "data").string(), sim.uri()}, "BRELMONT_PJL_QUIET_MS=200");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(sim.receivedData(data.size()) == data) << options.size();
    }
}

} // namespace
