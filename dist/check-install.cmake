# cmake -DBUILD=... -DSTAGE=... -DAPP_ID=... -DVERSION=... -DMEDIA=0|1 -P check-install.cmake
# Installs the build into a fresh staging folder and checks the layout.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${STAGE}
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(expected
  bin/agent-zaza
  share/agent-zaza/assets/01.png
  share/agent-zaza/assets/42.png
  share/agent-zaza/assets/44-686x613.png
  share/agent-zaza/assets/45.gif
  share/agent-zaza/assets@2x/01.png
  share/agent-zaza/assets@3x/45.gif
  share/applications/${APP_ID}.desktop
  share/metainfo/${APP_ID}.metainfo.xml
  share/icons/hicolor/scalable/apps/${APP_ID}.svg
  share/man/man6/agent-zaza.6.gz)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
if(MEDIA)
  list(APPEND expected share/agent-zaza/intro.swf share/agent-zaza/outro.swf
    share/agent-zaza/01.mid share/agent-zaza/02.mid share/agent-zaza/03.mid)
endif()
foreach(f ${expected})
  if(NOT EXISTS ${STAGE}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
# Nothing of the build tree's program folder lands beside the executable.
file(GLOB bin RELATIVE ${STAGE}/bin ${STAGE}/bin/*)
if(NOT bin STREQUAL "agent-zaza")
  message(FATAL_ERROR "bin/ holds more than the game: ${bin}")
endif()

execute_process(COMMAND ${STAGE}/bin/agent-zaza --version OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "agent-zaza ${VERSION}\n")
  message(FATAL_ERROR "the installed game says '${out}' (${rc})")
endif()
message(STATUS "installed layout is complete")
