// Device IDs: reading fields, answers to "@PJL INFO ID", and the listing line built from them.
#include "DeviceId.h"
#include "ListingLine.h"

#include <gtest/gtest.h>

using namespace brelmont::pjlhelper;

TEST(PjlhelperDeviceId, FieldsAreFoundByAnyOfTheirNames) {
    const std::string id = "MFG:Brelmont; MDL: Orvin 200 ;CMD:PJL;";
    EXPECT_EQ(deviceIdField(id, {"MANUFACTURER", "MFG"}), "Brelmont");
    EXPECT_EQ(deviceIdField(id, {"mdl"}), "Orvin 200");
    EXPECT_EQ(deviceIdField(id, {"SN"}), "");
}

TEST(PjlhelperDeviceId, MakeAndModel) {
    const MakeAndModel names = makeAndModelOf("MFG:Brelmont;MDL:Karro Orvin 40;");
    EXPECT_EQ(names.make, "Brelmont");
    EXPECT_EQ(names.model, "Karro Orvin 40");
    EXPECT_EQ(makeAndModelOf("MDL:Brelmont Valdo;").make, "Brelmont");
}

TEST(PjlhelperDeviceId, ReplyNamingTheModelOnly) {
    EXPECT_EQ(deviceIdFromInfoIdReply("@PJL INFO ID\r\n\"Orvin 200\"\r\n\f"), "MFG:Brelmont;MDL:Orvin 200;");
    EXPECT_EQ(deviceIdFromInfoIdReply("@PJL INFO ID\nTessaline 30RT\n\f"), "MFG:Brelmont;MDL:Tessaline 30RT;");
}

TEST(PjlhelperDeviceId, ReplyHoldingAWholeDeviceId) {
    EXPECT_EQ(deviceIdFromInfoIdReply("@PJL INFO ID\r\n\"MFG:Brelmont;MDL:Tessaline 30RT;S:0402;\"\r\n\f"),
              "MFG:Brelmont;MDL:Tessaline 30RT;S:0402;");
}

TEST(PjlhelperDeviceId, EchoAfterUniversalExitIsFound) {
    EXPECT_EQ(deviceIdFromInfoIdReply("\x1b%-12345X@PJL INFO ID\r\n\"Quorrin\"\r\n\f"), "MFG:Brelmont;MDL:Quorrin;");
}

TEST(PjlhelperDeviceId, RepliesWithoutAnAnswerGiveNothing) {
    EXPECT_EQ(deviceIdFromInfoIdReply(""), "");
    EXPECT_EQ(deviceIdFromInfoIdReply("@PJL INFO ID\r\n\f"), "");
    EXPECT_EQ(deviceIdFromInfoIdReply("@PJL INFO ID\r\n\"\"\r\n\f"), "");
    EXPECT_EQ(deviceIdFromInfoIdReply("HTTP/1.1 400 Bad Request\r\n\r\n"), "");
}

TEST(PjlhelperListingLine, BackendReportForm) {
    EXPECT_EQ(listingLine({"socket://10.0.0.7:9100", "MFG:Brelmont;MDL:Orvin 200;", "network"}),
              "direct socket://10.0.0.7:9100 \"Brelmont Orvin 200\" \"Brelmont Orvin 200 network\" "
              "\"MFG:Brelmont;MDL:Orvin 200;\" \"\"");
}

TEST(PjlhelperListingLine, QuotesInsideFieldsAreEscaped) {
    EXPECT_EQ(listingLine({"usb://Brelmont/X", "MFG:Brelmont;MDL:X \"2\";", "USB"}),
              "direct usb://Brelmont/X \"Brelmont X \\\"2\\\"\" \"Brelmont X \\\"2\\\" USB\" "
              "\"MFG:Brelmont;MDL:X \\\"2\\\";\" \"\"");
}
