# End-to-end case of a dropped link in the middle of a hand: the reconnect
# with the session key, the table laid out again from the restore messages
# and play going on from it, with a screenshot of the restored table.
if(NOT WIN32)
  return()
endif()

mj_e2e_case(restore SCENARIO restore.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --alive-for 1 --timeout 120 --screenshot ${CMAKE_BINARY_DIR}/e2e/restore/restored.png)
