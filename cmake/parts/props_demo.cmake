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

  # The box phase end to end: a won hand with the plug-in allowed on the
  # launch line (props switch 1); the middle box (table 512,460) clicked a
  # second after the scenario's line 127 (`mark boxes`); screenshots while
  # the boxes wait, while the rewards count and with the settlement.
  set(_shots ${CMAKE_BINARY_DIR}/e2e/box_phase)
  mj_e2e_case(box_phase SCENARIO box_phase.scn
    LAUNCH "tester$secret$127.0.0.1$%PORT%$E2E$0$$0$$$1$$mjclient-e2e$1$0$"
    ARGS --client-running --alive-for 1 --timeout 110 --click 127@520,480
      --screenshot-at boxes=${_shots}/boxes.png
      --screenshot-at rewards=${_shots}/rewards.png
      --screenshot-at settled=${_shots}/settled.png)
else()
  add_executable(props_demo_tests ${MJ_PROPS_DEMO_DIR}/demo_plugin.cpp ${CMAKE_SOURCE_DIR}/tests/tools/props_demo_test.cpp)
  target_include_directories(props_demo_tests PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests ${MJ_PROPS_DEMO_DIR})
  target_link_libraries(props_demo_tests PRIVATE mjsim GTest::gtest_main GTest::gmock)
  gtest_discover_tests(props_demo_tests DISCOVERY_TIMEOUT 60)
endif()
