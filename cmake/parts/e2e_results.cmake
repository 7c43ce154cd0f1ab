# End-to-end cases of a hand's end: a won hand's settlement board and a drawn
# hand's board, each with a screenshot of the client as the player sees it.
if(NOT WIN32)
  return()
endif()

mj_e2e_case(won_hand SCENARIO won_hand.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --alive-for 1 --timeout 110 --screenshot ${CMAKE_BINARY_DIR}/e2e/won_hand/settlement.png)
mj_e2e_case(drawn_hand SCENARIO drawn_hand.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --alive-for 1 --timeout 110 --screenshot ${CMAKE_BINARY_DIR}/e2e/drawn_hand/settlement.png)
