#include "settings/StoredFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const wchar_t kTemporarySuffix[] = L".new";
const wchar_t kPerUserFolder[] = L"\\Tarnwick";

std::wstring PathBeside(FileSystem& files, const StoredFileName& name) {
    const std::wstring directory = ExecutableDirectory(files);
    return directory.empty() ? std::wstring() : directory + name.stem + name.extension;
}

bool WriteTo(FileSystem& files, const std::wstring& path, const Bytes& bytes) {
    const std::wstring temporary = path + kTemporarySuffix;
    if (files.WriteFlushed(temporary, bytes) && files.Replace(temporary, path)) {
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

std::optional<Bytes> ReadStoredFile(FileSystem& files, const StoredFileName& name, std::size_t maxBytes) {
    const std::wstring path = PathBeside(files, name);
    if (path.empty()) {
        return std::nullopt;
    }
    const std::wstring perUser = PerUserPath(files, name);
    if (!perUser.empty()) {
        if (std::optional<Bytes> copy = files.ReadFile(perUser, maxBytes)) {
            return copy;
        }
    }
    return files.ReadFile(path, maxBytes);
}

void WriteStoredFile(FileSystem& files, const StoredFileName& name, const Bytes& bytes) {
    const std::wstring path = PathBeside(files, name);
    if (path.empty()) {
        return;
    }
    const std::wstring perUser = PerUserPath(files, name);
    if (WriteTo(files, path, bytes)) {
        if (!perUser.empty()) {
            files.Remove(perUser);
        }
    } else if (!perUser.empty()) {
        files.MakeDirectory(files.LocalAppDataDirectory() + kPerUserFolder);
        WriteTo(files, perUser, bytes);
    }
}
