# results_shot.cmake: screenshots of the settlement board (won, drawn and
# reopened from the hand history) and the session board, painted by the Win32
# window host under Wine, kept as PNG files in <build>/shots to look at.
if(WIN32)
  add_executable(results_shot ${CMAKE_SOURCE_DIR}/tools/results_shot/main.cpp)
  target_link_libraries(results_shot PRIVATE mjwin32)
  target_include_directories(results_shot PRIVATE ${CMAKE_SOURCE_DIR}/tools)
  target_sources(results_shot PRIVATE ${CMAKE_BINARY_DIR}/art/resources.rc)
  add_dependencies(results_shot mj_art)
  add_test(NAME results_screenshots
           COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:results_shot> -DDIR=${CMAKE_BINARY_DIR}/shots
                   -P ${CMAKE_SOURCE_DIR}/cmake/parts/results_shot_run.cmake.in)
endif()
