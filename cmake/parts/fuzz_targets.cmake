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
