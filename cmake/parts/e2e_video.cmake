# End-to-end case of the table video: the client under Wine, the scripted
# server, our video relay and a video peer as the top table mate, all on a
# loopback address of the run's own. The relay and the peer are native tools,
# built for the host like the scripted server.
if(NOT WIN32)
  return()
endif()

include(ExternalProject)
set(MJ_VIDEO_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools/video_relay)
ExternalProject_Add(video_relay_host
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/video_relay
  BINARY_DIR ${MJ_VIDEO_TOOLS_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE= -DCMAKE_CXX_COMPILER=c++
  BUILD_BYPRODUCTS ${MJ_VIDEO_TOOLS_DIR}/video_relay ${MJ_VIDEO_TOOLS_DIR}/video_peer
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON)

# Pixels of the client's window: the top seat's tool buttons (photo, panel)
# and the panel's own buttons and face where each step leaves them.
# The client finds the video relay at its game server's address; the runner
# gives the case a loopback address of its own (%HOST%) so that two runs at
# once do not meet on the relay's fixed port.
set(_shots ${CMAKE_BINARY_DIR}/e2e/video_hand)
string(REPLACE "$127.0.0.1$" "$%HOST%$" _video_line "${MJ_E2E_LINE}")
mj_e2e_case(video_hand SCENARIO video_hand.scn LAUNCH "${_video_line}"
  ARGS --client-running --alive-for 0 --timeout 110
       --relay ${MJ_VIDEO_TOOLS_DIR}/video_relay
       --peer ${MJ_VIDEO_TOOLS_DIR}/video_peer
       --peer-args "--name north --link tester --frames 5 --seconds 100 --save ${_shots}/from_client.bmp"
       --click 45@557,115 --click 45@525,115 --shot 45@${_shots}/panel.png
       --click 47@617,139 --shot 47@${_shots}/big.png
       --click 49@914,72 --drag 49@650,139,450,339 --shot 49@${_shots}/moved.png
       --click 51@647,339 --shot 51@${_shots}/closed.png
       --expect-files ${CMAKE_BINARY_DIR}/bin/photo:1:BM
       --client-stderr "^video: own login state 2" --client-stderr "^video panel 2 opened"
       --client-stderr "^video panel 2 big" --client-stderr "^video panel 2 normal"
       --client-stderr "^video panel 2 closed")

# The relay stopped and started again in the middle of the hand: the client
# reports its login lost, logs in again by itself and links its mate again;
# a second peer must receive its pictures through the new relay.
mj_e2e_case(video_relay_drop SCENARIO video_relay_drop.scn LAUNCH "${_video_line}"
  ARGS --client-running --alive-for 0 --timeout 110
       --relay ${MJ_VIDEO_TOOLS_DIR}/video_relay
       --peer ${MJ_VIDEO_TOOLS_DIR}/video_peer
       --peer-args "--name north --link tester --frames 3 --seconds 60 --linger 1"
       --relay-restart
       --client-stderr "^video: own login state 2" --client-stderr "^video: own login state 0"
       --client-stderr "^video socket: connected to .* after [0-9]+ lost or failed connections")

# The table video between two clients at one table: each under Wine in a
# prefix of its own, each with its scripted server, both on one video relay.
# The runner drives both with real input, step by step on what they log.
add_test(NAME e2e_video_pair
  COMMAND ${MJ_PYTHON3} ${MJ_E2E_DIR}/video_pair.py
    --server ${MJ_SCRIPTED_SERVER_HOST}
    --client $<TARGET_FILE:mjclient>
    --relay ${MJ_VIDEO_TOOLS_DIR}/video_relay
    --scenario-a ${MJ_E2E_DIR}/video_pair_a.scn
    --scenario-b ${MJ_E2E_DIR}/video_pair_b.scn
    --work ${CMAKE_BINARY_DIR}/e2e/video_pair
    --wineprefix ${CMAKE_BINARY_DIR}/wineprefix)
set_tests_properties(e2e_video_pair PROPERTIES LABELS e2e TIMEOUT 120 RESOURCE_LOCK mjclient_instance)
