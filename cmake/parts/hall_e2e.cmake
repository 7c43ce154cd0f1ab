# End-to-end cases with the stand-in hall (label e2e): the client launched by
# the hall under Wine, against the scripted server, directly or through a
# SOCKS5 proxy on loopback (microsocks, or the runner's own proxy). Windows
# tree only; uses the host-built scripted server of e2e.cmake.
if(NOT WIN32)
  return()
endif()

set(MJ_HALL_CASES ${CMAKE_SOURCE_DIR}/tests/e2e/hall_cases)
find_program(MJ_MICROSOCKS microsocks)

# Every hall script in the tree must read: a typo fails here, not as a hall
# case that stops half-way.
file(GLOB_RECURSE MJ_HALL_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*.hall ${CMAKE_SOURCE_DIR}/tools/*.hall)
add_test(NAME e2e_hall_scripts_read COMMAND stand_in_hall --check ${MJ_HALL_SCRIPTS})

# mj_hall_case(NAME HALL script.hall [SCENARIO file.scn] LAUNCH line [ARGS ...])
# A relative scenario is one of the hall cases'.
function(mj_hall_case name)
  cmake_parse_arguments(H "" "HALL;SCENARIO;LAUNCH" "ARGS" ${ARGN})
  set(scenario)
  if(DEFINED H_SCENARIO)
    if(NOT IS_ABSOLUTE "${H_SCENARIO}")
      set(H_SCENARIO ${MJ_HALL_CASES}/${H_SCENARIO})
    endif()
    set(scenario --scenario ${H_SCENARIO})
  endif()
  add_test(NAME e2e_hall_${name}
    COMMAND ${MJ_PYTHON3} ${MJ_E2E_DIR}/hall_e2e.py
      --server ${MJ_SCRIPTED_SERVER_HOST}
      --hall ${CMAKE_BINARY_DIR}/bin/stand_in_hall.exe
      --client $<TARGET_FILE:mjclient>
      --hall-script ${MJ_HALL_CASES}/${H_HALL}
      --work ${CMAKE_BINARY_DIR}/e2e/hall_${name}
      --wineprefix ${CMAKE_BINARY_DIR}/wineprefix
      --launch "${H_LAUNCH}" ${scenario} ${H_ARGS})
  set_tests_properties(e2e_hall_${name} PROPERTIES LABELS e2e TIMEOUT 150 RESOURCE_LOCK mjclient_instance)
endfunction()

# The default hall title: custom-hall field 0.
set(MJ_HALL_LINE "tester$secret$127.0.0.1$%PORT%$E2E$0$$0$$$0$$$0$0$")
mj_hall_case(login_accepted HALL login_accepted.hall SCENARIO login_accepted.scn LAUNCH "${MJ_HALL_LINE}"
  ARGS --hall-log "recv 0x0303" --client-stderr "^login accepted")
mj_hall_case(login_pending HALL login_pending.hall SCENARIO login_pending.scn LAUNCH "${MJ_HALL_LINE}")
mj_hall_case(login_refused HALL login_refused.hall SCENARIO login_refused.scn LAUNCH "${MJ_HALL_LINE}"
  ARGS --hall-log "recv 0x0016" --client-stderr "^login refused")
mj_hall_case(minimise_on_restore HALL minimise_on_restore.hall SCENARIO logged_in.scn LAUNCH "${MJ_HALL_LINE}")
mj_hall_case(hall_closes HALL hall_closes.hall SCENARIO logged_in.scn LAUNCH "${MJ_HALL_LINE}"
  ARGS --client-stderr "^hall window gone")
# A script the hall cannot read fails the case instead of passing it empty.
mj_hall_case(unreadable_script HALL no_such_script.hall LAUNCH "${MJ_HALL_LINE}"
  ARGS --hall-exit 2 --hall-log "cannot read the script")

# The whole hand of the main job, played strictly: the client's ready, passes
# and discards are checked by the scenario; screenshots at the hand start,
# mid-hand and at the reveal; the client must survive it and refuse or drop
# nothing of it.
set(MJ_HAND_DIR ${CMAKE_BINARY_DIR}/e2e/hall_hand)
mj_hall_case(hand HALL hand.hall SCENARIO ${CMAKE_SOURCE_DIR}/tools/demo/hand.scn
  LAUNCH "p0$pw$127.0.0.1$%PORT%$E2E$0$$0$$$0$$$0$0$"
  ARGS --timeout 170
       --client-stderr-absent "(refused|dropped|ignored|not laid|not played|abandoned|no place|not among|fatal)"
       --screenshot-at hand-start=${MJ_HAND_DIR}/hand-start.png
       --screenshot-at mid-hand=${MJ_HAND_DIR}/mid-hand.png
       --screenshot-at reveal=${MJ_HAND_DIR}/reveal.png)
set_tests_properties(e2e_hall_hand PROPERTIES TIMEOUT 200)

set(MJ_PROXY_LINE "tester$secret$127.0.0.1$%PORT%$E2E$5$127.0.0.1$%PROXY%$gamer$s3cret$0$$$0$0$")
mj_hall_case(proxy_split HALL proxy_login.hall SCENARIO proxy_login.scn LAUNCH "${MJ_PROXY_LINE}"
  ARGS --proxy split --client-stderr "^login sent through the proxy")
mj_hall_case(proxy_no_method HALL proxy_refused.hall LAUNCH "${MJ_PROXY_LINE}"
  ARGS --proxy nomethod --client-stderr "^messagebox: .*请求代理失败！")
if(MJ_MICROSOCKS)
  mj_hall_case(proxy_good HALL proxy_login.hall SCENARIO proxy_login.scn LAUNCH "${MJ_PROXY_LINE}"
    ARGS --proxy microsocks --client-stderr "^login sent through the proxy")
  mj_hall_case(proxy_wrong_password HALL proxy_refused.hall
    LAUNCH "tester$secret$127.0.0.1$%PORT%$E2E$5$127.0.0.1$%PROXY%$gamer$wrong$0$$$0$0$"
    ARGS --proxy microsocks --client-stderr "^messagebox: .*代理服务器用户验证失败！")
  mj_hall_case(proxy_connect_refused HALL proxy_refused.hall
    LAUNCH "tester$secret$127.0.0.1$%CLOSED%$E2E$5$127.0.0.1$%PROXY%$gamer$s3cret$0$$$0$0$"
    ARGS --proxy microsocks --client-stderr "^messagebox: .*通过代理连接主站失败！")
endif()
