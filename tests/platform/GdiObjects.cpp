#include "platform/GdiObjects.h"

#include <winternl.h>

#include <cstdint>
#include <vector>

namespace {

// The handle table that the PEB points to, as on Windows: entries in use have a nonzero type.
std::size_t CountHandleTableEntries(HANDLE process) {
    constexpr std::size_t kPebGdiTable = 0xF8;  // PEB::GdiSharedHandleTable on x64
    constexpr std::size_t kEntries = 0x10000;
    constexpr std::size_t kEntrySize = 24;
    constexpr std::size_t kTypeOffset = 14;
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) {
        return 0;
    }
    std::uint64_t table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTable, &table,
                           sizeof table, &read) ||
        table == 0) {
        return 0;
    }
    std::vector<unsigned char> entries(kEntries * kEntrySize);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(), entries.size(), &read)) {
        return 0;
    }
    std::size_t inUse = 0;
    for (std::size_t i = 0; i < kEntries; ++i) {
        inUse += entries[i * kEntrySize + kTypeOffset] != 0;
    }
    return inUse;
}

}  // namespace

std::size_t CountGdiObjects(HANDLE process) {
    const DWORD reported = GetGuiResources(process, GR_GDIOBJECTS);
    return reported != 0 ? reported : CountHandleTableEntries(process);
}
