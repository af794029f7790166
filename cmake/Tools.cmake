# Command-line tools built on the portable core.
if(NOT WIN32)
  file(GLOB TAVIREL_TYPE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/tavirel-type/*.cpp)
  add_executable(tavirel-type ${TAVIREL_TYPE_SOURCES})
  target_link_libraries(tavirel-type PRIVATE tavirel_core)
  target_compile_options(tavirel-type PRIVATE ${TAVIREL_WARNINGS})

  if(TAVIREL_TESTS)
    add_test(NAME tavirel_type
             COMMAND ${CMAKE_SOURCE_DIR}/tools/tavirel-type/test.sh $<TARGET_FILE:tavirel-type>
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endif()
endif()

# tavirel-convert: code conversion between tables, streaming like iconv.
if(NOT WIN32)
  file(GLOB TAVIREL_CONVERT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/tavirel-convert/*.cpp)
  add_executable(tavirel-convert ${TAVIREL_CONVERT_SOURCES})
  target_link_libraries(tavirel-convert PRIVATE tavirel_core)
  target_compile_options(tavirel-convert PRIVATE ${TAVIREL_WARNINGS})
  if(TAVIREL_TESTS)
    add_test(NAME tavirel_convert
             COMMAND ${CMAKE_SOURCE_DIR}/tools/tavirel-convert/test.sh $<TARGET_FILE:tavirel-convert>
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endif()
endif()
