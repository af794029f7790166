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
# The key-stream seeds again, each also on a world made for it alone: an
# input's result must not depend on the inputs run before it.
add_test(NAME fuzz_keystream_fresh
         COMMAND ${CMAKE_COMMAND} -E env TAVIREL_FUZZ_CHECK_FRESH=1
                 ${CMAKE_SOURCE_DIR}/scripts/run-fuzzer ${TAVIREL_FUZZ_DIR}/fuzz_keystream 1)
include(${CMAKE_SOURCE_DIR}/tests/e2e/tests.cmake OPTIONAL)
