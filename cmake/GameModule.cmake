# Shared compile settings and the helpers every folder uses to declare its library and tests.

set(PLAYER_COMMON_FLAGS -ffp-contract=off -Wall -Wextra)
if(PLAYER_BUILD STREQUAL "test")
  set(PLAYER_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_options(-O1 -g ${PLAYER_SANITIZE} -Werror)
  add_link_options(${PLAYER_SANITIZE})
else()
  add_compile_options(-O2 -g1)
  add_compile_definitions(NDEBUG)
endif()
add_compile_options(${PLAYER_COMMON_FLAGS})

# Game code and its tests see narrow literals as code page 932, the encoding of every text the
# player reads and writes. The platform layer keeps UTF-8 literals: it is where texts are converted.
set(PLAYER_GAME_TEXT_FLAGS -fexec-charset=CP932)

# player_library(NAME [PLATFORM] [DEPS libs...])
# One static library from every .cpp file of the calling folder.
function(player_library name)
  cmake_parse_arguments(ARG "PLATFORM" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  if(NOT ARG_PLATFORM)
    target_compile_options(${name} PRIVATE ${PLAYER_GAME_TEXT_FLAGS})
  endif()
endfunction()

# The leak checker's suppressions: libraries of the system whose own leaks a sanitized run does
# not fail on. Every test runs with them, and so do the players the whole-program tests start.
set(PLAYER_LSAN_SUPPRESSIONS ${CMAKE_CURRENT_LIST_DIR}/lsan-suppressions.txt)

# player_test(NAME [PLATFORM] SOURCES files... DEPS libs...)
# One GoogleTest executable; its cases are registered with CTest one by one.
function(player_test name)
  cmake_parse_arguments(ARG "PLATFORM" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  if(NOT ARG_PLATFORM)
    target_compile_options(${name} PRIVATE ${PLAYER_GAME_TEXT_FLAGS})
  endif()
  # Parameterised suites name their instantiations themselves; CTest takes those names as they are.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
    PROPERTIES ENVIRONMENT "PLAYER_HOST=headless"
    ENVIRONMENT_MODIFICATION "LSAN_OPTIONS=set:suppressions=${PLAYER_LSAN_SUPPRESSIONS}")
endfunction()
