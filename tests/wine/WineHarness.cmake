# Runs the Windows test programs under Wine. Include it before creating the test
# executables: targets made afterwards in this directory and below get
# wine-run.sh as their CROSSCOMPILING_EMULATOR (used by add_test and by
# gtest_discover_tests), and every test that needs Wine requires the "wine"
# fixture, which brings one shared session up before them and down after them.
include_guard(GLOBAL)

set(UZ_WINE_SESSION_DIR "${CMAKE_BINARY_DIR}/wine")
set(UZ_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
set(UZ_WINE_SESSION "${CMAKE_CURRENT_LIST_DIR}/wine-session.sh")
set(CMAKE_CROSSCOMPILING_EMULATOR "${UZ_WINE_RUN};${UZ_WINE_SESSION_DIR}")

# The session script looks for it next to the session dir, so keep it at the
# top of the build tree whatever the generator.
add_executable(uz-warmup WIN32 "${CMAKE_CURRENT_LIST_DIR}/warmup.cpp")
set_target_properties(uz-warmup PROPERTIES
  OUTPUT_NAME uz-warmup
  RUNTIME_OUTPUT_DIRECTORY "$<1:${CMAKE_BINARY_DIR}>")
target_link_options(uz-warmup PRIVATE -static)

add_test(NAME wine_session_up
  COMMAND "${UZ_WINE_SESSION}" up "${UZ_WINE_SESSION_DIR}")
set_tests_properties(wine_session_up PROPERTIES
  FIXTURES_SETUP wine
  ENVIRONMENT "UZ_WARMUP_EXE=$<TARGET_FILE:uz-warmup>"
  LABELS wine
  # Covers making a new prefix and retrying a hung start.
  TIMEOUT 900)

add_test(NAME wine_session_down
  COMMAND "${UZ_WINE_SESSION}" down "${UZ_WINE_SESSION_DIR}")
set_tests_properties(wine_session_down PROPERTIES
  FIXTURES_CLEANUP wine
  LABELS wine
  TIMEOUT 120)

# uz_wine_test(NAME <name> COMMAND <target-or-exe> [args...]
#              [TIMEOUT <seconds>] [WORKING_DIRECTORY <dir>])
# Adds a test that runs a Windows program in the shared Wine session. The
# emulator is spelled out rather than taken from the target, so this also works
# for targets made before this file was included or in other directories.
function(uz_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;TIMEOUT;WORKING_DIRECTORY" "COMMAND")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "uz_wine_test: unexpected arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT arg_NAME)
    message(FATAL_ERROR "uz_wine_test: NAME is required")
  endif()
  if(NOT arg_COMMAND)
    message(FATAL_ERROR "uz_wine_test(${arg_NAME}): COMMAND is required")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 300)
  endif()

  list(POP_FRONT arg_COMMAND program)
  if(TARGET "${program}")
    set(program "$<TARGET_FILE:${program}>")
  endif()

  set(extra)
  if(arg_WORKING_DIRECTORY)
    set(extra WORKING_DIRECTORY "${arg_WORKING_DIRECTORY}")
  endif()
  add_test(NAME "${arg_NAME}"
    COMMAND "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/wine-run.sh"
            "${CMAKE_BINARY_DIR}/wine" "${program}" ${arg_COMMAND}
    ${extra})
  set_property(TEST "${arg_NAME}" APPEND PROPERTY FIXTURES_REQUIRED wine)
  set_property(TEST "${arg_NAME}" APPEND PROPERTY LABELS wine)
  set_tests_properties("${arg_NAME}" PROPERTIES TIMEOUT "${arg_TIMEOUT}")
endfunction()
