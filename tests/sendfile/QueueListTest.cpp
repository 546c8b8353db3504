#include "sendfile/QueueList.h"

#include <gtest/gtest.h>

using namespace brelmont::sendfile;

namespace {

using Queues = std::vector<PrinterItem>;

Queues choices(std::vector<std::string> names, std::vector<std::string> makeAndModel, std::vector<int64_t> models) {
    Queues items;
    for (size_t i = 0; i < names.size(); ++i)
        items.push_back({"", "q" + std::to_string(i), names[i], models[i], false, makeAndModel[i]});
    return items;
}

} // namespace

TEST(QueueList, SendFileWindowNamesEveryQueueAndPrefersTheLastKnownModel) {
    struct Case { const char* what; Queues given; std::vector<std::string> entries; int selected; };
    const Case cases[] = {
        {"no queues", choices({}, {}, {}), {}, -1},
        {"one unknown model", choices({"Office"}, {"Acme"}, {0}), {"Office"}, 0},
        {"two known models: the later one", choices({"A", "B", "C"}, {"a", "b", "c"}, {221201, 131201, 0}), {"A", "B", "C"}, 1},
        {"no known model: the first", choices({"A", "B"}, {"a", "b"}, {0, -3}), {"A", "B"}, 0},
        {"empty name: make-and-model", choices({"", "B"}, {"Brelmont Orvin 200", "b"}, {221201, 0}),
         {"Brelmont Orvin 200", "B"}, 0},
        {"model code 1 counts", choices({"A", "B"}, {"a", "b"}, {0, 1}), {"A", "B"}, 1},
    };
    for (const Case& c : cases) {
        const QueueListing listing = sendFileListing(c.given);
        EXPECT_EQ(listing.m_entries, c.entries) << c.what;
        EXPECT_EQ(listing.m_selected, c.selected) << c.what;
    }
}

TEST(QueueList, SendJobSheetPrefersTheLastQueueOfTheJobsModel) {
    struct Case { const char* what; Queues given; int64_t printerType; std::vector<std::string> entries; int selected; };
    const Case cases[] = {
        {"no queues", choices({}, {}, {}), 221201, {}, -1},
        {"the matching queue", choices({"A", "B", "C"}, {"a", "b", "c"}, {131201, 221201, 121201}), 221201, {"A", "B", "C"}, 1},
        {"two matching: the later", choices({"A", "B", "C"}, {"a", "b", "c"}, {221201, 0, 221201}), 221201, {"A", "B", "C"}, 2},
        {"no match: none", choices({"A", "B"}, {"a", "b"}, {131201, 121201}), 80803, {"A", "B"}, -1},
        {"empty name stays empty", choices({"", "B"}, {"Brelmont Orvin 200", "b"}, {221201, 0}), 221201, {"", "B"}, 0},
    };
    for (const Case& c : cases) {
        const QueueListing listing = sendJobListing(c.given, c.printerType);
        EXPECT_EQ(listing.m_entries, c.entries) << c.what;
        EXPECT_EQ(listing.m_selected, c.selected) << c.what;
    }
}

TEST(QueueList, QueueAtAnIndexOnlyWithinTheList) {
    const Queues c = choices({"A", "B"}, {"a", "b"}, {0, 0});
    EXPECT_EQ(queueAt(c, 1), "q1");
    EXPECT_EQ(queueAt(c, -1), std::nullopt);
    EXPECT_EQ(queueAt(c, 2), std::nullopt);
}
