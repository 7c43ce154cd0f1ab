# table_shot.cmake: screenshots of the table view, painted by the Win32 window
# host under Wine at 1024 x 768 and at the small scale (800 x 600), kept as
# PNG files in <build>/shots to look at.
if(WIN32)
  add_executable(table_shot ${CMAKE_SOURCE_DIR}/tools/table_shot/main.cpp)
  target_link_libraries(table_shot PRIVATE mjwin32)
  target_include_directories(table_shot PRIVATE ${CMAKE_SOURCE_DIR}/tools)
  # The artwork the client ships, as its own resources.
  target_sources(table_shot PRIVATE ${CMAKE_BINARY_DIR}/art/resources.rc)
  add_dependencies(table_shot mj_art)
  set(MJ_SHOT_DIR ${CMAKE_BINARY_DIR}/shots)
  add_test(NAME table_screenshots
           COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:table_shot> -DDIR=${MJ_SHOT_DIR}
                   -P ${CMAKE_SOURCE_DIR}/cmake/parts/table_shot_run.cmake.in)
endif()
