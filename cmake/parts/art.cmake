# art.cmake: our own pictures and sounds, made at build time.
#
# tools/artgen draws every numbered picture into ${CMAKE_BINARY_DIR}/art with
# the resource script that links them into the client as type "GIF", plus a
# contact sheet to look at. tools/soundgen writes the shared folders the client
# finds beside its own: <build>/bin/mjclient.exe with <build>/common/music and
# <build>/common/mj. Both need Debian's Python with PIL (python3-pil), the CJK
# fonts (fonts-noto-cjk, fonts-wqy-zenhei), sox and espeak-ng.

set(MJ_PYTHON /usr/bin/python3 CACHE FILEPATH "Python 3 with PIL for the picture generator")
set(MJ_ART_DIR ${CMAKE_BINARY_DIR}/art)
set(MJ_COMMON_DIR ${CMAKE_BINARY_DIR}/common)

add_custom_command(
  OUTPUT ${MJ_ART_DIR}/resources.rc ${MJ_ART_DIR}/contact_sheet.png
  COMMAND ${MJ_PYTHON} ${CMAKE_SOURCE_DIR}/tools/artgen/artgen.py ${MJ_ART_DIR}
          --sheet ${MJ_ART_DIR}/contact_sheet.png
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/artgen/artgen.py
  COMMENT "Drawing the client's pictures"
  VERBATIM)
add_custom_target(mj_art ALL DEPENDS ${MJ_ART_DIR}/resources.rc)

add_custom_command(
  OUTPUT ${MJ_COMMON_DIR}/sounds.stamp
  COMMAND ${MJ_PYTHON} ${CMAKE_SOURCE_DIR}/tools/soundgen/soundgen.py ${MJ_COMMON_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/soundgen/soundgen.py
  COMMENT "Making the client's music, effects and voices"
  VERBATIM)
add_custom_target(mj_sounds ALL DEPENDS ${MJ_COMMON_DIR}/sounds.stamp)

if(WIN32)
  list(APPEND MJ_RC_FILES ${MJ_ART_DIR}/resources.rc)
  # The picture decoder uses the Windows Imaging Component.
  target_link_libraries(mjwin32 PUBLIC windowscodecs)
  # The quick phrases beside the client, the same lines its voices speak.
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/bin/chat.ini
    COMMAND ${MJ_PYTHON} ${CMAKE_SOURCE_DIR}/tools/soundgen/soundgen.py --chat-ini ${CMAKE_BINARY_DIR}/bin/chat.ini
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/soundgen/soundgen.py
    COMMENT "Writing the client's quick phrases"
    VERBATIM)
  add_custom_target(mj_chat_ini ALL DEPENDS ${CMAKE_BINARY_DIR}/bin/chat.ini)
  list(APPEND MJ_CLIENT_DEPENDS mj_art mj_sounds mj_chat_ini)

  # The client and the Win32 tests are created after the fragments; settle
  # their details once the top level has been read. The tests carry the same
  # pictures so the loader is tested on what the client ships; the client goes
  # into bin/ so that bin/../common is the shared folder.
  function(mj_art_finish_targets)
    if(TARGET win_tests)
      # The native decoder is compiled in too, to compare the two decoders.
      target_sources(win_tests PRIVATE ${MJ_ART_DIR}/resources.rc
                                       ${CMAKE_SOURCE_DIR}/src/platform/sim/sim_picture_decoder.cpp)
      add_dependencies(win_tests mj_art mj_sounds)
      # Wine sees the build tree through drive Z:.
      target_compile_definitions(win_tests PRIVATE MJ_COMMON_DIR="Z:${MJ_COMMON_DIR}"
                                                   MJ_SHOT_DIR="Z:${MJ_ART_DIR}")
    endif()
    if(TARGET mjclient)
      get_target_property(_dir mjclient RUNTIME_OUTPUT_DIRECTORY)
      if(NOT _dir)
        set_target_properties(mjclient PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
      endif()
    endif()
  endfunction()
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL mj_art_finish_targets)
else()
  # The native tests check the generated pictures and voice names themselves.
  function(mj_art_finish_native)
    if(TARGET core_tests)
      add_dependencies(core_tests mj_art mj_sounds)
      target_compile_definitions(core_tests PRIVATE MJ_ART_DIR="${MJ_ART_DIR}"
                                                    MJ_COMMON_DIR="${MJ_COMMON_DIR}")
    endif()
  endfunction()
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL mj_art_finish_native)
endif()
