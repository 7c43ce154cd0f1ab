# The demonstration props plug-in. On Windows it is the library the client
# finds below its folder (bin/plugin/tools/PropDll.dll); natively its plug-in
# class is tested against the client on the in-memory platform.
set(MJ_PROPS_DEMO_DIR ${CMAKE_SOURCE_DIR}/tools/props_demo)
if(WIN32)
  add_library(props_demo SHARED ${MJ_PROPS_DEMO_DIR}/demo_plugin.cpp ${MJ_PROPS_DEMO_DIR}/props_dll.cpp)
  target_include_directories(props_demo PRIVATE ${CMAKE_SOURCE_DIR}/src)
  # No runtime libraries to ship beside it, as for the client.
  target_link_options(props_demo PRIVATE -static)
  set_target_properties(props_demo PROPERTIES OUTPUT_NAME PropDll PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/plugin/tools)
  list(APPEND MJ_CLIENT_DEPENDS props_demo)
else()
  add_executable(props_demo_tests ${MJ_PROPS_DEMO_DIR}/demo_plugin.cpp ${CMAKE_SOURCE_DIR}/tests/tools/props_demo_test.cpp)
  target_include_directories(props_demo_tests PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests ${MJ_PROPS_DEMO_DIR})
  target_link_libraries(props_demo_tests PRIVATE mjsim GTest::gtest_main GTest::gmock)
  gtest_discover_tests(props_demo_tests DISCOVERY_TIMEOUT 60)
endif()
