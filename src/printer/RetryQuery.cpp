#include "printer/RetryQuery.h"

namespace brelmont::printer {

QueryResult askWithRetry(const PjlQuery& query, const std::string& device, const PjlExchange& exchange) {
    const bool sensors = &query == &pjl::Sensors;
    QueryResult result;
    while (result.sends < MaxSends && !result.items) {
        ++result.sends;
        const ReplyLines reply = exchange(std::string(query.request), device);
        result.items = sensors ? readSensorList(reply, query) : readInfoList(reply, query);
    }
    return result;
}

} // namespace brelmont::printer
