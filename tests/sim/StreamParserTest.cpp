// The parser decides the same however the bytes are cut into pieces.
#include "StreamParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using brelmont::sim::StreamParser;

namespace {
struct Recorder : StreamParser::Sink {
    std::vector<std::string> events;
    std::string dataBytes;
    void pjlLine(std::string_view line) override { events.push_back("pjl:" + std::string(line)); }
    void printerCommand(std::string_view text) override { events.push_back("cmd:" + std::string(text)); }
    void binaryCommand(std::string_view bytes) override { events.push_back("bin:" + std::to_string(bytes.size())); }
    void data(std::string_view bytes) override
    {
        if (events.empty() || events.back() != "data")
            events.push_back("data");
        dataBytes += bytes;
    }
    void download(std::string_view name, std::string_view bytes, bool complete) override
    {
        events.push_back("dl:" + std::string(name) + ":" + std::to_string(bytes.size()) + (complete ? "" : ":partial"));
    }
};

const std::string Uel = "\x1b%-12345X";

Recorder parse(const std::string& stream, size_t piece, bool binary = false)
{
    Recorder r;
    StreamParser p(r, binary);
    for (size_t i = 0; i < stream.size(); i += piece)
        p.feed(std::string_view(stream).substr(i, piece));
    p.finish();
    return r;
}

void expectSameForAllPieces(const std::string& stream, const std::vector<std::string>& events, bool binary = false)
{
    for (size_t piece : {size_t(1), size_t(2), size_t(3), size_t(7), stream.size()}) {
        SCOPED_TRACE(piece);
        EXPECT_EQ(parse(stream, piece, binary).events, events);
    }
}

TEST(StreamParser, PjlLinesWithCarriageReturns)
{
    expectSameForAllPieces(Uel + "@PJL USTATUS TIMED=1\r\n@PJL INFO VARIABLES\r\n",
                           {"pjl:@PJL USTATUS TIMED=1", "pjl:@PJL INFO VARIABLES"});
}

TEST(StreamParser, LastLineWithoutLineFeedCountsAtTheEnd)
{
    expectSameForAllPieces(Uel + "@PJL INFO ID", {"pjl:@PJL INFO ID"});
}

TEST(StreamParser, FillStateReset)
{
    expectSameForAllPieces(Uel + "\x1b%Pinkjet.clearnozzlecount 0;", {"cmd:inkjet.clearnozzlecount 0"});
}

TEST(StreamParser, DownloadTakesCountedBytesEvenWhenTheyLookLikePjl)
{
    std::string table = "@PJL INFO ID\n" + Uel;
    table.resize(256, '\n');
    expectSameForAllPieces(Uel + "@PJL FSDOWNLOAD SIZE=256 NAME=\"BRAILLETABLE0\"\n" + table + "@PJL ECHO x\n",
                           {"pjl:@PJL FSDOWNLOAD SIZE=256 NAME=\"BRAILLETABLE0\"", "dl:BRAILLETABLE0:256",
                            "pjl:@PJL ECHO x"});
}

TEST(StreamParser, DownloadCutShort)
{
    expectSameForAllPieces("@PJL FSDOWNLOAD SIZE=10 NAME=\"T\"\nabc",
                           {"pjl:@PJL FSDOWNLOAD SIZE=10 NAME=\"T\"", "dl:T:3:partial"});
}

TEST(StreamParser, JobDataRunsToTheNextUniversalExit)
{
    const std::string data = "\x1b*b12W@PJL not a command\n\x1b%-1234";
    for (size_t piece : {size_t(1), size_t(4), size_t(100)}) {
        const Recorder r = parse(Uel + "@PJL ENTER LANGUAGE=X\n" + data + Uel + "@PJL EOJ\n", piece);
        EXPECT_EQ(r.events, (std::vector<std::string>{"pjl:@PJL ENTER LANGUAGE=X", "data", "pjl:@PJL EOJ"}));
        EXPECT_EQ(r.dataBytes, data);
    }
}

TEST(StreamParser, BytesThatAreNotPjlAreData)
{
    const Recorder r = parse("\x7f" "ELF\x01\x02", 2);
    EXPECT_EQ(r.events, std::vector<std::string>{"data"});
    EXPECT_EQ(r.dataBytes, "\x7f" "ELF\x01\x02");
    EXPECT_EQ(parse("@PJ", 1).dataBytes, "@PJ");
}

TEST(StreamParser, BinaryCommandOnlyWhereTheFamilyHasThem)
{
    const std::string request("\x1b\x80\x34\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\xd1\x00", 16);
    expectSameForAllPieces(request, {"bin:16"}, true);
    EXPECT_EQ(parse(request, 3, false).events, std::vector<std::string>{"data"});
}

} // namespace
