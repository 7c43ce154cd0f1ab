# paint_bench.cmake: the cost of one paint of the table window under Wine,
# by kind of change (tests/win32/bench). Built with -DMJ_BENCH=ON, run by hand.
if(WIN32 AND MJ_BENCH)
  add_executable(paint_bench ${CMAKE_SOURCE_DIR}/tests/win32/bench/paint_bench.cpp
                             ${CMAKE_BINARY_DIR}/art/resources.rc)
  target_link_libraries(paint_bench PRIVATE mjwin32)
  target_include_directories(paint_bench PRIVATE ${CMAKE_SOURCE_DIR}/tools)
  target_compile_definitions(paint_bench PRIVATE NDEBUG)
  add_dependencies(paint_bench mj_art)
endif()
