# shell_shot.cmake: the window shell on real windows under Wine (frame, toolbar,
# settings, player card, exit dialog), kept as pictures to look at. Run by hand:
#   wine build/win/shell_shot.exe Z:<dir>
if(WIN32)
  add_executable(shell_shot ${CMAKE_SOURCE_DIR}/tools/shell_shot/main.cpp)
  target_link_libraries(shell_shot PRIVATE mjwin32)
  target_include_directories(shell_shot PRIVATE ${CMAKE_SOURCE_DIR}/tools)
  target_sources(shell_shot PRIVATE ${CMAKE_BINARY_DIR}/art/resources.rc)
  add_dependencies(shell_shot mj_art)
endif()
