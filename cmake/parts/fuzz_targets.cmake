# The libFuzzer targets over what the client takes from outside: server
# messages, the SOCKS5 replies, the launch line, the profile files, the props
# plug-in's requests and the video relay's stream. Each is one file under
# tests/**/fuzz/ with its seeds next to it; CTest runs each briefly (label
# fuzz), and scripts/fuzz.sh runs them all for as long as asked, e.g.
#   build/fuzz/dispatch_fuzz -max_len=4096 build/fuzz/dispatch_fuzz_corpus tests/dispatch/fuzz/seeds
# The GIF target is in anigif.cmake.
if(NOT MJ_FUZZ OR WIN32)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "MJ_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()

set(MJ_FUZZ_IGNORE -fsanitize-coverage-ignorelist=${CMAKE_SOURCE_DIR}/cmake/fuzz_coverage_ignore.txt)
set(MJ_FUZZ_FLAGS -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all ${MJ_FUZZ_IGNORE})

# The client is compiled once for every target.
add_library(mj_fuzz_core OBJECT ${MJ_CORE_SOURCES} ${MJ_SIM_SOURCES})
target_include_directories(mj_fuzz_core PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_options(mj_fuzz_core PRIVATE -O1 -g -fsanitize=fuzzer-no-link,address,undefined
                                            -fno-sanitize-recover=all ${MJ_FUZZ_IGNORE})

# The 50 ms tick and the control tree compare the client's own counters,
# timers and layout, never bytes of the input, and run hundreds of times per
# input: they keep their edges but not compare tracing. The tick also goes
# without the check of the dynamic type on every member access (it makes no
# casts, where that check finds faults), which alone cost a fifth of a run.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/link/scheduler.cpp ${CMAKE_SOURCE_DIR}/src/platform/controls.cpp
                            TARGET_DIRECTORY mj_fuzz_core PROPERTIES COMPILE_OPTIONS -fno-sanitize-coverage=trace-cmp)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/link/scheduler.cpp TARGET_DIRECTORY mj_fuzz_core APPEND
             PROPERTY COMPILE_OPTIONS -fno-sanitize=vptr)

# The in-memory platform stands in for Windows: its clock fires the tick some
# hundreds of times per input, and the check of the dynamic type on every
# access to a timer was a fifth of every run. The stand-in keeps
# AddressSanitizer and the rest of UBSan.
set_source_files_properties(${MJ_SIM_SOURCES} TARGET_DIRECTORY mj_fuzz_core PROPERTIES COMPILE_OPTIONS
                                                                                 -fno-sanitize=vptr)

function(mj_add_fuzzer name source seeds max_len seconds)
  add_executable(${name} ${source} ${CMAKE_SOURCE_DIR}/tests/shared/fuzz/sanitizer_options.cpp
                         $<TARGET_OBJECTS:mj_fuzz_core>)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE ${MJ_FUZZ_FLAGS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  # New inputs go to the build folder's corpus, never into the seeds.
  set(corpus ${CMAKE_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME ${name}_brief
           COMMAND ${name} -max_total_time=${seconds} -max_len=${max_len} -seed=1 -rss_limit_mb=2048 -timeout=10
                   ${corpus} ${seeds})
  set_tests_properties(${name}_brief PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()

# The targets that drive a whole client build it once and put its heap back
# after every input (tests/shared/fuzz/prepared.h). Their replay test runs
# every seed both that way and on a client built for it alone, and stops when
# the two differ in anything the client did.
function(mj_prepare_fuzzer name seeds)
  target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/shared/fuzz/heap_image.cpp)
  target_link_options(${name} PRIVATE
                      -Wl,--wrap=__cxa_guard_acquire,--wrap=__cxa_guard_release,--wrap=__cxa_guard_abort)
  add_test(NAME ${name}_reset_matches_fresh COMMAND ${name} -runs=0 ${seeds})
  set_tests_properties(${name}_reset_matches_fresh PROPERTIES LABELS fuzz TIMEOUT 300
                       ENVIRONMENT MJ_FUZZ_RESET=compare)
endfunction()

mj_add_fuzzer(dispatch_fuzz ${CMAKE_SOURCE_DIR}/tests/dispatch/fuzz/dispatch_fuzz.cpp
              ${CMAKE_SOURCE_DIR}/tests/dispatch/fuzz/seeds 4096 30)
mj_add_fuzzer(socks5_fuzz ${CMAKE_SOURCE_DIR}/tests/link/fuzz/socks5_fuzz.cpp
              ${CMAKE_SOURCE_DIR}/tests/link/fuzz/socks5_seeds 512 15)
mj_add_fuzzer(launch_line_fuzz ${CMAKE_SOURCE_DIR}/tests/link/fuzz/launch_line_fuzz.cpp
              ${CMAKE_SOURCE_DIR}/tests/link/fuzz/launch_seeds 1024 15)
mj_add_fuzzer(ini_fuzz ${CMAKE_SOURCE_DIR}/tests/results/fuzz/ini_fuzz.cpp
              ${CMAKE_SOURCE_DIR}/tests/results/fuzz/ini_seeds 4096 15)
mj_add_fuzzer(props_fuzz ${CMAKE_SOURCE_DIR}/tests/props/fuzz/props_fuzz.cpp
              ${CMAKE_SOURCE_DIR}/tests/props/fuzz/seeds 4096 15)
mj_add_fuzzer(video_fuzz ${CMAKE_SOURCE_DIR}/tests/video/fuzz/video_fuzz.cpp
              ${CMAKE_SOURCE_DIR}/tests/video/fuzz/seeds 16384 15)

mj_prepare_fuzzer(dispatch_fuzz ${CMAKE_SOURCE_DIR}/tests/dispatch/fuzz/seeds)
mj_prepare_fuzzer(props_fuzz ${CMAKE_SOURCE_DIR}/tests/props/fuzz/seeds)
mj_prepare_fuzzer(video_fuzz ${CMAKE_SOURCE_DIR}/tests/video/fuzz/seeds)

# The reset heap itself, under AddressSanitizer as the targets use it.
add_executable(heap_image_test ${CMAKE_SOURCE_DIR}/tests/shared/fuzz/heap_image_test.cpp
                               ${CMAKE_SOURCE_DIR}/tests/shared/fuzz/heap_image.cpp)
target_include_directories(heap_image_test PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(heap_image_test PRIVATE -O1 -g -fsanitize=address,undefined -fno-sanitize-recover=all)
target_link_options(heap_image_test PRIVATE -fsanitize=address,undefined
                    -Wl,--wrap=__cxa_guard_acquire,--wrap=__cxa_guard_release,--wrap=__cxa_guard_abort)
target_link_libraries(heap_image_test PRIVATE GTest::gtest_main)
gtest_discover_tests(heap_image_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS fuzz)
