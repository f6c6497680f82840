# The product's version, from project(): one header that the tools include
# (#include "skylane/version.h"), so a new version rebuilds only them.
set(SKYLANE_GENERATED_INCLUDE ${CMAKE_BINARY_DIR}/include)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${SKYLANE_GENERATED_INCLUDE}/skylane/version.h
               @ONLY)
include_directories(${SKYLANE_GENERATED_INCLUDE})
