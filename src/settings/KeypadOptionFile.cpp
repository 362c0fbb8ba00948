#include "settings/KeypadOptionFile.h"

#include "settings/StoredFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

const StoredFileName kFileName{L"tarnwick", L".ini"};
// Far more than the two lines the program writes, with room for a user's comments.
constexpr std::size_t kMaxFileSize = 4096;
const char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Names compare in ASCII only, so that no locale decides what an ini file means.
bool SameName(const std::string& a, const char* b) {
    const std::string other(b);
    if (a.size() != other.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        if (x != other[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

KeypadOptions ParseKeypadOptions(const std::string& text) {
    const std::size_t start = text.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
    KeypadOptions options;
    bool inKeypad = false;
    bool extendedSeen = false;
    for (std::size_t lineStart = start; lineStart < text.size();) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos) {
            lineEnd = text.size();
        }
        std::string line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        line = Trimmed(line);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            // As Windows does, the name ends at the last ']' and the rest of the line is ignored.
            const std::size_t close = line.rfind(']');
            inKeypad = close != std::string::npos && SameName(Trimmed(line.substr(1, close - 1)), "keypad");
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inKeypad || equals == std::string::npos) {
            continue;
        }
        const std::string name = Trimmed(line.substr(0, equals));
        const bool on = Trimmed(line.substr(equals + 1)) == "1";
        if (SameName(name, "extended") && !extendedSeen) {
            extendedSeen = true;
            options.extended = on;
        } else if (SameName(name, "letters") && !options.lettersWritten) {
            options.lettersWritten = true;
            options.letters = on;
        }
    }
    return options;
}

KeypadOptions ReadKeypadOptions(FileSystem& files) {
    const FileRead read = ReadStoredFile(files, kFileName, kMaxFileSize + 1);
    if (read.outcome != ReadOutcome::Read || read.bytes.size() > kMaxFileSize) {
        return {};
    }
    return ParseKeypadOptions(std::string(read.bytes.begin(), read.bytes.end()));
}

void WriteKeypadOptions(FileSystem& files, const KeypadOptions& options) {
    std::string text = std::string("[Keypad]\r\nExtended=") + (options.extended ? "1" : "0") + "\r\n";
    if (options.lettersWritten) {
        text += std::string("Letters=") + (options.letters ? "1" : "0") + "\r\n";
    }
    WriteStoredFile(files, kFileName, std::vector<std::uint8_t>(text.begin(), text.end()));
}
