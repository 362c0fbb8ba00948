# tarnwick.exe and the tests that run under Wine.
enable_language(RC)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(ICON_FILES ${ICON_DIR}/active.ico ${ICON_DIR}/inactive.ico ${ICON_DIR}/holding.ico)
add_custom_command(
  OUTPUT ${ICON_FILES}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/make_icons.py ${ICON_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make_icons.py
  COMMENT "Drawing the icons")

# The version is written once, in project(); the resources take it from a header and a
# manifest made here.
set(GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
string(REPLACE "." ";" TARNWICK_VERSION_NUMBERS "${PROJECT_VERSION}.0.0.0")
list(SUBLIST TARNWICK_VERSION_NUMBERS 0 4 TARNWICK_VERSION_NUMBERS)
list(JOIN TARNWICK_VERSION_NUMBERS "." TARNWICK_MANIFEST_VERSION)
list(JOIN TARNWICK_VERSION_NUMBERS ", " TARNWICK_VERSION_NUMBERS)
configure_file(resources/version.h.in ${GENERATED_DIR}/version.h @ONLY)
configure_file(resources/tarnwick.manifest.in ${GENERATED_DIR}/tarnwick.manifest @ONLY)
set(RESOURCE_FILES ${ICON_FILES} ${GENERATED_DIR}/tarnwick.manifest)
set_source_files_properties(resources/tarnwick.rc PROPERTIES OBJECT_DEPENDS "${RESOURCE_FILES}")

# Nothing but system DLLs at run time: the C++ runtime and threads are linked in.
if(MINGW)
  add_link_options(-static -static-libgcc -static-libstdc++)
  # The same sources give the same bytes: no link time in the PE header (nor the checksum
  # that follows from it).
  add_link_options(-Wl,--no-insert-timestamp)
endif()

add_library(tarnwick_platform STATIC
  src/platform/Application.cpp
  src/platform/Control.cpp
  src/platform/DataExchange.cpp
  src/platform/Dialog.cpp
  src/platform/HotKeyControl.cpp
  src/platform/ModulePath.cpp
  src/platform/SubclassedWindow.cpp
  src/platform/SystemLibrary.cpp
  src/platform/Win32Services.cpp
  src/platform/WindowIcons.cpp)
target_link_libraries(tarnwick_platform PUBLIC tarnwick_core comctl32 shell32 advapi32)
target_compile_definitions(tarnwick_platform PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0601 WINVER=0x0601)

# The dialog's owner-drawn buttons.
add_library(tarnwick_controls STATIC
  src/controls/FlatButton.cpp
  src/controls/ThemeLibrary.cpp
  src/controls/ThemedButton.cpp)
target_link_libraries(tarnwick_controls PUBLIC tarnwick_platform)

add_executable(tarnwick WIN32
  src/platform/WinMain.cpp
  src/app/EmulatorApp.cpp
  src/ui/AboutDialog.cpp
  src/ui/EmulatorDialog.cpp
  src/ui/Backdrop.cpp
  src/ui/DigitFont.cpp
  src/ui/GridOverlay.cpp
  src/ui/Loupe.cpp
  src/ui/OverlayWindow.cpp
  src/ui/PointerBadge.cpp
  src/ui/TrayIcon.cpp
  resources/tarnwick.rc)
target_include_directories(tarnwick PRIVATE ${ICON_DIR} ${GENERATED_DIR})
target_link_libraries(tarnwick PRIVATE tarnwick_controls)
if(MINGW)
  target_link_options(tarnwick PRIVATE $<$<CONFIG:MinSizeRel,Release>:-s>)
  target_sources(tarnwick PRIVATE src/platform/LoadConfiguration.cpp)
  # Compatible with the hardware shadow stack (CET), which Windows then enforces where the CPU
  # has it. lld sets the flag (lld-link's /cetcompat); GNU ld 2.40 has no option for it.
  include(CheckLinkerFlag)
  check_linker_flag(CXX -Wl,-Xlink=/cetcompat TARNWICK_LINKER_SETS_CET_COMPAT)
  if(TARNWICK_LINKER_SETS_CET_COMPAT)
    target_link_options(tarnwick PRIVATE -Wl,-Xlink=/cetcompat)
  endif()
elseif(MSVC)
  # The executable's imports from the system folder only (LOAD_LIBRARY_SEARCH_SYSTEM32).
  target_link_options(tarnwick PRIVATE /DEPENDENTLOADFLAG:0x800 /CETCOMPAT)
endif()

# The release a Windows user downloads, in dist/ beside the sources (scripts/release.sh).
add_custom_target(release
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/package_release.py
          $<TARGET_FILE:tarnwick> ${PROJECT_VERSION} ${CMAKE_SOURCE_DIR}/dist
  COMMENT "Packing dist/tarnwick-${PROJECT_VERSION}-win64.zip"
  VERBATIM)
add_dependencies(release tarnwick)

# Counts another process's GDI objects, for the Windows tests and the benchmark alike.
add_library(gdi_objects STATIC tests/platform/GdiObjects.cpp)
target_include_directories(gdi_objects PUBLIC tests)
target_link_libraries(gdi_objects PUBLIC ntdll)
target_compile_definitions(gdi_objects PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601
  WINVER=0x0601)

# Windows tests: each executable is one CTest test, run through Wine.
function(add_windows_test name)
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE tests)
  target_link_libraries(${name} PRIVATE tarnwick_platform gdi_objects GTest::gtest)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

add_test(NAME executable_imports_only_system_dlls
  COMMAND ${CMAKE_COMMAND} -DEXECUTABLE=$<TARGET_FILE:tarnwick> -DOBJDUMP=${CMAKE_OBJDUMP}
          -DCET_COMPAT=${TARNWICK_LINKER_SETS_CET_COMPAT}
          -P ${CMAKE_SOURCE_DIR}/cmake/CheckImports.cmake)

add_windows_test(engine_and_settings_windows_tests
  tests/platform/WinTestMain.cpp
  tests/emulation/EmulationEngineWinTest.cpp
  tests/settings/SettingsFileWinTest.cpp)
add_windows_test(dialog_layer_windows_tests
  tests/platform/WinTestMain.cpp
  tests/platform/DialogTest.cpp
  tests/platform/probe_dialog.rc)

# Tests that run the real tarnwick.exe, which is built first and sits beside them.
function(add_program_test name)
  add_windows_test(${name} tests/platform/WinTestMain.cpp ${ARGN})
  add_dependencies(${name} tarnwick)
endfunction()

add_program_test(ui_end_to_end_tests tests/ui/EmulatorDialogTest.cpp)
add_program_test(placement_end_to_end_tests tests/ui/PlacementTest.cpp)
# Its own entry point: it starts itself again at each display scale.
add_windows_test(window_icons_windows_tests tests/ui/WindowIconsTest.cpp)
add_dependencies(window_icons_windows_tests tarnwick)
add_program_test(button_tests tests/ui/ButtonTest.cpp tests/controls/FlatButtonTest.cpp
  tests/controls/button_probe.rc)
target_link_libraries(button_tests PRIVATE tarnwick_controls)
add_program_test(tray_end_to_end_tests tests/ui/TrayTest.cpp)
add_program_test(run_at_startup_end_to_end_tests tests/ui/RunAtStartupTest.cpp)
add_program_test(manual_and_about_end_to_end_tests tests/ui/ManualAndAboutTest.cpp)
# Placed into tarnwick.exe by that test, beside which it is built.
add_library(drag_icon_probe MODULE tests/ui/DragIconProbe.cpp)
target_include_directories(drag_icon_probe PRIVATE resources)
set_target_properties(drag_icon_probe PROPERTIES PREFIX "")
add_dependencies(manual_and_about_end_to_end_tests drag_icon_probe)

add_subdirectory(bench)
