#include "driver/pdf/PatternFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace brelmont::driver {

namespace {

constexpr std::string_view Header = "brelmont-patterns 1";
constexpr std::string_view Keyword = "texture";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Editors leave blanks at line ends, and files written on Windows end each line with CR LF.
std::string_view withoutTrailingBlanks(std::string_view line) {
    while (!line.empty() && (isBlank(line.back()) || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

// A character as an error message shows it: printable ones as they are, the rest by their code,
// so a message never carries control bytes from the file.
std::string shown(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x21 && byte < 0x7F) return std::string("'") + c + "'";
    char code[16];
    std::snprintf(code, sizeof code, "0x%02X", unsigned(byte));
    return code;
}

std::string hexColour(const std::array<uint8_t, 3>& rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", unsigned(rgb[0]), unsigned(rgb[1]), unsigned(rgb[2]));
    return text;
}

// The value of a tile row character; none for anything else.
std::optional<uint8_t> dotValue(char c) {
    if (c == '.') return 0;
    if (c == 'x') return Texture::TopLevel;
    if (c >= '1' && c <= '7') return uint8_t(c - '0');
    return std::nullopt;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::array<uint8_t, 3>> parseColour(std::string_view word) {
    if (word.size() != 7 || word[0] != '#') return std::nullopt;
    std::array<uint8_t, 3> rgb{};
    for (size_t i = 0; i < 3; ++i) {
        const int high = hexDigit(word[1 + 2 * i]), low = hexDigit(word[2 + 2 * i]);
        if (high < 0 || low < 0) return std::nullopt;
        rgb[i] = uint8_t(high * 16 + low);
    }
    return rgb;
}

bool validName(std::string_view name) {
    return !name.empty() && name.size() <= Texture::MaxNameLength && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    });
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        const size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        if (i > start) out.push_back(text.substr(start, i - start));
    }
    return out;
}

class Parser {
public:
    std::optional<PatternSet> run(std::string_view text, std::string* error) {
        for (size_t pos = 0; pos < text.size();) {
            const size_t end = std::min(text.find('\n', pos), text.size());
            const std::string_view line = text.substr(pos, end - pos);
            pos = end + 1;
            ++m_line;
            if (!take(line)) return fail(error);
        }
        if (!m_headerSeen) return fail(error, "not a pattern file: it has no \"" + std::string(Header) + "\" line");
        if (!finishTexture()) return fail(error);
        if (m_set.textures.empty()) return fail(error, "the file has no texture");
        return std::move(m_set);
    }

private:
    PatternSet m_set;
    std::vector<int64_t> m_textureLines; // where each texture began, for the messages
    int64_t m_line = 0;
    bool m_headerSeen = false;
    bool m_rowsOpen = false; // the last texture still takes rows
    std::string m_error;

    std::optional<PatternSet> fail(std::string* error, std::string why = {}) {
        if (error) *error = why.empty() ? std::move(m_error) : std::move(why);
        return std::nullopt;
    }

    bool refuse(const std::string& why) {
        m_error = "line " + std::to_string(m_line) + ": " + why;
        return false;
    }

    bool take(std::string_view line) {
        // Checked before anything else: a NUL byte says the file is not text at all, not even in a comment.
        if (const size_t nul = line.find('\0'); nul != std::string_view::npos)
            return refuse("NUL byte at column " + std::to_string(nul + 1));
        if (!line.empty() && line.front() == '#') return true;
        line = withoutTrailingBlanks(line);
        if (line.empty()) {
            // A blank line before a texture's first row leaves it open; after a row it ends the tile.
            if (m_rowsOpen && m_set.textures.back().height > 0) m_rowsOpen = false;
            return true;
        }
        if (!m_headerSeen) {
            if (line != Header) return refuse("a pattern file begins with the line \"" + std::string(Header) + "\"");
            m_headerSeen = true;
            return true;
        }
        if (line.starts_with(Keyword) && (line.size() == Keyword.size() || isBlank(line[Keyword.size()])))
            return startTexture(line.substr(Keyword.size()));
        return addRow(line);
    }

    bool finishTexture() {
        m_rowsOpen = false;
        if (m_set.textures.empty() || m_set.textures.back().height > 0) return true;
        m_line = m_textureLines.back();
        return refuse("texture \"" + m_set.textures.back().name + "\" has no rows");
    }

