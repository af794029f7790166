# Tests that run other builds' binaries: fuzzers for a bounded time, and the
# Windows test programs under Wine. They are registered in the Linux build so
# that one ctest run covers everything.
set(TAVIREL_FUZZ_DIR ${CMAKE_SOURCE_DIR}/build/fuzz/bin)
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
foreach(src ${FUZZ_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_test(NAME ${name}
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/run-fuzzer ${TAVIREL_FUZZ_DIR}/${name} 10)
endforeach()
include(${CMAKE_SOURCE_DIR}/tests/e2e/tests.cmake OPTIONAL)
