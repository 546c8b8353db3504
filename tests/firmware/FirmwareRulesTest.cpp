// The firmware rules without devices or servers: the Orvin's version in its device line, the
// decision by version text, what each family needs before a send, and the catalogue's strict shape.
#include "firmware/Decision.h"
#include "firmware/FirmwareSend.h"
#include "firmware/net/CatalogueJson.h"

#include <gtest/gtest.h>

using namespace brelmont::firmware;

TEST(FirmwareRules, TheOrvinsVersionIsReadFromItsDeviceLine) {
    struct Case { const char* line; const char* version; int64_t model; };
    const Case cases[] = {
        {"MFG:Brelmont;MDL:Karro Orvin;S:00102030;", "3.2.1", 221201},
        {"mfg:brelmont;mdl:karro orvin;s:00102030;", "3.2.1", 221201},
        {"MDL:Karro Orvin;S:00107030;", "3.7.1", 221203}, // a second number of 7 is an Ivra
        {"MDL:Karro Orvin;S:00204010;F:1;", "1.4.2", 221201},
        {"MDL:Karro Orvin;S:0011", "0.0.17", 221201},      // what is missing counts as 0
    };
    for (const Case& c : cases) {
        const auto read = orvinVersionFromDeviceLine(c.line);
        ASSERT_TRUE(read) << c.line;
        EXPECT_EQ(read->version, c.version) << c.line;
        EXPECT_EQ(read->model, c.model) << c.line;
    }
    EXPECT_FALSE(orvinVersionFromDeviceLine("MFG:Brelmont;MDL:Karro Orvin;"));
}

// Versions are compared as texts: any difference is an offer, equal ones are not; a version that
// could not be read offers whatever the catalogue holds for the model.
TEST(FirmwareRules, AnUpdateIsOfferedWhenTheVersionTextsDiffer) {
    const Jasons catalogue{{{"1.2.10", "https://h/o.bin", "bin", 221201, 10, std::nullopt},
                            {"9.9.9", "https://h/v.bin", "bin", 121201, 10, std::nullopt}}};
    struct Case { const char* device; bool override; int64_t model; bool offered; };
    const Case cases[] = {
        {"1.2.9", false, 221201, true},  {"1.2.11", false, 221201, true}, {"1.2.10", false, 221201, false},
        {"0.0.0", false, 221201, false}, {"0.0.0", true, 221201, true},   {"1.2.10", true, 221201, true},
        {"1.0.0", false, 131201, false},
    };
    for (const Case& c : cases) {
        const Decision d = decide(catalogue, "Hall", DeviceVersion{c.device, c.override, c.model});
        EXPECT_EQ(d.offered, c.offered) << c.device << " " << c.model;
        EXPECT_EQ(d.message, c.offered ? "Device Hall\nFirmware " + std::string(c.device) +
                                             "\n\nFirmware Update Version 1.2.10 is available for Hall\n"
                                       : "Device Hall\nFirmware " + std::string(c.device) +
                                             "\n\nNo firmware update available for Hall\n");
    }
    EXPECT_FALSE(decide(std::nullopt, "Hall", DeviceVersion{"0.0.0", true, 221201}).offered);
}

TEST(FirmwareRules, EachFamilySendsByItsTransportOnlyInUpdateMode) {
    struct Case { int64_t model; Transport transport; const char* ready; const char* notReady; const char* alertStart; };
    const Case cases[] = {
        {20802, Transport::Queue, "MDL:Tessaline 30RT;S:04020000;", "MDL:Tessaline 30RT;S:04020423;", "Firmware could not be installed!Power cycle the embosser while holding down all 4 buttons"},
        {80803, Transport::Direct, "MDL:Quorrin;F:1;", "MDL:Quorrin;S:02041100;", "Firmware could not be installed!Power cycle the embosser while holding down all 3 buttons on the operator panel.\nWait the for red"},
        {221201, Transport::Direct, "MDL:Karro Orvin;F:1;", "MDL:Karro Orvin;S:00204010;", "Firmware could not be installed!Power cycle the embosser while holding down all 3 buttons on the operator panel.\nWait for the red"},
        {121201, Transport::Queue, "", "", nullptr},
        {131201, Transport::Queue, "", "", nullptr},
        {221203, Transport::Queue, "", "", nullptr},
        {131207, Transport::None, "", "", nullptr},
    };
    for (const Case& c : cases) {
        const SendPlan plan = sendPlan(c.model);
        EXPECT_EQ(plan.transport, c.transport) << c.model;
        EXPECT_EQ(notReady(plan, c.ready), "") << c.model;
        if (c.alertStart) {
            EXPECT_TRUE(notReady(plan, c.notReady).starts_with(c.alertStart)) << c.model;
        }
    }
    EXPECT_EQ(directAddress("direct usb://Brelmont/Quorrin?serial=9 \"B\" \"B\" \"MDL:Quorrin;F:1;\" \"\""),
              "usb://Brelmont/Quorrin?serial=9");
}

TEST(FirmwareRules, ADownloadIsTheEntrysFileBySizeAndDigest) {
    const std::string digest(64, 'a');
    const Jason sized{"1", "https://h/f", "bin", 1, 100, std::nullopt};
    const Jason digested{"1", "https://h/f", "bin", 1, 100, digest};
    EXPECT_TRUE(downloadMatches(100, "anything", sized));
    EXPECT_FALSE(downloadMatches(99, "anything", sized)); // one byte short
    EXPECT_TRUE(downloadMatches(100, std::string(64, 'A'), digested));
    EXPECT_FALSE(downloadMatches(100, std::string(64, 'b'), digested));
}

TEST(FirmwareRules, TheCatalogueIsDecodedStrictly) {
    const std::string entry = R"({"version":"1.0","url":"https://h/f","ext":"bin","model":221201,"size":5)";
    struct Case { const char* what; std::string body; bool decoded; };
    const Case cases[] = {
        {"an entry", R"({"fw":[)" + entry + "}]}", true},
        {"unknown members ignored", R"({"x":1,"fw":[)" + entry + R"(,"notes":"new"}]})", true},
        {"a digest", R"({"fw":[)" + entry + R"(,"sha256":")" + std::string(64, 'f') + R"("}]})", true},
        {"no entries", R"({"fw":[]})", true},
        {"a bad digest", R"({"fw":[)" + entry + R"(,"sha256":"xyz"}]})", false},
        {"a model in quotes", R"({"fw":[{"version":"1","url":"u","ext":"e","model":"221201","size":5}]})", false},
        {"a fractional size", R"({"fw":[{"version":"1","url":"u","ext":"e","model":1,"size":5.5}]})", false},
        {"a negative size", R"({"fw":[{"version":"1","url":"u","ext":"e","model":1,"size":-5}]})", false},
        {"a missing url", R"({"fw":[{"version":"1","ext":"e","model":1,"size":5}]})", false},
        {"no fw", R"({"firmware":[]})", false},
        {"not an object", R"([1,2])", false},
        {"not JSON", "<html>", false},
    };
    for (const Case& c : cases) {
        const auto decoded = decodeCatalogue(QByteArray::fromStdString(c.body));
        EXPECT_EQ(decoded.has_value(), c.decoded) << c.what;
    }
    const auto one = decodeCatalogue(QByteArray::fromStdString(R"({"fw":[)" + entry + "}]}"));
    ASSERT_TRUE(one && one->fw.size() == 1);
    EXPECT_EQ(one->fw[0].url, "https://h/f");
    EXPECT_EQ(one->fw[0].model, 221201);
    EXPECT_EQ(one->fw[0].size, 5);
}
