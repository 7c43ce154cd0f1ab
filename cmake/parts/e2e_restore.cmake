# End-to-end cases of a dropped link in the middle of a hand: the reconnect
# with the session key, the table laid out again from the restore messages
# and play going on from it, with screenshots of the restored table and of
# the table once every discard made since lies in its row.
if(NOT WIN32)
  return()
endif()

mj_e2e_case(restore SCENARIO restore.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --alive-for 1 --timeout 120
    --screenshot-at restored=${CMAKE_BINARY_DIR}/e2e/restore/restored.png
    --screenshot ${CMAKE_BINARY_DIR}/e2e/restore/played_on.png)

# A watcher's table: the launch line names the watched player, the table is
# laid out from the restore messages around that player, and the claims,
# kongs and the win of the hand are shown; screenshot before the end.
mj_e2e_case(watch SCENARIO watch.scn LAUNCH "watcher$pw$127.0.0.1$%PORT%$E2E$12345"
  ARGS --client-exit 0 --timeout 120 --screenshot-at watching=${CMAKE_BINARY_DIR}/e2e/watch/watching.png)
