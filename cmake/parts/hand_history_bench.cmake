# hand_history_bench.cmake: the cost of saving and loading a board of the
# hand-history file as it grows, under Wine (tests/win32/bench). Built with
# -DMJ_BENCH=ON, run by hand.
if(WIN32 AND MJ_BENCH)
  add_executable(hand_history_bench ${CMAKE_SOURCE_DIR}/tests/win32/bench/hand_history_bench.cpp)
  target_link_libraries(hand_history_bench PRIVATE mjwin32)
  target_compile_definitions(hand_history_bench PRIVATE NDEBUG)
endif()
