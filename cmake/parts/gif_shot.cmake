# gif_shot.cmake: screenshots of the consecutive-wild animation playing on the
# table, painted by the Win32 window host under Wine at 1024 x 768 and at the
# small scale (800 x 600), kept as PNG files in <build>/shots to look at.
if(WIN32)
  add_executable(gif_shot ${CMAKE_SOURCE_DIR}/tools/gif_shot/main.cpp)
  target_link_libraries(gif_shot PRIVATE mjwin32)
  target_include_directories(gif_shot PRIVATE ${CMAKE_SOURCE_DIR}/tools)
  # The artwork the client ships, resource 420 among it, as its own resources.
  target_sources(gif_shot PRIVATE ${CMAKE_BINARY_DIR}/art/resources.rc)
  add_dependencies(gif_shot mj_art)
  add_test(NAME gif_screenshots
           COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:gif_shot> -DDIR=${CMAKE_BINARY_DIR}/shots
                   -P ${CMAKE_SOURCE_DIR}/cmake/parts/gif_shot_run.cmake.in)
endif()
