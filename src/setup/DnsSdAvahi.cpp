#include "setup/DnsSd.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/simple-watch.h>

#include <algorithm>

namespace brelmont::setup {

namespace {

using Clock = std::chrono::steady_clock;

// Announcements taken from one browse: a room full of embossers fits, a network that floods the
// browse with made-up services does not make the list (or the probes after it) grow without end.
constexpr size_t MostAnnouncements = 256;

// What the callbacks of one browse share with the loop that runs them.
struct Browse {
    AvahiClient* client = nullptr;
    int resolving = 0;
    bool allForNow = false;
    std::string failure;
    std::vector<Announcement> found;
};

bool linkLocal(const AvahiAddress& address) {
    return address.proto == AVAHI_PROTO_INET6 && address.data.ipv6.address[0] == 0xfe &&
           (address.data.ipv6.address[1] & 0xc0) == 0x80;
}

void resolved(AvahiServiceResolver* resolver, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event, const char* name,
              const char*, const char*, const char* host, const AvahiAddress* address, uint16_t port, AvahiStringList* txt,
              AvahiLookupResultFlags, void* data) {
    auto* browse = static_cast<Browse*>(data);
    if (event == AVAHI_RESOLVER_FOUND && address && !linkLocal(*address)) {
        char text[AVAHI_ADDRESS_STR_MAX] = "";
        avahi_address_snprint(text, sizeof text, address);
        Announcement found{name ? name : "", host ? host : "", text, port, {}};
        for (AvahiStringList* entry = txt; entry; entry = avahi_string_list_get_next(entry))
            found.txt.emplace_back(reinterpret_cast<const char*>(avahi_string_list_get_text(entry)),
                                   avahi_string_list_get_size(entry));
        browse->found.push_back(std::move(found));
    }
    avahi_service_resolver_free(resolver);
    --browse->resolving;
}

void browsed(AvahiServiceBrowser*, AvahiIfIndex interface, AvahiProtocol protocol, AvahiBrowserEvent event, const char* name,
             const char* type, const char* domain, AvahiLookupResultFlags, void* data) {
    auto* browse = static_cast<Browse*>(data);
    switch (event) {
    case AVAHI_BROWSER_NEW:
        // Each announcement resolved over the protocol it came by, for an address of that protocol.
        if (browse->found.size() + size_t(browse->resolving) < MostAnnouncements &&
            avahi_service_resolver_new(browse->client, interface, protocol, name, type, domain, protocol, AvahiLookupFlags(0),
                                       resolved, browse))
            ++browse->resolving;
        break;
    case AVAHI_BROWSER_ALL_FOR_NOW: browse->allForNow = true; break;
    case AVAHI_BROWSER_FAILURE: browse->failure = avahi_strerror(avahi_client_errno(browse->client)); break;
    default: break;
    }
}

void clientChanged(AvahiClient* client, AvahiClientState state, void* data) {
    auto* browse = static_cast<Browse*>(data);
    if (state == AVAHI_CLIENT_FAILURE) browse->failure = avahi_strerror(avahi_client_errno(client));
}

// Each service once: the first IPv4 answer, else the first answer.
std::vector<Announcement> eachOnce(std::vector<Announcement> all) {
    std::stable_partition(all.begin(), all.end(), [](const Announcement& a) { return a.address.find(':') == std::string::npos; });
    std::vector<Announcement> once;
    for (Announcement& a : all)
        if (std::none_of(once.begin(), once.end(), [&](const Announcement& known) { return known.name == a.name; }))
            once.push_back(std::move(a));
    return once;
}

} // namespace

bool dnsSdBuiltIn() { return true; }

BrowseOutcome browseDnsSd(const std::string& serviceType, std::chrono::milliseconds limit, const printer::SharedStop& stop) {
    BrowseOutcome outcome;
    const auto deadline = Clock::now() + limit;
    AvahiSimplePoll* poll = avahi_simple_poll_new();
    if (!poll) return {{}, "DNS-SD: out of memory"};
    Browse browse;
    int error = 0;
    browse.client = avahi_client_new(avahi_simple_poll_get(poll), AvahiClientFlags(0), clientChanged, &browse, &error);
    if (!browse.client) {
        avahi_simple_poll_free(poll);
        return {{}, std::string("DNS-SD: the Avahi daemon cannot be reached (") + avahi_strerror(error) + ")"};
    }
    if (!avahi_service_browser_new(browse.client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, serviceType.c_str(), nullptr,
                                   AvahiLookupFlags(0), browsed, &browse)) {
        outcome.problem = std::string("DNS-SD: browsing failed (") + avahi_strerror(avahi_client_errno(browse.client)) + ")";
    } else {
        // Short turns, so a stop is seen at once.
        while (browse.failure.empty() && !(browse.allForNow && browse.resolving == 0) && !(stop && stop->stopped())) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) break;
            if (avahi_simple_poll_iterate(poll, int(std::min<long long>(left.count(), 100))) != 0) break;
        }
        if (!browse.failure.empty()) outcome.problem = "DNS-SD: " + browse.failure;
    }
    // Freeing the client frees its browser and the resolvers still at work.
    avahi_client_free(browse.client);
    avahi_simple_poll_free(poll);
    outcome.found = eachOnce(std::move(browse.found));
    return outcome;
}

} // namespace brelmont::setup
