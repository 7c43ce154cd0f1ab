# chat_shot.cmake: the table chat on real windows under Wine (bubble, history,
# chat box), kept as PNG files in <build>/shots to look at. Run by hand:
#   wine build/win/chat_shot.exe Z:<dir>
if(WIN32)
  add_executable(chat_shot ${CMAKE_SOURCE_DIR}/tools/chat_shot/main.cpp)
  target_link_libraries(chat_shot PRIVATE mjwin32)
  target_include_directories(chat_shot PRIVATE ${CMAKE_SOURCE_DIR}/tools)
  target_sources(chat_shot PRIVATE ${CMAKE_BINARY_DIR}/art/resources.rc)
  add_dependencies(chat_shot mj_art)
endif()
