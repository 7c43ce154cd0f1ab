# The end-to-end input case (label e2e): tests/e2e/input_e2e.py plays the
# client by real key presses, clicks, double-clicks, wheel turns and drags
# (xdotool on the Wine display) against input.scn, and checks each effect in
# the logs, the client's windows (input_helper.exe) and the screen.
if(NOT WIN32)
  return()
endif()

add_executable(input_helper ${MJ_E2E_DIR}/input_helper.cpp)
target_link_libraries(input_helper PRIVATE user32 shell32)

add_test(NAME e2e_input
  COMMAND ${MJ_PYTHON3} ${MJ_E2E_DIR}/input_e2e.py
    --server ${MJ_SCRIPTED_SERVER_HOST}
    --client $<TARGET_FILE:mjclient>
    --helper $<TARGET_FILE:input_helper>
    --scenario ${MJ_E2E_DIR}/input.scn
    # The video tools as cmake/parts/e2e_video.cmake builds them.
    --relay ${CMAKE_BINARY_DIR}/host-tools/video_relay/video_relay
    --peer ${CMAKE_BINARY_DIR}/host-tools/video_relay/video_peer
    --work ${CMAKE_BINARY_DIR}/e2e/input
    --wineprefix ${CMAKE_BINARY_DIR}/wineprefix)
set_tests_properties(e2e_input PROPERTIES LABELS e2e TIMEOUT 600 RESOURCE_LOCK mjclient_instance)
