include(GoogleTest)

# tarn_program_path(<var> <path>)
# A path of the build machine as the programs under test see it: under Wine,
# the build machine's root is drive Z: (whose calls take '/' as well as '\').
function(tarn_program_path var path)
  if(CMAKE_CROSSCOMPILING AND WIN32)
    set(path "Z:${path}")
  endif()
  set(${var} "${path}" PARENT_SCOPE)
endfunction()

# tarn_add_test(<name> SOURCES <files...> [LIBS <targets...>])
# One GoogleTest executable per module under test, and one CTest entry per
# test case in it (Suite.Case), so that a failure names its case. What every
# case of the program needs is set on its target, and reaches each case
# once the cases are known:
#   set_property(TARGET <name> APPEND PROPERTY TARN_TEST_ENVIRONMENT VAR=value...)
#   set_property(TARGET <name> APPEND PROPERTY TARN_TEST_PROPERTIES PROPERTY value...)
function(tarn_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  tarn_program_path(source_dir ${PROJECT_SOURCE_DIR})
  tarn_program_path(bin_dir ${CMAKE_BINARY_DIR}/bin)
  set_target_properties(${name} PROPERTIES
    TARN_TEST_ENVIRONMENT "TARN_SOURCE_DIR=${source_dir};TARN_BIN_DIR=${bin_dir};QT_QPA_PLATFORM=offscreen"
    TARN_TEST_PROPERTIES "TIMEOUT;600")
  if(CMAKE_CROSSCOMPILING)
    # Listing the cases needs the emulator and its prepared environment (a
    # Wine prefix), which exist only while the tests run.
    set(discovery PRE_TEST)
  else()
    set(discovery POST_BUILD)
  endif()
  if(WIN32)
    # Every test program of a run shares the one registry of its Wine prefix.
    set_property(TARGET ${name} APPEND PROPERTY TARN_TEST_PROPERTIES RESOURCE_LOCK current_user_registry)
  endif()
  gtest_discover_tests(${name} TEST_LIST ${name}_cases DISCOVERY_MODE ${discovery} DISCOVERY_TIMEOUT 60)
  # Read by CTest after the list of cases (the list's own script comes first).
  set(properties ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
  file(GENERATE OUTPUT ${properties} CONTENT "if(${name}_cases)
  set_tests_properties(\${${name}_cases} PROPERTIES
    ENVIRONMENT [==[$<TARGET_PROPERTY:${name},TARN_TEST_ENVIRONMENT>]==]
    $<JOIN:$<TARGET_PROPERTY:${name},TARN_TEST_PROPERTIES>, >)
endif()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${properties})
endfunction()

# tarn_add_benchmark(<name> SOURCES <files...> [LIBS <targets...>])
# One Google Benchmark program per subsystem; peers are measured in the same run.
function(tarn_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_compile_definitions(${name} PRIVATE TARN_DATA_DIR="${PROJECT_SOURCE_DIR}/../shared/data")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# tarn_add_fuzzer(<name> SOURCES <files...> [LIBS <targets...>])
function(tarn_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()

# tarn_library(<name> SOURCES <files...> [DEPS <targets...>])
# One static library per folder under src/, with its dependency list made explicit.
function(tarn_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()
