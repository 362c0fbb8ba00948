#include "settings/StoredFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const wchar_t kTemporarySuffix[] = L".new";
const wchar_t kPerUserFolder[] = L"\\Tarnwick";

// Scanners and sync clients hold a file this small for far less than a second (SQLite, which
// meets them at every write on Windows, rides them out with about 1.4 s of retries). A read
// waits up to 2 s, in steps short enough to go on soon after the hold ends: start-up is then
// at most that much slower, never hung. A save runs while the user works the keypad, and the
// per-user copy keeps the choice when the hold lasts longer, so it waits 0.5 s at most.
constexpr unsigned kPauseMilliseconds = 100;
constexpr int kReadPauses = 20;
constexpr int kChangePauses = 5;

bool IsHeld(const FileRead& read) { return read.outcome == ReadOutcome::Held; }
bool IsHeld(ChangeOutcome outcome) { return outcome == ChangeOutcome::Held; }

// `attempt` again after a pause while it finds the file held, at most `pauses` times.
template <typename Attempt>
auto WhileHeld(FileSystem& files, int pauses, Attempt attempt) {
    auto result = attempt();
    for (int i = 0; i < pauses && IsHeld(result); ++i) {
        files.Pause(kPauseMilliseconds);
        result = attempt();
    }
    return result;
}

std::wstring PathBeside(FileSystem& files, const StoredFileName& name) {
    const std::wstring directory = ExecutableDirectory(files);
    return directory.empty() ? std::wstring() : directory + name.stem + name.extension;
}

bool WriteTo(FileSystem& files, const std::wstring& path, const Bytes& bytes) {
    const std::wstring temporary = path + kTemporarySuffix;
    if (files.WriteFlushed(temporary, bytes) &&
        WhileHeld(files, kChangePauses, [&] { return files.Replace(temporary, path); }) == ChangeOutcome::Done) {
        return true;
    }
    files.Remove(temporary);
    return false;
}

}  // namespace

std::wstring ExecutableDirectory(FileSystem& files) {
    const std::wstring path = files.ExecutablePath();
    const std::size_t lastSeparator = path.rfind(L'\\');
    if (lastSeparator == std::wstring::npos) {
        return std::wstring();
    }
    return path.substr(0, lastSeparator + 1);
}

std::wstring SettingsKey(const std::wstring& directory) {
    // 64-bit FNV-1a over the UTF-16 units: stable across runs and builds, unlike std::hash.
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (wchar_t unit : directory) {
        if (unit >= L'A' && unit <= L'Z') {
            unit = static_cast<wchar_t>(unit - L'A' + L'a');
        }
        // A UTF-16 unit. wchar_t is signed only where the native tests run, and holds no
        // negative unit there either.
        const auto value = static_cast<std::uint16_t>(unit);  // NOLINT(bugprone-signed-char-misuse)
        for (const std::uint8_t byte : {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)}) {
            hash = (hash ^ byte) * 0x100000001b3u;
        }
    }
    std::wstring key(16, L'0');
    for (std::size_t i = 0; i < key.size(); ++i) {
        key[key.size() - 1 - i] = L"0123456789abcdef"[(hash >> (4 * i)) & 0xF];
    }
    return key;
}

std::wstring PerUserPath(FileSystem& files, const StoredFileName& name) {
    const std::wstring directory = ExecutableDirectory(files);
    const std::wstring localData = files.LocalAppDataDirectory();
    if (directory.empty() || localData.empty()) {
        return std::wstring();
    }
    return localData + kPerUserFolder + L"\\" + name.stem + L"-" + SettingsKey(directory) + name.extension;
}

FileRead ReadStoredFile(FileSystem& files, const StoredFileName& name, std::size_t maxBytes) {
    const std::wstring path = PathBeside(files, name);
    if (path.empty()) {
        return {ReadOutcome::Missing, {}};
    }
    const auto read = [&](const std::wstring& from) {
        return WhileHeld(files, kReadPauses, [&] { return files.ReadFile(from, maxBytes); });
    };
    const std::wstring perUser = PerUserPath(files, name);
    if (!perUser.empty()) {
        // A held copy is still newer than the file beside the executable, which must not stand in.
        FileRead copy = read(perUser);
        if (copy.outcome != ReadOutcome::Missing) {
            return copy;
        }
    }
    return read(path);
}

void WriteStoredFile(FileSystem& files, const StoredFileName& name, const Bytes& bytes) {
    const std::wstring path = PathBeside(files, name);
    if (path.empty()) {
        return;
    }
    const std::wstring perUser = PerUserPath(files, name);
    if (WriteTo(files, path, bytes)) {
        if (!perUser.empty()) {
            WhileHeld(files, kChangePauses, [&] { return files.Remove(perUser); });
        }
    } else if (!perUser.empty()) {
        files.MakeDirectory(files.LocalAppDataDirectory() + kPerUserFolder);
        WriteTo(files, perUser, bytes);
    }
}
