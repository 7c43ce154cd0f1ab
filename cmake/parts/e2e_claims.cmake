# End-to-end case of the claims: auto-play answers a scripted hand's offers.
if(NOT WIN32)
  return()
endif()

mj_e2e_case(autoplay_hand SCENARIO autoplay_hand.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --alive-for 2 --timeout 110 --screenshot ${CMAKE_BINARY_DIR}/e2e/autoplay_hand/table.png)

# Real clicks on the window: the drawn tile, 吃 and a choice picture, the last
# tile of the row, 碰. Window pixels: the table lies 8, 20 inside the window's
# frame; the drawn tile stands apart at the row's end.
mj_e2e_case(click_claims SCENARIO click_claims.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --alive-for 1 --timeout 110
    --click 60@922,632 --click 95@391,517 --click 95@435,470 --click 112@898,633 --click 130@441,517
    --screenshot ${CMAKE_BINARY_DIR}/e2e/click_claims/table.png)
