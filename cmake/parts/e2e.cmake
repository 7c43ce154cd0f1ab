# End-to-end tests (label e2e): the Windows client under Wine against the
# scripted game server. Only in the Windows tree; the server is a native tool,
# so it is built here again with the host compiler as a standalone project.
# Wine must be prepared first: source scripts/wine-env.sh (a persistent
# wineserver and a display) before running ctest.
if(NOT WIN32)
  return()
endif()

include(ExternalProject)
set(MJ_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools/scripted_server)
set(MJ_SCRIPTED_SERVER_HOST ${MJ_HOST_TOOLS_DIR}/scripted_server)
ExternalProject_Add(scripted_server_host
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/scripted_server
  BINARY_DIR ${MJ_HOST_TOOLS_DIR}
  # The host compilers, not the cross toolchain of this tree.
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE= -DCMAKE_CXX_COMPILER=c++
  BUILD_BYPRODUCTS ${MJ_SCRIPTED_SERVER_HOST}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON)

set(MJ_E2E_DIR ${CMAKE_SOURCE_DIR}/tests/e2e)
find_program(MJ_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT MJ_PYTHON3)
  set(MJ_PYTHON3 python3)
endif()

# The keep-alive case needs the client's login-reply handler; switch it on when
# that handler exists.
option(MJ_E2E_LOGIN_REPLY "Run the e2e case that needs the login reply handled" ON)

# mj_e2e_case(NAME SCENARIO file.scn [LAUNCH line] ARGS runner-options...)
# %PORT% in the launch line becomes the server's port.
function(mj_e2e_case name)
  cmake_parse_arguments(E "" "SCENARIO;LAUNCH" "ARGS" ${ARGN})
  set(launch)
  if(DEFINED E_LAUNCH)
    set(launch --launch "${E_LAUNCH}")
  endif()
  add_test(NAME e2e_${name}
    COMMAND ${MJ_PYTHON3} ${MJ_E2E_DIR}/run_e2e.py
      --server ${MJ_SCRIPTED_SERVER_HOST}
      --client $<TARGET_FILE:mjclient>
      --scenario ${MJ_E2E_DIR}/${E_SCENARIO}
      --work ${CMAKE_BINARY_DIR}/e2e/${name}
      --wineprefix ${CMAKE_BINARY_DIR}/wineprefix
      ${launch} ${E_ARGS})
  # One client at a time: a second one would be refused as a second instance.
  set_tests_properties(e2e_${name} PROPERTIES LABELS e2e TIMEOUT 120 RESOURCE_LOCK mjclient_instance)
endfunction()

# Fields: name, password, host, port, room, mode, proxy host/port/user/password,
# custom hall (1 with a blank title: no hall window), hall title, caption,
# props switch, plug-in argument.
set(MJ_E2E_LINE "tester$secret$127.0.0.1$%PORT%$E2E$0$$0$$$1$$mjclient-e2e$0$0$")

mj_e2e_case(login SCENARIO login.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --alive-for 3 --screenshot ${CMAKE_BINARY_DIR}/e2e/login/client.png)
mj_e2e_case(login_gbk SCENARIO login_gbk.scn
  LAUNCH "张三丰$密码12$127.0.0.1$%PORT%$E2E$0$$0$$$1$$mjclient-e2e$0$0$"
  ARGS --client-running)
mj_e2e_case(keepalive SCENARIO keepalive.scn LAUNCH "${MJ_E2E_LINE}" ARGS --client-running)
if(NOT MJ_E2E_LOGIN_REPLY)
  set_tests_properties(e2e_keepalive PROPERTIES DISABLED ON)
endif()
mj_e2e_case(second_instance SCENARIO hold_login.scn LAUNCH "${MJ_E2E_LINE}"
  ARGS --client-running --end-client-first
       --second-launch "${MJ_E2E_LINE}" --second-exit 0
       --second-stderr "^messagebox: 警告: .*已经运行！\\r?$")
mj_e2e_case(empty_launch_line SCENARIO no_connection.scn
  ARGS --client-exit 0 --client-stderr "^messagebox: 警告: 本游戏需从游戏大厅中启动！\\r?$")

# A numeric field that is not a whole number takes the fatal path before the
# client connects, even when the port itself is good.
set(MJ_E2E_FATAL_CASES
  "port_letters|tester$secret$127.0.0.1$12ab$E2E$0$$0$$$1$$mjclient-e2e$0$0$"
  "port_empty|tester$secret$127.0.0.1$$E2E$0$$0$$$1$$mjclient-e2e$0$0$"
  "mode_letters|tester$secret$127.0.0.1$%PORT%$E2E$x$$0$$$1$$mjclient-e2e$0$0$"
  "proxy_port_fraction|tester$secret$127.0.0.1$%PORT%$E2E$0$$1.5$$$1$$mjclient-e2e$0$0$"
  "props_switch_letters|tester$secret$127.0.0.1$%PORT%$E2E$0$$0$$$1$$mjclient-e2e$on$0$"
  "plugin_arg_letters|tester$secret$127.0.0.1$%PORT%$E2E$0$$0$$$1$$mjclient-e2e$0$2x$")
foreach(c IN LISTS MJ_E2E_FATAL_CASES)
  string(REPLACE "|" ";" c "${c}")
  list(GET c 0 cname)
  list(GET c 1 cline)
  mj_e2e_case(fatal_${cname} SCENARIO no_connection.scn LAUNCH "${cline}"
    ARGS --client-exit 1 --client-stderr "^fatal:")
endforeach()
