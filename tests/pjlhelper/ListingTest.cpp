// The device listing of the real pjlhelper with simulated embossers on 127.0.0.1.
#include "PjlhelperRun.h"

#include "ScopedEnv.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

using namespace brelmont::testing;

namespace {

// "$N" in a text becomes the address of simulator N, "$PN" its port.
std::string expand(std::string text, const std::vector<std::unique_ptr<EmbosserSim>>& sims) {
    for (size_t i = sims.size(); i-- > 0;) {
        for (const auto& [key, value] :
             {std::pair{"$P" + std::to_string(i), std::to_string(sims[i]->port())}, {"$" + std::to_string(i), sims[i]->uri()}})
            for (size_t at; (at = text.find(key)) != std::string::npos;) text.replace(at, key.size(), value);
    }
    return text;
}

TEST(PjlhelperListing, NetworkEmbossersAreAskedForTheirIdentity) {
    const ScratchDir scratch("pjlhelper-listing");
    const ScopedEnv listing("BRELMONT_PJL_LIST_TIMEOUT_MS", "1500"); // a loaded test machine answers slower than an embosser
    const std::string orvin = " \"Brelmont Orvin 200\" \"Brelmont Orvin 200 network\" \"MFG:Brelmont;MDL:Orvin 200;\" \"\"";
    const struct {
        const char* name;
        std::vector<std::vector<std::string>> sims; // family, then options
        std::string env, devicesFile, probe;
        std::string lines; // the network lines, "$N" for the addresses
        // clang-format off
    } rows[] = {
        {"devices named in the environment",
         {{"orvin", "--device-id", "Orvin 200"}, {"tessaline", "--device-id", "MFG:Brelmont;MDL:Tessaline 30RT;CMD:PJL;S:0402;"}},
         "BRELMONT_DEVICES='\t$0 \n$1 '", "", "",
         "direct $0" + orvin + "\ndirect $1 \"Brelmont Tessaline 30RT\" \"Brelmont Tessaline 30RT network\" "
         "\"MFG:Brelmont;MDL:Tessaline 30RT;CMD:PJL;S:0402;\" \"\"\n"},
        // Written with a trailing "/" as a queue may hold it: the line carries it unchanged. Comments,
        // blank lines, blanks around an address and CR LF line ends are the file's forms.
        {"devices named in the devices file", {{"valdo", "--device-id", "Valdo Trac"}, {"orvin", "--device-id", "Orvin 200"}},
         "-u BRELMONT_DEVICES", "# our embossers\r\n\r\n  $0 \r\n   # $0\n$1/", "",
         "direct $0 \"Brelmont Valdo Trac\" \"Brelmont Valdo Trac network\" \"MFG:Brelmont;MDL:Valdo Trac;\" \"\"\ndirect $1/" + orvin + "\n"},
        // One that refuses is left out at once, one that stays silent at the listing's deadline, not
        // after the long reply time, a malformed address skipped; one that talks without end at the
        // identity's size. (A reply that is no identity is the parts test's.)
        {"unreachable, silent and malformed", {{"orvin", "--device-id", "Orvin 200"}, {"orvin", "--delay", "60000"}},
         "BRELMONT_PJL_REPLY_TIMEOUT_MS=60000 BRELMONT_DEVICES='socket://127.0.0.1:9 socket://127.0.0.1:notaport ipp://x $1 $0'", "",
         "", "direct $0" + orvin + "\n"},
        {"endless identity", {{"orvin", "--endless", "1"}}, "BRELMONT_PJL_LIST_TIMEOUT_MS=20000 BRELMONT_DEVICES=$0", "", "", ""},
        // Queue addresses are asked beside the configured ones, each device once however it is written.
        {"queue addresses probed", {{"orvin", "--device-id", "Orvin 200"}, {"valdo", "--device-id", "Valdo Trac"}},
         "BRELMONT_DEVICES=$0", "", "--probe $1 SOCKET://127.0.0.1:$P0",
         "direct $0" + orvin + "\ndirect $1 \"Brelmont Valdo Trac\" \"Brelmont Valdo Trac network\" \"MFG:Brelmont;MDL:Valdo Trac;\" \"\"\n"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::unique_ptr<EmbosserSim>> sims;
        for (const auto& s : row.sims)
            sims.push_back(std::make_unique<EmbosserSim>(s[0], std::vector<std::string>(s.begin() + 1, s.end())));
        std::filesystem::remove_all(scratch.path() / "brelmont");
        if (!row.devicesFile.empty()) {
            std::filesystem::create_directories(scratch.path() / "brelmont");
            std::ofstream(scratch.path() / "brelmont" / "devices") << expand(row.devicesFile, sims);
        }
        std::vector<std::string> probe;
        std::istringstream words(expand(row.probe, sims));
        for (std::string w; words >> w;) probe.push_back(w);
        const ProgramRun r = runPjlhelper(probe, expand(row.env, sims) + " XDG_CONFIG_HOME=" + scratch.path().string());
        EXPECT_EQ(r.status, 0) << r.err;
        std::string network;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);)
            if (line.find("socket://") != std::string::npos) network += line + "\n";
        EXPECT_EQ(network, expand(row.lines, sims));
        EXPECT_LT(r.elapsed, std::chrono::seconds(3));
        EXPECT_EQ(sims[0]->logCount("connection opened"), 1); // asked once
    }
}

} // namespace
