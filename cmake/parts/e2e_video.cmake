# End-to-end case of the table video: the client under Wine, the scripted
# server, our video relay and a video peer as the top table mate. The relay
# and the peer are native tools, built for the host like the scripted server.
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

# The top seat's tool buttons (panel, photo), in the pixels the other click cases use.
mj_e2e_case(video_hand SCENARIO video_hand.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --alive-for 0 --timeout 110
       --relay ${MJ_VIDEO_TOOLS_DIR}/video_relay
       --peer ${MJ_VIDEO_TOOLS_DIR}/video_peer
       --peer-args "--name north --link tester --frames 5 --seconds 100 --save ${CMAKE_BINARY_DIR}/e2e/video_hand/from_client.bmp"
       --click 43@557,115 --click 43@525,115
       --shot 45@${CMAKE_BINARY_DIR}/e2e/video_hand/panel.png
       --expect-files ${CMAKE_BINARY_DIR}/bin/photo:1:BM)
