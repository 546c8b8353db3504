// The rules of adding an embosser, without a device or a printing system: which model a device ID
// names, typed addresses, queue names, which devices are offered, and what lpadmin's end means.
#include "printer/DeviceUri.h"
#include "setup/AddQueue.h"
#include "setup/Candidates.h"
#include "setup/Identify.h"
#include "setup/TypedAddress.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace brelmont::setup;
using brelmont::driver::ModelProfile;
using brelmont::printer::RunResult;
using ::testing::AllOf;
using ::testing::HasSubstr;

namespace {

const ModelProfile& profile(std::string_view makeAndModel) {
    const ModelProfile* p = brelmont::driver::profileByMakeAndModel(makeAndModel);
    if (!p) throw std::runtime_error("no profile " + std::string(makeAndModel));
    return *p;
}

std::string modelOf(std::string_view deviceId) {
    const ModelProfile* p = profileForDeviceId(deviceId);
    return p ? std::string(p->makeAndModel) : "none";
}

} // namespace

// Every profile is what an embosser naming itself by the profile's own device model text is.
// Where several profiles share a model code, the MDL text decides; a device ID of another maker,
// or a Tessaline without its firmware field, is none of ours.
TEST(SetupIdentify, DeviceIdsNameTheirProfiles) {
    for (const ModelProfile& p : brelmont::driver::modelProfiles()) {
        const std::string deviceId = "MFG:Brelmont;MDL:" + std::string(brelmont::driver::deviceModelText(p)) + ";S:04020423;";
        EXPECT_EQ(modelOf(deviceId), p.makeAndModel) << deviceId;
    }
    // A whole ID as an embosser sends it; more words after a profile's text; the longest text that
    // fits; IDs that name no profile (other makers' are the model table's test).
    // clang-format off
    const std::pair<const char*, const char*> rows[] = {
        {"MFG:Brelmont;MDL:Karro Orvin;CMD:PJL;CLS:PRINTER;DES:Brelmont Karro Orvin;S:00204010;", "Orvin 200"},
        {"MFG:Brelmont;MDL:Karro Talmore 100;", "Talmore 100"}, {"MFG:Brelmont;MDL:Karro Orvin 200;", "Orvin 200"},
        {"MFG:Brelmont;MDL:Valdo Tracker;", "Valdo Sheet"}, {"MFG:Brelmont;MDL:Karro Pim Jr;", "Pim Jr"},
        {"MFG:Brelmont;MDL:Tessaline 30RT;CMD:PJL;", "none"}, {"MFG:Brelmont;MDL:Unknown One;", "none"},
    };
    // clang-format on
    for (const auto& [deviceId, expected] : rows) EXPECT_EQ(modelOf(deviceId), expected) << deviceId;
}

TEST(SetupIdentify, DeviceIdFieldsAndAnnouncements) {
    EXPECT_EQ(deviceIdField("MFG:Brelmont; mdl: Valdo Trac ;CMD:PJL;", "MDL"), "Valdo Trac");
    EXPECT_EQ(deviceIdField("MANUFACTURER:Brelmont;MODEL:Merriden", "model"), "Merriden");
    EXPECT_EQ(deviceIdField("MFG:Brelmont;", "MDL"), "");
    EXPECT_EQ(modelOf("MFG:Brelmont;MDL:Fenwa;MODEL:Merriden;"), "Fenwa");

    EXPECT_EQ(deviceIdFromAnnouncement({"txtvers=1", "usb_MFG=Brelmont", "usb_MDL=Merriden"}), "MFG:Brelmont;MDL:Merriden;");
    EXPECT_EQ(deviceIdFromAnnouncement({"usb_MFG=Brelmont"}), "");
    // clang-format off
    const std::pair<std::vector<std::string>, bool> announcements[] = {
        {{"usb_MFG=Brelmont", "usb_MDL=Merriden"}, true}, {{"usb_MFG=Acme", "ty=Brelmont lookalike"}, false}, {{"txtvers=1"}, true},
        {{"ty=Brelmont Valdo Trac"}, true}, {{"ty=Acme LaserBlaster 9"}, false}, {{"product=(Acme LaserBlaster)"}, false}};
    // clang-format on
    for (const auto& [txt, ours] : announcements) EXPECT_EQ(announcementMayBeOurs(txt), ours) << ::testing::PrintToString(txt);
}

