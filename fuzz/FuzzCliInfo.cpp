// `mapreg-cli info` on arbitrary file contents. It must end with status 0 and one line of valid
// JSON (valid UTF-8, no NaN or infinity) on the output and nothing on the error stream, or with
// status 4 (a file problem), one message line on the error stream and nothing on the output.
#include "CliContext.h"
#include "CliRunner.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

namespace {

// A strict JSON checker, enough for the object info prints.
class CJsonChecker {
public:
    explicit CJsonChecker(std::string_view text) : m_text(text) {}

    bool Document() { return Value(0) && (SkipBlanks(), m_pos == m_text.size()); }

private:
    void SkipBlanks() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r')) {
            ++m_pos;
        }
    }
    bool Eat(char c) {
        SkipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool Literal(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) == word) {
            m_pos += word.size();
            return true;
        }
        return false;
    }
    bool Value(int depth) {
        if (depth > 16) {
            return false;
        }
        SkipBlanks();
        if (m_pos >= m_text.size()) {
            return false;
        }
        switch (m_text[m_pos]) {
        case '{':
            return Object(depth);
        case '[':
            return Array(depth);
        case '"':
            return String();
        case 't':
            return Literal("true");
        case 'f':
            return Literal("false");
        case 'n':
            return Literal("null");
        default:
            return Number();
        }
    }
    bool Object(int depth) {
        ++m_pos;
        if (Eat('}')) {
            return true;
        }
        do {
            SkipBlanks();
            if (!String() || !Eat(':') || !Value(depth + 1)) {
                return false;
            }
        } while (Eat(','));
        return Eat('}');
    }
    bool Array(int depth) {
        ++m_pos;
        if (Eat(']')) {
            return true;
        }
        do {
            if (!Value(depth + 1)) {
                return false;
            }
        } while (Eat(','));
        return Eat(']');
    }
    bool Digits() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
            ++m_pos;
        }
        return m_pos > start;
    }
    bool Number() {
        if (m_pos < m_text.size() && m_text[m_pos] == '-') {
            ++m_pos;
        }
        if (m_pos < m_text.size() && m_text[m_pos] == '0') {
            ++m_pos;
        } else if (!Digits()) {
            return false;
        }
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            if (!Digits()) {
                return false;
            }
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) {
                ++m_pos;
            }
            return Digits();
        }
        return true;
    }
    bool String() {
        if (m_pos >= m_text.size() || m_text[m_pos] != '"') {
            return false;
        }
        ++m_pos;
        while (m_pos < m_text.size()) {
            const auto c = static_cast<unsigned char>(m_text[m_pos]);
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (c < 0x20) {
                return false;
            }
            if (c == '\\') {
                if (!Escape()) {
                    return false;
                }
            } else if (c < 0x80) {
                ++m_pos;
            } else if (!Utf8()) {
                return false;
            }
        }
        return false;
    }
    bool Escape() {
        ++m_pos;
        if (m_pos >= m_text.size()) {
            return false;
        }
        const char c = m_text[m_pos++];
        if (std::string_view("\"\\/bfnrt").find(c) != std::string_view::npos) {
            return true;
        }
        if (c != 'u' || m_pos + 4 > m_text.size()) {
            return false;
        }
        for (int i = 0; i < 4; ++i) {
            const char h = m_text[m_pos++];
            if (!((h >= '0' && h <= '9') || (h >= 'a' && h <= 'f') || (h >= 'A' && h <= 'F'))) {
                return false;
            }
        }
        return true;
    }
    // One well-formed UTF-8 sequence of two to four bytes: no overlong form, no surrogate.
    bool Utf8() {
        const auto byte = [this](std::size_t k) {
            return static_cast<unsigned char>(m_text[m_pos + k]);
        };
        const unsigned char c = byte(0);
        std::size_t n = 0;
        std::uint32_t code = 0;
        std::uint32_t minimum = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            n = 2, code = c & 0x1Fu, minimum = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 3, code = c & 0x0Fu, minimum = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 4, code = c & 0x07u, minimum = 0x10000;
        } else {
            return false;
        }
        if (m_pos + n > m_text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < n; ++k) {
            if ((byte(k) & 0xC0u) != 0x80u) {
                return false;
            }
            code = code << 6 | (byte(k) & 0x3Fu);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        m_pos += n;
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

bool IsOneLine(const std::string& text) {
    return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string path = fuzz::WriteScratchFile("info.gpm", data, size);
    std::string program = "mapreg-cli";
    std::string command = "info";
    char* argv[] = {program.data(), command.data(), path.data(), nullptr};
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(3, argv, out, err);
    if (status == CLI_EXIT_OK) {
        const std::string json = out.str();
        if (!err.str().empty() || !IsOneLine(json)) {
            fuzz::Fail("info succeeded without exactly one line of output");
        }
        if (!CJsonChecker(std::string_view(json).substr(0, json.size() - 1)).Document()) {
            fuzz::Fail("info printed invalid JSON");
        }
        if (fuzz::ShowsNonFinite(json.substr(json.find("\"marks\"")))) {
            fuzz::Fail("info printed NaN or infinity");
        }
    } else if (status == CLI_EXIT_FILE) {
        if (!out.str().empty() || !IsOneLine(err.str())) {
            fuzz::Fail("a failed info must print one message line and no output");
        }
    } else {
        fuzz::Fail("info ended with an unexpected status");
    }
    return 0;
}
