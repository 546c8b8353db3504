// Cuts the byte stream of one connection into what a PJL device reacts to: PJL lines, the
// universal exit, "ESC%P...;" printer commands, 16-byte binary commands, counted downloads and
// everything else (print jobs, firmware), which is passed on as data. Bytes may arrive in any
// pieces; nothing is decided before enough of them are there.
#pragma once

#include <string>
#include <string_view>

namespace brelmont::sim {

class StreamParser {
public:
    class Sink {
    public:
        virtual ~Sink() = default;
        virtual void pjlLine(std::string_view line) = 0;        // "@PJL ...", without line end or "\r"
        virtual void printerCommand(std::string_view text) = 0; // what stands between "ESC%P" and ";"
        virtual void binaryCommand(std::string_view bytes) = 0; // 16 bytes starting ESC 0x80
        virtual void data(std::string_view bytes) = 0;
        virtual void download(std::string_view name, std::string_view bytes, bool complete) = 0;
    };

    static constexpr std::string_view UniversalExit = "\x1b%-12345X";
    static constexpr size_t BinaryCommandSize = 16;

    StreamParser(Sink& sink, bool binaryCommands);

    void feed(std::string_view bytes);
    // The peer sent its last byte: whatever is pending is decided now.
    void finish();

private:
    enum class Mode { Command, Data, Download };

    bool step(bool atEnd);
    bool stepCommand(bool atEnd);
    bool stepEscape(bool atEnd);
    bool stepData(bool atEnd);
    bool stepDownload();
    void endOfLine(std::string line);

    Sink& m_sink;
    bool m_binaryCommands;
    std::string m_buf;
    size_t m_pos = 0;
    Mode m_mode = Mode::Command;
    std::string m_downloadName;
    size_t m_downloadLeft = 0;
    std::string m_downloadBytes;
};

} // namespace brelmont::sim
