# anigif.cmake: native extras of the animated GIF control: the cross-checks
# against giflib and ImageMagick (test-only; the product links neither), the
# libFuzzer target and the decoder benchmark.
if(WIN32)
  return()
endif()

file(GLOB ANIGIF_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/anigif/*.cpp)
# These targets take the control alone; its player on a window needs the
# platform's control model and is built with the rest of the core.
list(FILTER ANIGIF_SOURCES EXCLUDE REGEX "/gif_player\\.cpp$")
set(ANIGIF_FIXTURES ${CMAKE_SOURCE_DIR}/tests/anigif/fixtures)
find_package(GIF)

# Cross-checks: a separate executable so that core_tests never links giflib.
if(GIF_FOUND AND NOT MJ_FUZZ)
  find_program(ANIGIF_CONVERT convert PATHS /usr/bin NO_DEFAULT_PATH)
  if(NOT ANIGIF_CONVERT)
    message(STATUS "anigif: ImageMagick's /usr/bin/convert not found; cross-checks not built")
  else()
    add_executable(anigif_crosscheck ${CMAKE_SOURCE_DIR}/tests/anigif/crosscheck/anigif_crosscheck.cpp ${ANIGIF_SOURCES})
    target_include_directories(anigif_crosscheck PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(anigif_crosscheck PRIVATE ANIGIF_FIXTURES="${ANIGIF_FIXTURES}"
                                                          IMAGEMAGICK_CONVERT="${ANIGIF_CONVERT}")
    target_link_libraries(anigif_crosscheck PRIVATE GIF::GIF GTest::gtest_main)
    gtest_discover_tests(anigif_crosscheck DISCOVERY_TIMEOUT 60 PROPERTIES LABELS crosscheck)
  endif()
endif()

# libFuzzer over the whole load path, with the sanitizers. Needs clang.
if(MJ_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "MJ_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_executable(anigif_fuzz ${CMAKE_SOURCE_DIR}/tests/anigif/fuzz/anigif_fuzz.cpp
                 ${CMAKE_SOURCE_DIR}/tests/shared/fuzz/sanitizer_options.cpp ${ANIGIF_SOURCES})
  target_include_directories(anigif_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(anigif_fuzz PRIVATE -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
  target_link_options(anigif_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  # New inputs go to the corpus in the build tree; the fixtures only seed it.
  set(ANIGIF_CORPUS ${CMAKE_BINARY_DIR}/anigif_corpus)
  file(MAKE_DIRECTORY ${ANIGIF_CORPUS})
  add_test(NAME anigif_fuzz_brief
           COMMAND anigif_fuzz -max_total_time=20 -max_len=16384 -rss_limit_mb=2048 -timeout=10 ${ANIGIF_CORPUS} ${ANIGIF_FIXTURES})
  set_tests_properties(anigif_fuzz_brief PROPERTIES LABELS fuzz TIMEOUT 120)
endif()

# Decoder speed against giflib's DGifSlurp on generated pictures.
if(MJ_BENCH AND GIF_FOUND)
  find_package(benchmark REQUIRED)
  set(ANIGIF_BENCH_DIR ${CMAKE_BINARY_DIR}/anigif_bench_pictures)
  add_custom_command(OUTPUT ${ANIGIF_BENCH_DIR}/stamp
                     COMMAND ${CMAKE_SOURCE_DIR}/tools/anigif/make_bench_pictures.sh ${ANIGIF_BENCH_DIR}
                     COMMAND ${CMAKE_COMMAND} -E touch ${ANIGIF_BENCH_DIR}/stamp
                     DEPENDS ${CMAKE_SOURCE_DIR}/tools/anigif/make_bench_pictures.sh
                     COMMENT "Drawing the GIF benchmark pictures")
  add_custom_target(anigif_bench_pictures DEPENDS ${ANIGIF_BENCH_DIR}/stamp)
  add_executable(anigif_bench ${CMAKE_SOURCE_DIR}/tools/anigif/gif_bench.cpp ${ANIGIF_SOURCES})
  add_dependencies(anigif_bench anigif_bench_pictures)
  target_include_directories(anigif_bench PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(anigif_bench PRIVATE -O2)
  # Small UI pictures are the client's own when they have been drawn (art.cmake).
  target_compile_definitions(anigif_bench PRIVATE NDEBUG ANIGIF_BENCH_DIR="${ANIGIF_BENCH_DIR}"
                                                  ANIGIF_ART_DIR="${CMAKE_BINARY_DIR}/art")
  target_link_libraries(anigif_bench PRIVATE GIF::GIF benchmark::benchmark)
  function(anigif_bench_after_art)
    if(TARGET mj_art)
      add_dependencies(anigif_bench mj_art)
    endif()
  endfunction()
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL anigif_bench_after_art)
endif()
