// The send-file window (job model 0 here) prefers the last queue of any known model, else the
// first; the send-job sheet the last queue of the job's model, else none.
#include "sendfile/QueueList.h"

#include <gtest/gtest.h>

using namespace brelmont::sendfile;
using Names = std::vector<std::string>;

TEST(QueueList, EntriesAndFirstSelection) {
    // clang-format off
    struct Case { const char* what; Names names; std::vector<int64_t> models; int64_t job; Names entries; int selected; };
    const Case cases[] = {
        {"no queues", {}, {}, 0, {}, -1},
        {"unknown model: the first", {"A", "B"}, {0, -3}, 0, {"A", "B"}, 0},
        {"known models: the later", {"A", "B", "C"}, {221201, 131201, 0}, 0, {"A", "B", "C"}, 1},
        {"model code 1 counts", {"A", "B"}, {0, 1}, 0, {"A", "B"}, 1},
        {"no name: make-and-model", {"", "B"}, {221201, 0}, 0, {"mm0", "B"}, 0},
        {"job: no queues", {}, {}, 221201, {}, -1},
        {"job: the later match", {"A", "B", "C"}, {221201, 131201, 221201}, 221201, {"A", "B", "C"}, 2},
        {"job: no match", {"A", "B"}, {131201, 121201}, 80803, {"A", "B"}, -1},
        {"job: no name stays empty", {"", "B"}, {221201, 0}, 221201, {"", "B"}, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::vector<PrinterItem> items;
        for (size_t i = 0; i < c.names.size(); ++i)
            items.push_back({"", "q" + std::to_string(i), c.names[i], c.models[i], false, "mm" + std::to_string(i)});
        const QueueListing listing = c.job ? sendJobListing(items, c.job) : sendFileListing(items);
        EXPECT_EQ(listing.m_entries, c.entries) << c.what;
        EXPECT_EQ(listing.m_selected, c.selected) << c.what;
        EXPECT_EQ(queueAt(items, c.selected), c.selected < 0 ? std::nullopt : std::optional("q" + std::to_string(c.selected)));
        EXPECT_EQ(queueAt(items, int(items.size())), std::nullopt);
    }
}
