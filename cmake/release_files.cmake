# What a release archive carries beside the program, made in every tree:
# the third-party notices, from the link maps of the shipped executables
# (so that a library linked in without a notice stops the build), and the
# version the archives are named after.
# The notices trace files to Debian packages: Debian builds only.
if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()
get_property(shipped GLOBAL PROPERTY TF_SHIPPED_EXECUTABLES)
get_property(maps GLOBAL PROPERTY TF_LINK_MAPS)
list(JOIN maps "\n" map_list)
file(WRITE ${CMAKE_BINARY_DIR}/link-maps.txt "${map_list}\n")
set(TF_NOTICES ${CMAKE_BINARY_DIR}/THIRD-PARTY-NOTICES.txt)
add_custom_command(OUTPUT ${TF_NOTICES}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/release/third-party-notices
          ${TF_NOTICES} ${PROJECT_VERSION} ${TF_ARCH} ${TF_DEPS_PREFIX} ${maps}
  DEPENDS ${shipped} ${CMAKE_SOURCE_DIR}/scripts/release/third-party-notices
  COMMENT "Writing the third-party notices")
add_custom_target(third_party_notices ALL DEPENDS ${TF_NOTICES})
file(WRITE ${CMAKE_BINARY_DIR}/release-version.txt "${PROJECT_VERSION}\n")
