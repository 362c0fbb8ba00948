#include "settings/SettingsFile.h"

#include <cstddef>

namespace {

const StoredFileName kFileName{L"para", L".dll"};
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

}  // namespace

std::wstring PerUserSettingsPath(FileSystem& files) { return PerUserPath(files, kFileName); }

void DecodeSettings(const Bytes& bytes, EmulatorSettings& settings) {
    TakeLittleEndian(bytes, 0, settings.speedIndex);
    TakeLittleEndian(bytes, 4, settings.hotKeyVirtualKey);
    TakeLittleEndian(bytes, 6, settings.hotKeyModifiers);
    TakeLittleEndian(bytes, 8, settings.runAtStartup);
    TakeLittleEndian(bytes, 12, settings.minimizeAtStartup);
}

ReadOutcome ReadSettingsFile(FileSystem& files, EmulatorSettings& settings) {
    const FileRead read = ReadStoredFile(files, kFileName, kFileSize);
    if (read.outcome == ReadOutcome::Read) {
        DecodeSettings(read.bytes, settings);
    }
    return read.outcome;
}

void WriteSettingsFile(FileSystem& files, const EmulatorSettings& settings) {
    Bytes bytes;
    bytes.reserve(kFileSize);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(settings.speedIndex), 4);
    PutLittleEndian(bytes, settings.hotKeyVirtualKey, 2);
    PutLittleEndian(bytes, settings.hotKeyModifiers, 2);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(settings.runAtStartup), 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(settings.minimizeAtStartup), 4);
    WriteStoredFile(files, kFileName, bytes);
}
