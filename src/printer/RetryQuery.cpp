#include "printer/RetryQuery.h"

namespace brelmont::printer {

QueryResult askWithRetry(const PjlQuery& query, const std::string& device, const PjlExchange& exchange,
                         const ExchangeBounds& bounds, const ReplyParser& parse) {
    const bool sensors = &query == &pjl::Sensors;
    QueryResult result;
    while (result.sends < MaxSends) {
        ++result.sends;
        const ExchangeResult reply = exchange(std::string(query.request), device, bounds);
        if (reply.ok()) {
            result.items = parse     ? parse(reply.reply)
                           : sensors ? readSensorList(reply.reply, query)
                                     : readInfoList(reply.reply, query);
            if (result.items) {
                result.outcome = {};
                return result;
            }
            result.outcome = {ExchangeStatus::NotUnderstood,
                              "no reply of the shape asked for in " + std::to_string(result.sends) + " sends"};
        } else {
            result.outcome = reply;
            if (reply.status != ExchangeStatus::Dropped) return result;
        }
    }
    return result;
}

} // namespace brelmont::printer
