// The print queues that lead to the maker's embossers, their model codes, and which are attached.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::printer {

struct PrinterItem {
    std::string deviceUri;
    std::string queue;
    std::string name; // the queue's human-readable name
    int64_t model = 0;
    bool connected = false;
};

class Printers {
public:
    // Discovers the queues: "lpstat -e", the device listing once, one "lpoptions -p" per queue.
    Printers();

    std::vector<PrinterItem> items() const;

    // The first device-listing line whose model code is `code`; empty when there is none.
    static std::string findAttachedDevice(int64_t code);
    // The value after `key` in "lpoptions -p" output: quoted in single quotes, or up to a blank.
    static std::string optionValue(std::string_view text, std::string_view key);
    // Whether a device-listing line names the address as a whole blank- or quote-delimited word.
    static bool lineNamesDevice(std::string_view line, std::string_view deviceUri);

    std::vector<std::string> m_deviceUris;
    std::vector<std::string> m_queues;
    std::vector<std::string> m_printerNames;
    std::vector<std::string> m_makeAndModel;
    std::vector<int64_t> m_modelNumbers;
    std::vector<bool> m_connected;
};

} // namespace brelmont::printer
