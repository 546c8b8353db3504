// The firmware rules without devices or servers: the Orvin's version in its device line, the
// decision by version text, what each family needs before a send, and the catalogue's strict shape.
#include "firmware/Decision.h"
#include "firmware/FirmwareSend.h"
#include "firmware/FirmwareUpdate.h"
#include "firmware/net/CatalogueJson.h"

#include <gtest/gtest.h>

using namespace brelmont::firmware;

TEST(FirmwareRules, TheOrvinsVersionIsReadFromItsDeviceLine) {
    // clang-format off
    for (const auto& [line, version, model] : {std::tuple{"MDL:Karro Orvin;S:00107030;", "3.7.1", 221203}, // a second number of 7 is an Ivra
                                               {"MDL:Karro Orvin;S:00204010;F:1;", "1.4.2", 221201},
                                               {"MDL:Karro Orvin;S:0011", "0.0.17", 221201}}) { // what is missing counts as 0
        // clang-format on
        const auto read = orvinVersionFromDeviceLine(line);
        ASSERT_TRUE(read) << line;
        EXPECT_EQ(std::tuple(read->version, read->model), std::tuple(version, model)) << line;
    }
    EXPECT_FALSE(orvinVersionFromDeviceLine("MFG:Brelmont;MDL:Karro Orvin;"));
}

// Versions are compared as texts: any difference is an offer, equal ones are not; a version that
// could not be read offers whatever the catalogue holds for the model.
TEST(FirmwareRules, AnUpdateIsOfferedWhenTheVersionTextsDiffer) {
    const FirmwareCatalogue catalogue{{{"1.2.10", "https://h/o.bin", "bin", 221201, 10, std::nullopt},
                                       {"9.9.9", "https://h/v.bin", "bin", 121201, 10, std::nullopt}}};
    // clang-format off
    for (const auto& [device, override, model, offered] : {std::tuple{"1.2.9", false, 221201, true}, {"1.2.11", false, 221201, true},
             {"1.2.10", false, 221201, false}, {"0.0.0", false, 221201, false}, {"0.0.0", true, 221201, true},
             {"1.2.10", true, 221201, true}, {"1.0.0", false, 131201, false}}) {
        // clang-format on
        const Decision d = decide(catalogue, "Hall", DeviceVersion{device, override, model});
        EXPECT_EQ(d.offered, offered) << device << " " << model;
        EXPECT_EQ(d.message, "Device Hall\nFirmware " + std::string(device) + "\n\n" +
                                 (offered ? "Firmware Update Version 1.2.10 is available for Hall\n"
                                          : "No firmware update available for Hall\n"));
    }
    const Decision unknown = decide(std::nullopt, "Hall", DeviceVersion{"0.0.0", true, 221201});
    EXPECT_FALSE(unknown.offered);
    EXPECT_EQ(unknown.message, "Device Hall\nFirmware 0.0.0\n\nCould not check for a firmware update for Hall\n");
}

TEST(FirmwareRules, EachFamilySendsByItsTransportOnlyInUpdateMode) {
    // clang-format off
    const struct { int64_t model; Transport transport; const char* ready; const char* notReady; const char* alert; } cases[] = {
        {20802, Transport::Queue, "MDL:Tessaline 30RT;S:04020000;", "MDL:Tessaline 30RT;S:04020423;", "holding down all 4 buttons"},
        {80803, Transport::Direct, "MDL:Quorrin;F:1;", "MDL:Quorrin;S:02041100;", "all 3 buttons on the operator panel.\nWait the for red"},
        {221201, Transport::Direct, "MDL:Karro Orvin;F:1;", "MDL:Karro Orvin;S:00204010;", "all 3 buttons on the operator panel.\nWait for the red"},
        {121201, Transport::Queue, "", "", nullptr}, {221203, Transport::Queue, "", "", nullptr}, {131207, Transport::None, "", "", nullptr},
    };
    // clang-format on
    for (const auto& c : cases) {
        const SendPlan plan = sendPlan(c.model);
        EXPECT_EQ(plan.transport, c.transport) << c.model;
        EXPECT_EQ(notReady(plan, c.ready), "") << c.model;
        const std::string_view alert = notReady(plan, c.notReady);
        EXPECT_EQ(alert.starts_with("Firmware could not be installed!Power cycle the embosser while "), c.alert != nullptr)
            << alert;
        EXPECT_NE(alert.find(c.alert ? c.alert : ""), std::string_view::npos) << c.model;
    }
    EXPECT_EQ(directAddress("direct usb://Brelmont/Quorrin?serial=9 \"B\" \"B\" \"MDL:Quorrin;F:1;\" \"\""),
              "usb://Brelmont/Quorrin?serial=9");
}

