#include "room/RoomStatus.h"

#include "firmware/DeviceVersion.h"
#include "printer/DeviceUri.h"
#include "printer/ModelTable.h"
#include "toolbox/CommonRules.h"
#include "toolbox/Families.h"
#include "toolbox/ToolboxModel.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace brelmont::room {

namespace {

using printer::PjlItem;

printer::ExchangeBounds timeLimit() { return {std::chrono::steady_clock::now() + toolbox::operationTimeLimit(), {}}; }

// DISPLAY, CODE and ONLINE of a status reply.
void readStatus(const std::vector<PjlItem>& items, EmbosserStatus& status) {
    for (const PjlItem& item : items) {
        if (item.key == "DISPLAY") status.display = item.value;
        if (item.key == "ONLINE") status.online = item.value == "TRUE";
        if (item.key == "CODE") {
            status.code = printer::firstInteger(item.value);
            status.codeText = std::string(toolbox::rules::statusInWords(*status.code));
        }
    }
}

// As the toolbox window shows it: the identity, the status list and the ink labels it filled.
void readToolbox(const toolbox::FamilyDescription& family, const printer::PrinterItem& queue, const Channels& channels,
                 EmbosserStatus& status) {
    toolbox::ToolboxModel model(family, channels.pjl, channels.data);
    if (!model.load({queue})) {
        status.problem = model.loadFailure().describe();
        return;
    }
    status.answering = true;
    if (const std::string named = model.control("m_tfModelNumber")->text; !named.empty()) status.model = named;
    readStatus(model.list(toolbox::ListId::Status), status);
    for (const toolbox::InkCartridge& cartridge : family.inkCartridges) {
        const toolbox::ControlState* health = model.control(cartridge.health);
        if (health && health->assigned)
            status.ink.push_back({std::string(cartridge.name), health->text, model.control(cartridge.fill)->text});
    }
}

} // namespace

EmbosserStatus embosserStatus(const printer::PrinterItem& queue, const std::string& deviceLine, const Channels& channels) {
    EmbosserStatus status;
    status.printer = queue;
    status.model = printer::modelName(queue.model).value_or(queue.makeAndModel);
    if (deviceLine.empty()) {
        status.problem = printer::ExchangeOutcome{printer::ExchangeStatus::NotAttached, "not in the device listing"}.describe();
        return status;
    }
    const toolbox::ToolboxFamily* family = toolbox::familyForModel(queue.model);
    if (family && family->description) {
        readToolbox(*family->description, queue, channels, status);
    } else {
        const printer::QueryResult asked =
            printer::askWithRetry(printer::pjl::Status, queue.deviceUri, channels.pjl, timeLimit());
        status.answering = asked.items.has_value();
        if (asked.items) readStatus(*asked.items, status);
        else status.problem = asked.outcome.describe();
    }
    if (!status.answering) return status;
    const firmware::AttachedEmbosser embosser{queue.model, queue.name, queue.queue, queue.deviceUri, deviceLine};
    const firmware::DeviceVersion version = firmware::readDeviceVersion(embosser, {channels.pjl, channels.data, timeLimit()});
    // A model the version read does not know keeps the version it starts from.
    if (!version.override && !version.cancelled && version.version != firmware::DeviceVersion{}.version)
        status.firmware = version.version;
    return status;
}

std::vector<EmbosserStatus> roomStatus(const printer::Printers& printers, const Channels& channels, int atOnce) {
    const std::vector<printer::PrinterItem>& queues = printers.items();
    std::vector<EmbosserStatus> room(queues.size());
    std::atomic<size_t> next = 0;
    const auto work = [&] {
        for (size_t i = next++; i < queues.size(); i = next++) {
            const auto& listing = printers.deviceListing();
            const auto line = std::find_if(listing.begin(), listing.end(), [&](const std::string& l) {
                return !l.empty() && printer::lineNamesDevice(l, queues[i].deviceUri);
            });
            room[i] = embosserStatus(queues[i], queues[i].connected && line != listing.end() ? *line : std::string(), channels);
        }
    };
    std::vector<std::thread> workers;
    for (int n = 0; n < std::min<int>(atOnce, int(queues.size())); ++n) workers.emplace_back(work);
    for (std::thread& worker : workers) worker.join();
    return room;
}

} // namespace brelmont::room
