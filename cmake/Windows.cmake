# Windows front end (cross build only). Every win/ folder under src/ becomes
# the library tavirel_win; Tavirel.exe and the end-to-end test programs link it.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

set(TAVIREL_WIN_MAIN ${CMAKE_SOURCE_DIR}/src/app/win/WinMain.cpp)
file(GLOB_RECURSE WIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/win/*.cpp)
# src/common/win/ belongs to the core library itself.
list(FILTER WIN_SOURCES EXCLUDE REGEX "/src/common/win/")
list(REMOVE_ITEM WIN_SOURCES ${TAVIREL_WIN_MAIN} ${CMAKE_SOURCE_DIR}/src/app/win/LocalAppDataFolder.cpp)

set(TAVIREL_WIN_DEFS UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
    WINVER=0x0A00 _WIN32_WINNT=0x0A00)
set(TAVIREL_WIN_SYSLIBS user32 gdi32 comctl32 shell32 ole32 advapi32 wtsapi32 version comdlg32
    winhttp bcrypt)

add_library(tavirel_win STATIC ${WIN_SOURCES})
target_include_directories(tavirel_win PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(tavirel_win PUBLIC ${TAVIREL_WIN_DEFS})
target_compile_options(tavirel_win PRIVATE ${TAVIREL_WARNINGS})
target_link_libraries(tavirel_win PUBLIC tavirel_core ${TAVIREL_WIN_SYSLIBS})

# Where the program looks for updates: an https:// directory address ending
# in "/", set by whoever publishes releases; empty, the program has none.
set(TAVIREL_UPDATE_LOCATION "" CACHE STRING "https:// address of the update directory, ending with /")
configure_file(${CMAKE_SOURCE_DIR}/src/app/win/UpdateLocation.h.in ${CMAKE_BINARY_DIR}/generated/UpdateLocation.h @ONLY)
target_include_directories(tavirel_win PRIVATE ${CMAKE_BINARY_DIR}/generated)

# Version numbers for the version resource come from project().
set(TAVIREL_GENERATED ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/src/app/win/Version.h.in ${TAVIREL_GENERATED}/TavirelVersion.h @ONLY)

file(GLOB TAVIREL_RC_PARTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/win/*.rc ${CMAKE_SOURCE_DIR}/src/*/win/*Ids.h)
add_executable(Tavirel WIN32 ${TAVIREL_WIN_MAIN} ${CMAKE_SOURCE_DIR}/src/app/win/Tavirel.rc)
target_include_directories(Tavirel PRIVATE ${TAVIREL_GENERATED} ${CMAKE_SOURCE_DIR}/src/app/win)
target_compile_options(Tavirel PRIVATE ${TAVIREL_WARNINGS} -municode)
target_link_options(Tavirel PRIVATE -municode -mwindows)
target_link_libraries(Tavirel PRIVATE tavirel_win)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/app/win/Tavirel.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/app/win/Tavirel.manifest;${TAVIREL_RC_PARTS};${TAVIREL_GENERATED}/TavirelVersion.h;${CMAKE_SOURCE_DIR}/src/app/win/icons/TavirelOn.ico;${CMAKE_SOURCE_DIR}/src/app/win/icons/TavirelOff.ico")

# The conversion dialog: its template, and the system's file dialogs.
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/app/win/Tavirel.rc APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/app/win/ChuyenMaDlg.rc ${CMAKE_SOURCE_DIR}/src/app/win/ChuyenMaDlgIds.h)
target_link_libraries(tavirel_win PUBLIC comdlg32)

install(TARGETS Tavirel RUNTIME DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Resources DESTINATION .)

# End-to-end test programs, run under Wine by tests/e2e/run-e2e, and the
# front end's own unit tests (test_win.exe).
if(TAVIREL_TESTS)
  file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/unit/*.cpp)
  if(WIN_TEST_SOURCES)
    add_executable(test_win ${WIN_TEST_SOURCES})
    target_link_libraries(test_win PRIVATE tavirel_win gtest gtest_main)
    target_include_directories(test_win PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_options(test_win PRIVATE ${TAVIREL_WARNINGS})
  endif()

  add_executable(tavirel_e2e_target WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/target/E2eTarget.cpp)
  target_compile_definitions(tavirel_e2e_target PRIVATE ${TAVIREL_WIN_DEFS})
  target_compile_options(tavirel_e2e_target PRIVATE ${TAVIREL_WARNINGS} -municode)
  target_link_options(tavirel_e2e_target PRIVATE -municode -mwindows)
  target_link_libraries(tavirel_e2e_target PRIVATE user32 gdi32)
  target_sources(tavirel_e2e_target PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e/target/AutoCompleteField.cpp)
  target_sources(tavirel_e2e_target PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e/target/AnsiWindow.cpp)

  file(GLOB E2E_HOOKS_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/hooks/*.cpp)
  if(E2E_HOOKS_SOURCES)
    add_executable(tavirel_e2e_hooks WIN32 ${E2E_HOOKS_SOURCES})
    target_compile_options(tavirel_e2e_hooks PRIVATE ${TAVIREL_WARNINGS} -municode)
    target_link_options(tavirel_e2e_hooks PRIVATE -municode -mwindows)
    target_link_libraries(tavirel_e2e_hooks PRIVATE tavirel_win)
  endif()
endif()

# The drivers of the Wine e2e scripts: small console programs that find and
# work Tavirel's windows. tavirel_e2e_driver(NAME SOURCE [LIBRARIES...])
function(tavirel_e2e_driver name source)
  add_executable(${name} ${CMAKE_SOURCE_DIR}/tests/e2e/${source})
  target_compile_definitions(${name} PRIVATE ${TAVIREL_WIN_DEFS})
  target_compile_options(${name} PRIVATE ${TAVIREL_WARNINGS} -municode)
  target_link_options(${name} PRIVATE -municode)
  target_link_libraries(${name} PRIVATE ${ARGN})
endfunction()

if(TAVIREL_TESTS)
  # The tray driver of tests/e2e/run-shell-e2e.
  tavirel_e2e_driver(tavirel_e2e_shell shell/E2eShell.cpp user32)
  # The editors' driver of tests/e2e/editors/run-editors-e2e.
  tavirel_e2e_driver(tavirel_e2e_editors editors/E2eEditors.cpp user32)
  # The question box and version reader of tests/e2e/update/run-update-e2e.
  tavirel_e2e_driver(tavirel_e2e_update update/E2eUpdate.cpp user32 version)
  # The dialog driver of tests/e2e/maindlg/run-maindlg-e2e.
  tavirel_e2e_driver(tavirel_e2e_maindlg maindlg/E2eMainDlg.cpp user32 comctl32)
  # The clipboard and conversion-dialog driver of tests/e2e/run-convert-e2e.
  tavirel_e2e_driver(tavirel_e2e_convert convert/E2eConvert.cpp user32)
  target_include_directories(tavirel_e2e_convert PRIVATE ${CMAKE_SOURCE_DIR}/src)
  # The popup reader of tests/e2e/run-suggestion-e2e.
  tavirel_e2e_driver(tavirel_e2e_suggestion suggestion/E2eSuggestion.cpp user32)
endif()
