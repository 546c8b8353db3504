#include "sendfile/TestPage.h"

#include "driver/geometry/CellPlaces.h"
#include "jobwriter/TestPage.h"
#include "preferences/OptionListing.h"
#include "preferences/OptionStore.h"
#include "printer/WorkFile.h"

namespace brelmont::sendfile {

std::string queueBrailleSpacing(std::string_view queue, std::string* error) {
    const preferences::PrintOption spacing = preferences::findOption(
        preferences::parseOptionListing(preferences::OptionStore::listing(queue, error)), "BrailleSpacing");
    if (spacing.selected < 0 || size_t(spacing.selected) >= spacing.values.size()) return {};
    return spacing.values[size_t(spacing.selected)];
}

TestPageOutcome printTestPage(const printer::PrinterItem& queue, const printer::SharedStop& stop) {
    TestPageOutcome outcome;
    std::string error;
    const std::string chosen = queueBrailleSpacing(queue.queue, &error);
    if (!error.empty()) {
        outcome.sent = {SendOutcome::Status::NotStarted, "the queue's options could not be read: " + error};
        return outcome;
    }
    outcome.spacing = std::string(driver::physicalSpacing(chosen).name);
    const testing::ByteVector page = testing::makeTestPage(queue.model, outcome.spacing);
    const printer::WorkFile file("testpage", page.data(), page.size());
    if (!file.error().empty()) {
        outcome.sent = {SendOutcome::Status::NotStarted, "the test page could not be written: " + file.error()};
        return outcome;
    }
    outcome.sent = send(file.path().string(), queue.queue, std::chrono::minutes(2), stop);
    return outcome;
}

} // namespace brelmont::sendfile