// A failed send can be tried again: Update is offered again. A file one byte short is refused; a
// digest matches whatever case its hex digits are in (a wrong one is FirmwareSim's); nothing is sent
// to an embosser not in update mode. (The walk from the offer to the sent file is the window's test.)
TEST(FirmwareRules, UpdateStaysOfferedWhereTheWalkCanGoOn) {
    FirmwareUpdate update;
    const std::vector<uint8_t> file(10, 7);
    update.checked({221201, "Hall", "Hall", "usb://x", ""}, DeviceVersion{"1.0", false, 221201},
                   FirmwareCatalogue{{{"2.0", "https://h/o.bin", "bin", 221201, 10, std::string(64, 'a')}}});
    const auto step = [&](FirmwareState state, bool enabled, std::string_view title) {
        EXPECT_EQ(update.state(), state);
        EXPECT_EQ(update.updateEnabled(), enabled) << int(state);
        EXPECT_EQ(update.updateTitle(), title) << int(state);
    };
    step(FirmwareState::Offered, true, "Download");
    EXPECT_FALSE(update.received(std::vector<uint8_t>(9, 7), std::string(64, 'a'))); // one byte short of the entry's size
    ASSERT_TRUE(update.received(file, std::string(64, 'A')));
    EXPECT_FALSE(update.startSending("MDL:Karro Orvin;S:00204010;").empty()); // not in update mode: nothing is sent
    step(FirmwareState::NotReady, true, "Update");
    EXPECT_TRUE(update.startSending("MDL:Karro Orvin;F:1;").empty());
    step(FirmwareState::Sending, false, "Update");
    update.sendFinished({brelmont::printer::ExchangeStatus::Dropped, "gone"});
    step(FirmwareState::SendFailed, true, "Update");
    EXPECT_TRUE(update.startSending("MDL:Karro Orvin;F:1;").empty());
    update.sendFinished({});
    step(FirmwareState::Sent, false, "Update");

    FirmwareUpdate none; // said in words, with what to do
    none.noDevice();
    EXPECT_EQ(none.info(), "No embosser is attached. Connect one, switch it on, and try again.");
    EXPECT_FALSE(none.updateEnabled());
}

TEST(FirmwareRules, TheCatalogueIsDecodedStrictly) {
    const std::string entry = R"({"version":"1.0","url":"https://h/f","ext":"bin","model":221201,"size":5)";
    // clang-format off
    for (const auto& [what, body, decoded] : std::initializer_list<std::tuple<const char*, std::string, bool>>{
             {"unknown members ignored", R"({"x":1,"fw":[)" + entry + R"(,"notes":"new"}]})", true},
             {"no entries", R"({"fw":[]})", true},
             {"a bad digest", R"({"fw":[)" + entry + R"(,"sha256":"xyz"}]})", false},
             {"a model in quotes", R"({"fw":[{"version":"1","url":"u","ext":"e","model":"221201","size":5}]})", false},
             {"a negative size", R"({"fw":[{"version":"1","url":"u","ext":"e","model":1,"size":-5}]})", false},
             {"no bytes", R"({"fw":[{"version":"1","url":"u","ext":"e","model":1,"size":0}]})", false},
             {"the largest file", R"({"fw":[{"version":"1","url":"u","ext":"e","model":1,"size":67108864}]})", true},
             {"one byte more", R"({"fw":[{"version":"1","url":"u","ext":"e","model":1,"size":67108865}]})", false},
             {"a missing url", R"({"fw":[{"version":"1","ext":"e","model":1,"size":5}]})", false},
             {"no fw", R"({"firmware":[]})", false}, {"not JSON", "<html>", false}})
        // clang-format on
        EXPECT_EQ(decodeCatalogue(QByteArray::fromStdString(body)).has_value(), decoded) << what;
    // What a decoded entry holds is FirmwareSim's: the offer, the download and its size.
    // Texts to be shown carry no control characters: an escape sequence could rewrite the screen.
    const auto spoof = decodeCatalogue(QByteArray::fromStdString(
        R"({"fw":[{"version":"1.0\u001b[2J\rFirmware 9.9.9\u0085","url":"u","ext":"e","model":1,"size":5}]})"));
    ASSERT_TRUE(spoof && spoof->fw.size() == 1);
    EXPECT_EQ(spoof->fw[0].version, "1.0\\x1B[2J\\x0DFirmware 9.9.9\\x85");
}