TEST(SetupAddress, TypedAddresses) {
    // clang-format off
    const std::pair<const char*, const char*> good[] = {
        {"socket://hall", "socket://hall:9100"}, {"hall", "socket://hall:9100"}, {"192.168.1.5:9101", "socket://192.168.1.5:9101"},
        {"  SOCKET://Hall.example.org:9200/ ", "socket://Hall.example.org:9200"}, {"socket://[::1]", "socket://[::1]:9100"}, {"[fd00::5]:9100", "socket://[fd00::5]:9100"}};
    // clang-format on
    for (const auto& [text, uri] : good) {
        const TypedAddress typed = parseTypedAddress(text);
        EXPECT_TRUE(typed.ok()) << text << ": " << typed.error;
        EXPECT_EQ(typed.uri, uri) << text;
    }
    for (const char* text :
         {"", "   ", "ipp://hall", "usb://Brelmont/Merriden", "socket://", "socket://:9100", "socket://hall:", "socket://hall:0",
          "socket://hall:65536", "socket://hall:91a", "socket://hall/queue", "socket://hall?x=1", "socket://hall;reboot",
          "socket://hall name", "socket://$(id)", "socket://[::1", "socket://[hall]", "hall:9100:1"}) {
        const TypedAddress typed = parseTypedAddress(text);
        EXPECT_FALSE(typed.ok()) << text << " gave " << typed.uri;
        EXPECT_TRUE(typed.uri.empty()) << text;
    }
    // One embosser, however the port is written.
    EXPECT_TRUE(brelmont::printer::sameDevice(parseTypedAddress("socket://h").uri, "socket://h:9100"));
    EXPECT_TRUE(brelmont::printer::sameDevice(parseTypedAddress("h").uri, "socket://h"));
}

