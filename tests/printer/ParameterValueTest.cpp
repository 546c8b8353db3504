// A value asked by name: which reply line holds it, what survives the filter, and when the
// asking stops.
#include "printer/ParameterValue.h"

#include <gtest/gtest.h>

using namespace brelmont::printer;

namespace {

TEST(ParameterValue, TheLineAfterTheQuestionFilteredWithinTenSends) {
    using S = ExchangeStatus;
    const std::string q = "@PJL DINQUIRE GATEWAY";
    const struct {
        const char* what;
        std::vector<ExchangeResult> replies; // the last one repeats
        std::string value;
        int sends;
        S status;
    } cases[] = {
        {"answered", {{{}, {"\x1b" + q, "<10.0.0.1>\x7f\xc3\xa9`?@=", "\f"}}}, "10.0.0.1", 1, S::Done},
        {"third time", {{{}, {"@JPL DINQUIRE GATEWAY", "x"}}, {{}, {"ready"}}, {{}, {q, "a_b~ c;d"}}}, "a_b~ c;d", 3, S::Done},
        {"never", {{{}, {"@PJL DINQUIRE OTHER", "1"}}}, "", 10, S::NotUnderstood},
        {"dropped, then answered", {{{S::Dropped, "closed"}, {}}, {{}, {q, "1"}}}, "1", 2, S::Done},
        {"unreachable", {{{S::NoReply, "timeout"}, {}}}, "", 1, S::NoReply},
    };
    for (const auto& c : cases) {
        int sends = 0;
        const PjlExchange exchange = [&](const std::string& request, const std::string&, const ExchangeBounds&) {
            EXPECT_EQ(request, "\x1b%-12345X" + q + "\n");
            return c.replies[std::min<size_t>(size_t(sends++), c.replies.size() - 1)];
        };
        const ParameterValue asked = askParameterValue(q, "socket://127.0.0.1:9", exchange, {});
        EXPECT_EQ(asked.value, c.value) << c.what;
        EXPECT_EQ(sends, c.sends) << c.what;
        EXPECT_EQ(asked.outcome.status, c.status) << c.what;
    }
}

} // namespace
