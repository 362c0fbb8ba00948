// The executable's load configuration, for MinGW, which links none of its own (MSVC's runtime
// brings one, and its linker sets the same flag with /DEPENDENTLOADFLAG).
//
// Its one setting that matters: the loader resolves the executable's own imports from the
// system folder only (DependentLoadFlags, honoured from Windows 10 version 1607 on), so a
// library planted beside a downloaded copy never answers for one of them.

#include <windows.h>

extern "C" const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = {
    sizeof(IMAGE_LOAD_CONFIG_DIRECTORY64),
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    LOAD_LIBRARY_SEARCH_SYSTEM32,  // DependentLoadFlags
    0, 0, 0, 0};
