# End-to-end cases of a table's end after a won hand: the table breaking up
# (the session board over the window) and players running out of gold (the
# hand's board again after the player pressed start), each with screenshots.
if(NOT WIN32)
  return()
endif()

set(_mj_end_dir ${CMAKE_BINARY_DIR}/e2e)
mj_e2e_case(session_end SCENARIO session_end.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --alive-for 1 --timeout 110
       --window-at settled=!英雄榜 --window-at hero=英雄榜
       --screenshot-at settled=${_mj_end_dir}/session_end/settled.png
       --screenshot-at hero=${_mj_end_dir}/session_end/hero.png)
# The start button's middle, in pixels of the window, while the server waits
# after the settlement: the boards go.
mj_e2e_case(out_of_gold SCENARIO out_of_gold.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --alive-for 1 --timeout 110
       --click 96@755,735
       --window-at settled=战绩板 --window-at started=!战绩板 --window-at score=战绩板
       --screenshot-at settled=${_mj_end_dir}/out_of_gold/settled.png
       --screenshot-at started=${_mj_end_dir}/out_of_gold/started.png
       --screenshot-at score=${_mj_end_dir}/out_of_gold/score.png)
# The browser panes: the banner page and the seat-change page each end as
# failed on a closed loopback port and their panes hide; the caption runs.
mj_e2e_case(seat_change SCENARIO seat_change.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --alive-for 1 --timeout 110
       --client-stderr "^browser: web browser control hosted\\r?$"
       --client-stderr "^browser: navigate error 0x[0-9A-F]+ for http://127.0.0.1:9/ad\\r?$"
       --client-stderr "^browser: navigate error 0x[0-9A-F]+ for http://127.0.0.1:9/ad.gamead\\r?$"
       --screenshot-at shuffle=${_mj_end_dir}/seat_change/shuffle.png)
