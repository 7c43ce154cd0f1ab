# The lean libFuzzer targets over single inputs: the SOCKS5 replies, the
# launch line, the profile files; and the props plug-in's requests into a
# client in a hand. Each is one file under tests/**/fuzz/ with
# its seeds next to it; CTest runs each briefly (label fuzz), and
# scripts/fuzz.sh runs them all for as long as asked.
if(NOT MJ_FUZZ OR WIN32)
  return()
endif()

function(mj_add_fuzzer name source seeds max_len)
  add_executable(${name} ${source} ${MJ_CORE_SOURCES} ${MJ_SIM_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  set(corpus ${CMAKE_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME ${name}_brief
           COMMAND ${name} -max_total_time=15 -max_len=${max_len} -seed=1 -rss_limit_mb=2048 -timeout=10
                   ${corpus} ${seeds})
  set_tests_properties(${name}_brief PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()

mj_add_fuzzer(socks5_fuzz ${CMAKE_SOURCE_DIR}/tests/link/fuzz/socks5_fuzz.cpp
              ${CMAKE_SOURCE_DIR}/tests/link/fuzz/socks5_seeds 512)
mj_add_fuzzer(launch_line_fuzz ${CMAKE_SOURCE_DIR}/tests/link/fuzz/launch_line_fuzz.cpp
              ${CMAKE_SOURCE_DIR}/tests/link/fuzz/launch_seeds 1024)
mj_add_fuzzer(ini_fuzz ${CMAKE_SOURCE_DIR}/tests/results/fuzz/ini_fuzz.cpp
              ${CMAKE_SOURCE_DIR}/tests/results/fuzz/ini_seeds 4096)
mj_add_fuzzer(props_fuzz ${CMAKE_SOURCE_DIR}/tests/props/fuzz/props_fuzz.cpp
              ${CMAKE_SOURCE_DIR}/tests/props/fuzz/seeds 4096)
