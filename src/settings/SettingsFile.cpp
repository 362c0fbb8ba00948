#include "settings/SettingsFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

const wchar_t kFileName[] = L"para.dll";
const wchar_t kTemporarySuffix[] = L".new";
const wchar_t kPerUserFolder[] = L"\\Tarnwick";
constexpr std::size_t kFileSize = 16;

using Bytes = std::vector<std::uint8_t>;

void PutLittleEndian(Bytes& out, std::uint32_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// Reads one field at `offset` only when the file holds all of it.
template <typename Field>
void TakeLittleEndian(const Bytes& in, std::size_t offset, Field& field) {
    if (in.size() < offset + sizeof(Field)) {
        return;
    }
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < sizeof(Field); ++i) {
        value |= static_cast<std::uint32_t>(in[offset + i]) << (8 * i);
    }
    field = static_cast<Field>(value);
}

std::wstring SettingsPath(FileSystem& files) {
    const std::wstring directory = ExecutableDirectory(files);
    return directory.empty() ? std::wstring() : directory + kFileName;
}

bool ReadFrom(FileSystem& files, const std::wstring& path, EmulatorSettings& settings) {
    const std::optional<Bytes> bytes = files.ReadFile(path, kFileSize);
    if (!bytes) {
        return false;
    }
    TakeLittleEndian(*bytes, 0, settings.speedIndex);
    TakeLittleEndian(*bytes, 4, settings.hotKeyVirtualKey);
    TakeLittleEndian(*bytes, 6, settings.hotKeyModifiers);
    TakeLittleEndian(*bytes, 8, settings.runAtStartup);
    TakeLittleEndian(*bytes, 12, settings.minimizeAtStartup);
    return true;
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

std::wstring PerUserSettingsPath(FileSystem& files) {
    const std::wstring directory = ExecutableDirectory(files);
    const std::wstring localData = files.LocalAppDataDirectory();
    if (directory.empty() || localData.empty()) {
        return std::wstring();
    }
    return localData + kPerUserFolder + L"\\para-" + SettingsKey(directory) + L".dll";
}

bool ReadSettingsFile(FileSystem& files, EmulatorSettings& settings) {
    const std::wstring path = SettingsPath(files);
    if (path.empty()) {
        return false;
    }
    const std::wstring perUser = PerUserSettingsPath(files);
    return (!perUser.empty() && ReadFrom(files, perUser, settings)) || ReadFrom(files, path, settings);
}

void WriteSettingsFile(FileSystem& files, const EmulatorSettings& settings) {
    const std::wstring path = SettingsPath(files);
    if (path.empty()) {
        return;
    }
    Bytes bytes;
    bytes.reserve(kFileSize);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(settings.speedIndex), 4);
    PutLittleEndian(bytes, settings.hotKeyVirtualKey, 2);
    PutLittleEndian(bytes, settings.hotKeyModifiers, 2);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(settings.runAtStartup), 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(settings.minimizeAtStartup), 4);

    const std::wstring perUser = PerUserSettingsPath(files);
    if (WriteTo(files, path, bytes)) {
        if (!perUser.empty()) {
            files.Remove(perUser);
        }
    } else if (!perUser.empty()) {
        files.MakeDirectory(files.LocalAppDataDirectory() + kPerUserFolder);
        WriteTo(files, perUser, bytes);
    }
}
