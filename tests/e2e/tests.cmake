# Tests that run the Windows build under Wine, registered in the Linux build
# (scripts/test builds the windows preset first):
#   wine_<dir>  the portable core's unit tests built by MinGW (test_<dir>.exe),
#               so the core is proven on both compilers;
#   e2e         Tavirel.exe typing into real Windows controls (tests/e2e/run-e2e).
option(TAVIREL_WINE_TESTS "Run the Windows build's tests under Wine" ON)
if(NOT TAVIREL_WINE_TESTS)
  return()
endif()
find_program(TAVIREL_WINE wine)
if(NOT TAVIREL_WINE)
  message(WARNING "wine not found: the Windows tests are not registered (scripts/install-deps installs it)")
  return()
endif()

set(TAVIREL_WINDOWS_BIN ${CMAKE_SOURCE_DIR}/build/windows/bin CACHE PATH "Folder of the Windows build's programs")
set(TAVIREL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(TAVIREL_WINE_RUN ${CMAKE_SOURCE_DIR}/tests/e2e/run-wine-test)

add_test(NAME wine_prefix_setup COMMAND ${TAVIREL_WINE_RUN} setup ${TAVIREL_WINE_PREFIX})
# One booted prefix that every e2e script copies instead of booting its own
# (tests/e2e/e2e-prefix); kept while the Wine version stays the same.
set(TAVIREL_E2E_PREFIX_TEMPLATE ${CMAKE_BINARY_DIR}/wine-e2e-template)
add_test(NAME e2e_prefix_template COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/e2e-prefix --template ${TAVIREL_E2E_PREFIX_TEMPLATE})
set_tests_properties(e2e_prefix_template PROPERTIES FIXTURES_SETUP e2e_prefix TIMEOUT 400)
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix FIXTURES_REQUIRED e2e_prefix TIMEOUT 400
                     ENVIRONMENT TAVIREL_E2E_PREFIX_TEMPLATE=${TAVIREL_E2E_PREFIX_TEMPLATE})
add_test(NAME wine_prefix_cleanup COMMAND ${TAVIREL_WINE_RUN} cleanup ${TAVIREL_WINE_PREFIX})
set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine_prefix)

# The same folders as the Linux unit tests: a folder with sources has a
# test_<dir>.exe in the Windows build; test_win.exe is the Win32 front end's.
foreach(dir common engine tables spelling service pipeline app convert win)
  if(dir STREQUAL "win")
    file(GLOB WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/unit/*.cpp)
  else()
    file(GLOB WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*.cpp)
  endif()
  if(WINE_TEST_SOURCES)
    add_test(NAME wine_${dir}
             COMMAND ${TAVIREL_WINE_RUN} run ${TAVIREL_WINE_PREFIX} ${TAVIREL_WINDOWS_BIN}/test_${dir}.exe)
    set_tests_properties(wine_${dir} PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT 900)
  endif()
endforeach()

add_test(NAME e2e COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/run-e2e --bin ${TAVIREL_WINDOWS_BIN})
set_tests_properties(e2e PROPERTIES TIMEOUT 1800 RUN_SERIAL TRUE)

# The application shell: start-up, settings files, tray icon and menu.
add_test(NAME e2e_shell COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/run-shell-e2e --bin ${TAVIREL_WINDOWS_BIN})
set_tests_properties(e2e_shell PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)

# The word-suggestion popup beside the caret of the e2e target.
add_test(NAME e2e_suggestion COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/run-suggestion-e2e --bin ${TAVIREL_WINDOWS_BIN})
set_tests_properties(e2e_suggestion PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)

# The shorthand editor, its imports, the create-from-clipboard dialog and the hotkey editor.
add_test(NAME e2e_editors COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/editors/run-editors-e2e --bin ${TAVIREL_WINDOWS_BIN})
set_tests_properties(e2e_editors PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)

# The release package and the signed self-update (tests/e2e/update/).
add_test(NAME e2e_update COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/update/run-update-e2e --bin ${TAVIREL_WINDOWS_BIN})
set_tests_properties(e2e_update PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)

# The main dialog and the typing-method editor.
add_test(NAME e2e_maindlg COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/maindlg/run-maindlg-e2e --bin ${TAVIREL_WINDOWS_BIN})
set_tests_properties(e2e_maindlg PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)

# Code conversion: quick conversion of the clipboard and the conversion dialog.
add_test(NAME e2e_convert COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/run-convert-e2e --bin ${TAVIREL_WINDOWS_BIN})
set_tests_properties(e2e_convert PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)

# Fields that complete what is typed: found by their selection, or by a program's rule.
add_test(NAME e2e_autocomplete COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/autocomplete/run-autocomplete-e2e --bin ${TAVIREL_WINDOWS_BIN})
set_tests_properties(e2e_autocomplete PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
# Typing into cmd in Wine's console window (tests/e2e/console/).
add_test(NAME e2e_console COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/console/run-console-e2e --bin ${TAVIREL_WINDOWS_BIN})
set_tests_properties(e2e_console PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)


# 8-bit code tables typed into a program that is not Unicode.
add_test(NAME e2e_ansi COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/ansi/run-ansi-e2e --bin ${TAVIREL_WINDOWS_BIN})
set_tests_properties(e2e_ansi PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)

# Every e2e script registered above copies the template (keep this block last).
get_property(TAVIREL_TESTS DIRECTORY PROPERTY TESTS)
foreach(test ${TAVIREL_TESTS})
  if(test MATCHES "^e2e" AND NOT test STREQUAL "e2e_prefix_template")
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED e2e_prefix)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT TAVIREL_E2E_PREFIX_TEMPLATE=${TAVIREL_E2E_PREFIX_TEMPLATE})
  endif()
endforeach()
