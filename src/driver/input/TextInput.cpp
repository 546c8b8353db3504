#include "driver/input/TextInput.h"

#include "driver/input/LineReader.h"

namespace brelmont::driver {

namespace {

// Lines are translated in pieces of about this size, cut at a blank: liblouis takes a line at once.
constexpr size_t PieceBytes = 4096;

bool isAllowedControl(unsigned char c) { return c == '\t' || c == '\f' || c == '\r'; }

// The length of the UTF-8 sequence that starts with `c`, 0 for a byte that starts none.
size_t sequenceLength(unsigned char c) {
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return 2;
    if (c >= 0xE0 && c <= 0xEF) return 3;
    if (c >= 0xF0 && c <= 0xF4) return 4;
    return 0;
}

// Characters of well-formed UTF-8 (checked before); tabs become blanks.
std::u32string decode(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const size_t n = sequenceLength(c);
        if (n == 0 || i + n > bytes.size()) break;
        char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        text += cp == U'\t' ? U' ' : cp;
        i += n;
    }
    return text;
}

// Where a piece of a long line may end: after its last blank, else at the last whole character.
size_t cutPoint(std::string_view text) {
    if (const size_t blank = text.rfind(' '); blank != std::string_view::npos && blank > 0) return blank + 1;
    size_t end = text.size();
    while (end > 0 && (static_cast<unsigned char>(text[end - 1]) & 0xC0) == 0x80) --end;
    if (end > 0 && sequenceLength(static_cast<unsigned char>(text[end - 1])) > 1) --end;
    return end > 0 ? end : text.size();
}

} // namespace

InputProblem checkText(std::FILE* file) {
    int64_t line = 1;
    bool anything = false;
    size_t pending = 0; // continuation bytes still expected
    char32_t cp = 0;
    size_t length = 0;
    for (int c = getc_unlocked(file); c != EOF; c = getc_unlocked(file)) {
        const auto byte = static_cast<unsigned char>(c);
        if (pending > 0) {
            if ((byte & 0xC0) != 0x80) return {line, "the document is not UTF-8 text"};
            cp = (cp << 6) | (byte & 0x3F);
            if (--pending == 0) {
                // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
                if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                    (cp >= 0xD800 && cp <= 0xDFFF))
                    return {line, "the document is not UTF-8 text"};
                anything = true;
            }
            continue;
        }
        if (byte == '\n') {
            ++line;
            continue;
        }
        if (byte < 0x20 || byte == 0x7F) {
            if (isAllowedControl(byte)) continue;
            return {line, "the document is not text: it holds the control byte " + std::to_string(int(byte)) +
                              " (a binary file sent as text?)"};
        }
        length = sequenceLength(byte);
        if (length == 0) return {line, "the document is not UTF-8 text"};
        if (length == 1) {
            anything = anything || byte != ' ';
            continue;
        }
        pending = length - 1;
        cp = length == 2 ? (byte & 0x1F) : length == 3 ? (byte & 0x0F) : (byte & 0x07);
    }
    if (pending > 0) return {line, "the document ends inside a UTF-8 character"};
    if (!anything) return {0, "nothing to emboss: the document holds no text"};
    return {};
}

void readText(std::FILE* file, const Translator& translator, const BlockSink& sink) {
    LineReader lines(file, PieceBytes);
    std::string piece, pending;
    bool complete = true, pageBroken = false;
    const auto paragraph = [&](std::string_view text, bool continues) {
        Block block{Block::Kind::Paragraph, translator.translate(decode(text)), lines.lineNumber(), continues};
        sink(std::move(block));
    };
    while (lines.next(piece, complete)) {
        pending += piece;
        // Form feeds end the paragraph before them and start a page.
        for (size_t ff = pending.find('\f'); ff != std::string::npos; ff = pending.find('\f')) {
            if (ff > 0) paragraph(std::string_view(pending).substr(0, ff), false);
            sink(Block{Block::Kind::PageBreak, {}, lines.lineNumber()});
            pending.erase(0, ff + 1);
            pageBroken = true;
        }
        if (complete) {
            // A form feed that ends its line leaves no empty line at the top of the new page.
            if (!(pageBroken && pending.empty())) paragraph(pending, false);
            pending.clear();
            pageBroken = false;
        } else if (pending.size() >= PieceBytes) {
            const size_t cut = cutPoint(pending);
            paragraph(std::string_view(pending).substr(0, cut), true);
            pending.erase(0, cut);
        }
    }
    if (!pending.empty()) paragraph(pending, false);
}

} // namespace brelmont::driver
