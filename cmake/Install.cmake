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
# it is written when installing, once the prefix is known.
if(TARGET skylane-relay)
  set(unit_in ${CMAKE_SOURCE_DIR}/packaging/skylane-relay.service.in)
  set(unit ${CMAKE_BINARY_DIR}/packaging/skylane-relay.service)
  install(CODE "set(SKYLANE_BINDIR \"\${CMAKE_INSTALL_PREFIX}/bin\")
configure_file(\"${unit_in}\" \"${unit}\" @ONLY)")
  install(FILES ${unit} DESTINATION lib/systemd/user)
endif()

install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/skylane)
