// Why the run failed, in one plain line a player can act on, printed when the game ends because of it.
#include "base/failure.h"

#include <cstdio>
#include <string>

namespace {
std::string noted;
bool hasNote = false;
std::string line;
void (*sayFailureSink)(const char*) = nullptr;
} // namespace

void NoteFailure(const char* reason) {
    if (hasNote || !reason || !*reason) return;
    noted = reason;
    hasNote = true;
}

const char* NotedFailure() {
    return hasNote ? noted.c_str() : nullptr;
}

void ClearFailure() {
    noted.clear();
    hasNote = false;
}

const char* FailureLine() {
    line = "quillmarsh: ";
    line += hasNote
                ? noted
                : "the game stopped because something it needs failed; start it with QUILLMARSH_TRACE=1 to "
                  "see the details";
    return line.c_str();
}

namespace {
// The length of the well-formed UTF-8 sequence at text[at], or 0 when it is not one (overlong, a
// surrogate, past U+10FFFF, cut short).
size_t Utf8Length(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    // U+0080..U+009F are control characters too; some terminals act on them.
    if (lead == 0xC2 && byte(at + 1) <= 0x9F) return 0;
    return length;
}

void AppendEscaped(unsigned char c, std::string* out) {
    constexpr char HEX[] = "0123456789ABCDEF";
    if (c == '\t') {
        *out += "\\t";
    } else if (c == '\n') {
        *out += "\\n";
    } else if (c == '\r') {
        *out += "\\r";
    } else if (c == '\\') {
        *out += "\\\\";
    } else {
        *out += "\\x";
        *out += HEX[c >> 4];
        *out += HEX[c & 15];
    }
}
} // namespace

std::string QuoteInput(const std::string& text) {
    std::string out = "'";
    size_t at = 0;
    for (size_t shown = 0; at < text.size() && shown < QUOTE_MAX_CHARACTERS; ++shown) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
            ++at;
            continue;
        }
        const size_t length = c >= 0x80 ? Utf8Length(text, at) : 0;
        if (length > 0) {
            out.append(text, at, length);
            at += length;
        } else {
            AppendEscaped(c, &out);
            ++at;
        }
    }
    out += "'";
    if (at < text.size()) out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

void SayFailure(const char* reason) {
    if (!reason || !*reason) return;
    const std::string said = std::string("quillmarsh: ") + reason;
    if (sayFailureSink) {
        sayFailureSink(said.c_str());
        return;
    }
    std::fprintf(stderr, "%s\n", said.c_str());
    std::fflush(stderr);
}

void SetSayFailureSink(void (*sink)(const char* line)) {
    sayFailureSink = sink;
}
