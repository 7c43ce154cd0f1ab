# End-to-end case of the window shell and the table chat (label e2e): the
# stand-in hall launches the client; the runner types into the chat box,
# presses keys, moves the pointer and clicks the toolbar and the dialogs at the
# scenario's lines (tests/e2e/shell.scn). Pixels are of the client's window at
# the screen's top left corner, as the 1280x1024 screen of scripts/wine-env.sh
# lays it out; the dialogs lie over it.
if(NOT WIN32)
  return()
endif()

set(_shots ${CMAKE_BINARY_DIR}/e2e/hall_shell)
mj_hall_case(shell HALL shell.hall SCENARIO ${MJ_E2E_DIR}/shell.scn
  LAUNCH "tester$secret$127.0.0.1$%PORT%$E2E$0$$0$$$0$$$0$0$"
  ARGS --timeout 110 --window-title "四人麻将"
       --screenshot-at seated=${_shots}/frame.png
       # the chat box; two lines 800 ms apart at most, then one more, partly Chinese
       --click 52@444,768 --input "52@type:hello|key:Return|type:again|key:Return"
       --input "60@type:ok 你好|key:Return"
       --shot 73@${_shots}/bubble.png
       # the chat history opened from its label: the too-fast notice in it
       --click 74@607,722 --shot 76@${_shots}/history.png
       # the east seat's face
       --input 76@move:736,65 --screenshot-at card=${_shots}/card.png
       # the settings button; the dialog's all-sound switch and its OK
       --click 80@825,733 --screenshot-at settings=${_shots}/settings.png
       --click 82@950,465 --click 82@854,631
       # the table, then F1
       --click 91@522,418 --input 91@key:F1 --screenshot-at hidden=${_shots}/hidden.png
       --screenshot-at frame=${_shots}/restored.png
       # the exit button; the exit dialog's leave button
       --click 96@895,766 --shot 96@${_shots}/exit.png --input "96@move:432,421|click"
       --client-stderr "^chat line: 东家说道: 你，快出牌"
       --client-stderr "^speech bubble at view 3: 大家好，很高兴见到各位！"
       --client-stderr "^phrase voice .*v00101300101\\.wav on slot 3"
       --client-stderr "^speech bubble at view 3: 快点吧，我等得花儿都谢了！"
       --client-stderr-absent "^phrase voice .*v00101300102\\.wav"
       --client-stderr "^leave message sent"
       --hall-log "syscommand 0xf020" --hall-log "syscommand 0xf120")