// Letters, digits, '_' and '-' only; unique among the queues, compared without regard to case.
TEST(SetupNames, QueueNamesOfModelAndPlace) {
    // clang-format off
    const struct { const char* model; std::string place; std::vector<std::string> taken; std::string expected; } rows[] = {
        {"Merriden", "hall", {}, "Merriden_hall"}, {"Valdo Trac", "embosser-2.example.org", {}, "Valdo_Trac_embosser-2_example_org"},
        {"Merriden", "  ", {}, "Merriden"},
        {"Merriden", "hall", {"merriden_HALL"}, "Merriden_hall_2"},
        {"Merriden", "hall", {"Merriden_hall", "Merriden_hall_2"}, "Merriden_hall_3"},
        {"Merriden", "a/b#c' $(x)", {}, "Merriden_a_b_c_x"},
        {"Merriden", std::string(300, 'x'), {}, "Merriden_" + std::string(127 - 9, 'x')},
        {"Merriden", std::string(300, 'x'), {"Merriden_" + std::string(127 - 9, 'x')}, "Merriden_" + std::string(127 - 11, 'x') + "_2"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const std::string name = proposeQueueName(profile(row.model), row.place, row.taken);
        EXPECT_EQ(name, row.expected) << row.model << " / " << row.place;
        EXPECT_LE(name.size(), 127u);
        EXPECT_EQ(name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-"), std::string::npos);
    }
}

TEST(SetupCandidates, OfferedLeftOutAndSaidWhy) {
    const std::string merriden = "MFG:Brelmont;MDL:Merriden;", acme = "MFG:Acme;MDL:LaserBlaster 9;";
    const std::vector<ExistingQueue> queues = {{"Hall", "socket://hall"}, {"merriden_md1", "usb://Acme/Other?serial=1"}};
    // clang-format off
    const std::vector<FoundDevice> found = {
        {"usb://Brelmont/Merriden?serial=MD1", merriden, Source::Usb},
        {"usb://Acme/LaserBlaster%209?serial=A1", acme, Source::Usb}, // another maker's: left out, nothing said
        {"socket://hall:9100", merriden, Source::Typed},              // has the queue Hall
        {"socket://annex:9100", "", Source::Typed},                   // did not answer
        {"socket://office:9100", acme, Source::Typed},                // not ours
        {"socket://store:9100", "MFG:Brelmont;MDL:Karro Talmore;", Source::Typed},
        {"socket://10.0.0.7:9100", "", Source::DnsSd, "attic.local", "Brelmont Merriden Attic", {"usb_MFG=Brelmont", "usb_MDL=Fenwa"}},
        {"socket://10.0.0.8:9100", "", Source::DnsSd, "cellar.local", "Cellar printer", {"txtvers=1"}},
        {"socket://10.0.0.9:9100", "MFG:Brelmont;MDL:Valdo Trac;", Source::DnsSd, "hall.local", "Brelmont Valdo Trac"},
        {"socket://10.0.0.10:9100", merriden, Source::Configured},
    };
    // clang-format on
    const Discovery d = candidatesFrom(found, queues);

    std::vector<std::string> offered;
    for (const Candidate& c : d.candidates)
        offered.push_back(c.queueName + " " + std::string(c.profile->makeAndModel) + " " + c.uri + " " +
                          std::string(sourceName(c.source)) + " " + c.description());
    EXPECT_EQ(offered, (std::vector<std::string>{
                           "Merriden_MD1_2 Merriden usb://Brelmont/Merriden?serial=MD1 usb Brelmont Merriden (MD1)",
                           "Talmore_100_store Talmore 100 socket://store:9100 typed Brelmont Talmore 100 (store)",
                           "Fenwa_attic Fenwa socket://10.0.0.7:9100 dns-sd Brelmont Fenwa (attic)",
                           "Valdo_Trac_hall Valdo Trac socket://10.0.0.9:9100 dns-sd Brelmont Valdo Trac (hall)",
                           "Merriden_10_0_0_10 Merriden socket://10.0.0.10:9100 configured Brelmont Merriden (10.0.0.10)",
                       }));

    std::vector<std::pair<std::string, bool>> notes;
    for (const Note& n : d.notes) notes.emplace_back(n.text, n.problem);
    EXPECT_EQ(notes, (std::vector<std::pair<std::string, bool>>{
                         {"socket://hall:9100 already has the queue Hall", false},
                         {"no embosser answered at socket://annex:9100", true},
                         {"socket://office:9100 is not a Brelmont embosser (its device ID: MFG:Acme;MDL:LaserBlaster 9;)", true},
                         {"socket://10.0.0.7:9100 (announced as \"Brelmont Merriden Attic\") did not answer; it is taken for "
                          "what its announcement says",
                          false},
                         {"socket://10.0.0.8:9100 (announced as \"Cellar printer\") did not answer", false},
                     }));
    EXPECT_TRUE(d.anyProblem());
    EXPECT_FALSE(candidatesFrom({found[0]}, queues).anyProblem());
}

TEST(SetupCandidates, ListingLines) {
    // clang-format off
    const std::pair<const char*, ListingEntry> rows[] = {
        {R"(direct socket://127.0.0.1:9100 "Acme \"X\"" "i" "MFG:Acme;MDL:\"X\" \\ 9;" "")",
        {"socket://127.0.0.1:9100", R"(MFG:Acme;MDL:"X" \ 9;)"}}, {"direct socket://h:1", {"socket://h:1", ""}}, {"", {"", ""}},
    };
    // clang-format on
    for (const auto& [line, entry] : rows) {
        const ListingEntry got = parseListingLine(line);
        EXPECT_EQ(got.uri, entry.uri) << line;
        EXPECT_EQ(got.deviceId, entry.deviceId) << line;
    }
}

// A refusal for lack of rights points at the printing administrators' group; any other failure
// is lpadmin's own words; only a clean end is "made".
TEST(SetupLpadmin, OutcomesOfLpadmin) {
    const Candidate c{"socket://hall:9100", "MFG:Brelmont;MDL:Merriden;", &profile("Merriden"), Source::Typed, "hall",
                      "Merriden_hall"};
    using S = RunResult::Status;
    // clang-format off
    const std::tuple<RunResult, AddStatus, std::string> rows[] = {
        {{S::Ended, 0, "", "lpadmin: Printer drivers are deprecated and will stop working in a future version of CUPS.\n", ""},
         AddStatus::Added, "The queue Merriden_hall was made for the Merriden at socket://hall:9100."},
        {{S::Ended, 1, "", "lpadmin: Forbidden\n", ""}, AddStatus::NotAllowed, "(lpadmin: Forbidden)"},
        {{S::Ended, 1, "", "lpadmin: You are not authorized to do that.\n", ""}, AddStatus::NotAllowed, "not authorized"},
        {{S::Ended, 1, "", "lpadmin: Unable to copy PPD file.\n", ""}, AddStatus::Failed,
         "The queue Merriden_hall was not made: lpadmin: Unable to copy PPD file."},
        {{S::TimedOut, -1, "", "", "no end within 60000 ms"}, AddStatus::Failed, "was not made: no end within 60000 ms"},
        {{S::Stopped, -1, "", "lpadmin: Forbidden\n", ""}, AddStatus::Failed, "was not made"},
    };
    // clang-format on
    for (const auto& [run, status, said] : rows) {
        const AddOutcome outcome = outcomeOfLpadmin(run, c, "maria");
        EXPECT_EQ(outcome.status, status) << run.errors;
        EXPECT_THAT(outcome.message, HasSubstr(said));
        EXPECT_EQ(outcome.added(), status == AddStatus::Added);
        if (status == AddStatus::NotAllowed) {
            EXPECT_THAT(outcome.message, AllOf(HasSubstr("sudo usermod -aG lpadmin maria"), HasSubstr("log out and in again")));
        }
    }
}

TEST(SetupLpadmin, EveryValueOfTheCommandIsQuoted) {
    const Candidate c{"socket://[fd00::5]:9100", "", &profile("Valdo Trac"), Source::Typed, "Hall 2 (Annex)",
                      "Valdo_Trac_Hall_2_Annex"};
    const std::string command = lpadminCommand(c, "/usr/share/ppd/brelmont/brelmont-valdo-trac.ppd");
    EXPECT_THAT(command, HasSubstr("lpadmin -p Valdo_Trac_Hall_2_Annex -E -v 'socket://[fd00::5]:9100' -P "
                                   "/usr/share/ppd/brelmont/brelmont-valdo-trac.ppd -D 'Brelmont Valdo Trac (Hall 2 (Annex))' -L "
                                   "'Hall 2 (Annex)'"));
}
