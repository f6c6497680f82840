# What `make install` and the Debian package put on the system, under the
# install prefix: the plug-in in lib/vst, the tools in bin, their manual pages,
# the relay's systemd user unit and the README.
if(SKYLANE_SANITIZE STREQUAL "thread")
  return()
endif()

if(TARGET Skylane)
  install(TARGETS Skylane LIBRARY DESTINATION lib/vst)
endif()
foreach(tool skylane-relay skylane-host)
  if(TARGET ${tool})
    set(page ${CMAKE_BINARY_DIR}/packaging/${tool}.1)
    configure_file(${CMAKE_SOURCE_DIR}/packaging/${tool}.1.in ${page} @ONLY)
    install(TARGETS ${tool} RUNTIME DESTINATION bin)
    install(FILES ${page} DESTINATION share/man/man1)
  endif()
endforeach()

# The unit starts the relay from the bin folder of this very installation, so
# it is written when installing, once the prefix is known (into a file of its
# own, as two installations from one build folder may run at once).
if(TARGET skylane-relay)
  set(unit_in ${CMAKE_SOURCE_DIR}/packaging/skylane-relay.service.in)
  install(CODE "set(SKYLANE_BINDIR \"\${CMAKE_INSTALL_PREFIX}/bin\")
string(RANDOM LENGTH 12 tag)
set(unit \"${CMAKE_BINARY_DIR}/packaging/skylane-relay.service.\${tag}\")
configure_file(\"${unit_in}\" \"\${unit}\" @ONLY)
file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/lib/systemd/user\" TYPE FILE
     RENAME skylane-relay.service FILES \"\${unit}\")
file(REMOVE \"\${unit}\")")
endif()

install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/skylane)
