# The window-free parsing code (catalogue/, and the plain C++ of the other
# rooms: the command line, the choice, the report) built for Linux with every fault
# fatal: AddressSanitizer and UndefinedBehaviorSanitizer without recovery,
# and libstdc++'s own bounds checks. With gcc it builds the logic tests of
# tests/catalogue; with clang and UZ_FUZZ the libFuzzer targets of fuzz/.
option(UZ_FUZZ "Build the libFuzzer targets (clang) instead of the unit tests" OFF)

enable_testing()

set(UZ_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_library(uz_parsing STATIC ${UZ_PLAIN_SOURCES})
target_compile_options(uz_parsing PUBLIC -Wall -Wextra -Werror -g -O1 ${UZ_SANITIZE})
target_compile_definitions(uz_parsing PUBLIC _GLIBCXX_ASSERTIONS)
target_link_options(uz_parsing PUBLIC ${UZ_SANITIZE})

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # The texts as the product holds them. clang knows no exec charset but
    # UTF-8, so under clang the catalogue's texts are UTF-8: the fuzz
    # targets must not lean on them (their seeds come from the gcc build).
    target_compile_options(uz_parsing PUBLIC -finput-charset=UTF-8 -fexec-charset=GBK)
endif()

if(UZ_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "UZ_FUZZ needs clang (libFuzzer); use the fuzz preset")
    endif()
    target_compile_options(uz_parsing PUBLIC -fsanitize=fuzzer-no-link)
    add_subdirectory(fuzz)
    return()
endif()

set(GOOGLETEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources (Debian's googletest package)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory("${GOOGLETEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)

# The same test files the Wine build runs as "catalogue".
file(GLOB UZ_CATALOGUE_TEST_SOURCES CONFIGURE_DEPENDS tests/catalogue/*.cpp)
add_executable(uz_catalogue_tests ${UZ_CATALOGUE_TEST_SOURCES})
target_link_libraries(uz_catalogue_tests PRIVATE uz_parsing GTest::gtest_main)
add_test(NAME catalogue_native COMMAND uz_catalogue_tests)
set_tests_properties(catalogue_native PROPERTIES ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1;UBSAN_OPTIONS=print_stacktrace=1")

# Writes the committed seed corpus of the fuzz targets (fuzz/make-seeds.sh):
# built here, by gcc, so the catalogue's texts come out as GBK bytes.
add_executable(uz-seeds fuzz/SeedCorpus.cpp)
target_link_libraries(uz-seeds PRIVATE uz_parsing)