    bool startTexture(std::string_view rest) {
        const int64_t line = m_line;
        if (!finishTexture()) return false;
        m_line = line;
        if (m_set.textures.size() >= MaxTextures) return refuse("more than " + std::to_string(MaxTextures) + " textures");
        const std::vector<std::string_view> parts = words(rest);
        if (parts.empty()) return refuse("a texture needs a name");
        if (!validName(parts[0]))
            return refuse("a texture name is 1 to " + std::to_string(Texture::MaxNameLength) + " letters, digits, '_' or '-'");
        if (parts.size() > 2) return refuse("a texture line holds only a name and a colour");
        Texture texture;
        texture.name = std::string(parts[0]);
        if (parts.size() == 2) {
            texture.colour = parseColour(parts[1]);
            if (!texture.colour) return refuse("a texture's colour is written #RRGGBB, in hexadecimal");
        }
        // At most MaxTextures to compare with, so these searches stay bounded.
        for (size_t i = 0; i < m_set.textures.size(); ++i) {
            const Texture& other = m_set.textures[i];
            if (other.name == texture.name)
                return refuse("texture \"" + texture.name + "\" is already defined on line " + std::to_string(m_textureLines[i]));
            if (texture.colour && other.colour == texture.colour)
                return refuse("colour " + hexColour(*texture.colour) + " already has texture \"" + other.name + "\"");
        }
        m_set.textures.push_back(std::move(texture));
        m_textureLines.push_back(m_line);
        m_rowsOpen = true;
        return true;
    }

    bool addRow(std::string_view row) {
        for (size_t i = 0; i < row.size(); ++i)
            if (!dotValue(row[i])) return refuse("unknown character " + shown(row[i]) + " at column " + std::to_string(i + 1));
        if (!m_rowsOpen) return refuse("a tile row outside a texture (a blank line ends a tile)");
        Texture& texture = m_set.textures.back();
        const auto width = int64_t(row.size());
        if (width > Texture::MaxSide)
            return refuse("a row of " + std::to_string(width) + " positions; at most " + std::to_string(Texture::MaxSide));
        if (texture.height > 0 && width != texture.width)
            return refuse("a row of " + std::to_string(width) + " positions in texture \"" + texture.name +
                          "\", whose rows have " + std::to_string(texture.width));
        if (texture.height == Texture::MaxSide)
            return refuse("texture \"" + texture.name + "\" has more than " + std::to_string(Texture::MaxSide) + " rows");
        texture.width = width;
        ++texture.height;
        for (const char c : row) texture.dots.push_back(*dotValue(c));
        return true;
    }
};

struct CloseFd {
    int fd;
    ~CloseFd() {
        if (fd >= 0) ::close(fd);
    }
};

// realpath(3) as a path; none (errno set) when a part of it is missing.
std::optional<std::string> realPath(const std::filesystem::path& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real) return std::nullopt;
    return std::string(real.get());
}

bool inside(const std::string& file, const std::string& folder) {
    if (file.size() <= folder.size() || file.compare(0, folder.size(), folder) != 0) return false;
    return folder.back() == '/' || file[folder.size()] == '/';
}

} // namespace

uint8_t Texture::at(int64_t x, int64_t y) const {
    if (width <= 0 || height <= 0 || dots.size() != size_t(width * height)) return 0;
    const int64_t column = ((x % width) + width) % width, row = ((y % height) + height) % height;
    return dots[size_t(row * width + column)];
}

std::optional<PatternSet> parsePatterns(std::string_view text, std::string* error) { return Parser().run(text, error); }

std::optional<PatternSet> readPatternFile(const std::string& value, const std::filesystem::path& patternsFolder,
                                          std::string* error) {
    const auto fail = [&](const std::string& why) -> std::optional<PatternSet> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (value.empty()) return fail("no pattern file was named");
    const std::filesystem::path path =
        std::filesystem::path(value).is_absolute() ? std::filesystem::path(value) : patternsFolder / value;
    const std::string name = "pattern file " + path.string();
    // A NUL would cut the path short where the system reads it, and so name another file.
    if (value.find('\0') != std::string::npos) return fail(name + " has a NUL byte in its name");

    const std::optional<std::string> folder = realPath(patternsFolder);
    if (!folder)
        return fail(name + " cannot be read: the patterns folder " + patternsFolder.string() +
                    " cannot be found: " + std::strerror(errno));
    const std::optional<std::string> real = realPath(path);
    if (!real) return fail(name + " cannot be found: " + std::strerror(errno));
    // Any user may write into the shared folder: a link there must not lead the driver, which runs
    // as the printing system, to read files elsewhere.
    if (!inside(*real, *folder)) return fail(name + " is not inside the patterns folder " + *folder);

    // O_NONBLOCK, so that a FIFO put in the file's place cannot hold the job; it is refused below.
    const CloseFd file{::open(real->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW)};
    if (file.fd < 0) return fail(name + " cannot be opened: " + std::strerror(errno));
    struct stat st {};
    if (::fstat(file.fd, &st) != 0) return fail(name + " cannot be read: " + std::strerror(errno));
    if (!S_ISREG(st.st_mode)) return fail(name + " is not a plain file");

    // One byte past the limit tells a file that is too long, without reading the rest of it.
    std::string text(MaxPatternFileBytes + 1, '\0');
    size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(file.fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(name + " cannot be read: " + std::strerror(errno));
        if (n == 0) break;
        got += size_t(n);
    }
    if (got > MaxPatternFileBytes) return fail(name + " is larger than " + std::to_string(MaxPatternFileBytes / 1024) + " KiB");
    text.resize(got);

    std::string parseError;
    std::optional<PatternSet> set = parsePatterns(text, &parseError);
    if (!set) return fail(name + ": " + parseError);
    return set;
}

} // namespace brelmont::driver
