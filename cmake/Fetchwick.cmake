# Project-wide compile settings and the helpers that every folder's CMakeLists uses.

add_library(fetchwick_options INTERFACE)
target_compile_options(fetchwick_options INTERFACE -Wall -Wextra)
target_include_directories(fetchwick_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_definitions(fetchwick_options INTERFACE
  FETCHWICK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
  FETCHWICK_VERSION="${PROJECT_VERSION}")

# Sanitizer settings every test runs with: what the tools must not report of libraries we do not
# build (Qt is not instrumented).
set(FETCHWICK_SANITIZER_TEST_ENV "")
if(FETCHWICK_SANITIZE STREQUAL "address")
  set(FETCHWICK_SANITIZER_TEST_ENV "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/sanitizer/lsan.supp")
elseif(FETCHWICK_SANITIZE STREQUAL "thread")
  set(FETCHWICK_SANITIZER_TEST_ENV "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=${PROJECT_SOURCE_DIR}/tests/sanitizer/tsan.supp")
endif()

if(FETCHWICK_SANITIZE STREQUAL "address")
  target_compile_options(fetchwick_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(fetchwick_options INTERFACE -fsanitize=address,undefined)
elseif(FETCHWICK_SANITIZE STREQUAL "thread")
  target_compile_options(fetchwick_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(fetchwick_options INTERFACE -fsanitize=thread)
elseif(NOT FETCHWICK_SANITIZE STREQUAL "")
  message(FATAL_ERROR "FETCHWICK_SANITIZE must be empty, 'address' or 'thread'")
endif()

if(FETCHWICK_FUZZ)
  target_compile_options(fetchwick_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(fetchwick_options INTERFACE -fsanitize=address,undefined)
endif()

# fetchwick_library(NAME folder DEPS ...): one static library per top-level folder, made of every
# .cpp below it. New files are picked up at the next build without touching this file.
function(fetchwick_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  # A folder's main.cpp is its program, not part of its library.
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  # A subfolder with a CMakeLists.txt of its own is a library of its own (gui/listbox2 stays
  # Qt-free inside the Qt toolkit's folder).
  file(GLOB_RECURSE own_lists ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  foreach(own_list ${own_lists})
    get_filename_component(own_dir ${own_list} DIRECTORY)
    list(FILTER sources EXCLUDE REGEX "^${own_dir}/")
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC fetchwick_options ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE fetchwick_options ${ARG_DEPS})
  endif()
endfunction()

# fetchwick_tests(DEPS ...): every test_*.cpp in the calling folder becomes one GoogleTest
# executable, so one broken test file never hides the results of the others.
function(fetchwick_tests)
  cmake_parse_arguments(ARG "" "" "DEPS;ENV" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp)
  get_filename_component(subsystem ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(test_env "QT_QPA_PLATFORM=offscreen")
  if(FETCHWICK_SANITIZER_TEST_ENV)
    list(APPEND test_env "${FETCHWICK_SANITIZER_TEST_ENV}")
  endif()
  if(ARG_ENV)
    list(APPEND test_env ${ARG_ENV})
  endif()
  foreach(test_source ${tests})
    get_filename_component(test_name ${test_source} NAME_WE)
    set(target ${subsystem}_${test_name})
    add_executable(${target} ${test_source})
    target_link_libraries(${target} PRIVATE fetchwick_options ${ARG_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
    target_compile_definitions(${target} PRIVATE
      TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
      TEST_TOOLS_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tools")
    gtest_discover_tests(${target}
      DISCOVERY_MODE PRE_TEST
      TEST_PREFIX "${subsystem}."
      PROPERTIES ENVIRONMENT "${test_env}"
      DISCOVERY_TIMEOUT 60)
  endforeach()
endfunction()
