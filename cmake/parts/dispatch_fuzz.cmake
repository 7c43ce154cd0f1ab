# libFuzzer over the receive path, the tick and the dispatcher (native, clang,
# sanitizers on): sequences of messages and events into a prepared client.
# CTest runs it briefly (label fuzz); run it longer by hand:
#   build/fuzz/dispatch_fuzz -max_len=4096 build/fuzz/dispatch_fuzz_corpus tests/dispatch/fuzz/seeds
if(NOT MJ_FUZZ OR WIN32)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "MJ_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()

add_executable(dispatch_fuzz ${CMAKE_SOURCE_DIR}/tests/dispatch/fuzz/dispatch_fuzz.cpp
               ${MJ_CORE_SOURCES} ${MJ_SIM_SOURCES})
target_include_directories(dispatch_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(dispatch_fuzz PRIVATE -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
target_link_options(dispatch_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)

# New inputs go to the build folder's corpus, never into the seeds.
set(MJ_DISPATCH_CORPUS ${CMAKE_BINARY_DIR}/dispatch_fuzz_corpus)
file(MAKE_DIRECTORY ${MJ_DISPATCH_CORPUS})
add_test(NAME dispatch_fuzz_brief
         COMMAND dispatch_fuzz -max_total_time=30 -max_len=4096 -seed=1 -rss_limit_mb=2048 -timeout=20
                 ${MJ_DISPATCH_CORPUS} ${CMAKE_SOURCE_DIR}/tests/dispatch/fuzz/seeds)
set_tests_properties(dispatch_fuzz_brief PROPERTIES LABELS fuzz TIMEOUT 300)
