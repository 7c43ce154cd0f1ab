# End-to-end case of the claims: auto-play answers a scripted hand's offers.
if(NOT WIN32)
  return()
endif()

mj_e2e_case(autoplay_hand SCENARIO autoplay_hand.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --alive-for 2 --timeout 110 --screenshot ${CMAKE_BINARY_DIR}/e2e/autoplay_hand/table.png)
