# tf_shipped_executable(<target> <file description>)
# What every executable we ship gets: a version resource and the program
# manifest, and no symbols (the two carried tools are embedded as built).
# Its link map names the libraries linked in, for the third-party notices.
function(tf_shipped_executable target description)
  set(TF_NAME ${target})
  set(TF_FILE_DESCRIPTION ${description})
  set(TF_MANIFEST ${CMAKE_SOURCE_DIR}/resources/program.manifest)
  string(REPLACE "." "," TF_VERSION_COMMAS "${PROJECT_VERSION}.0")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/resources/version.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${TF_MANIFEST})
  target_sources(${target} PRIVATE ${rc})
  # Beside the link, which names the libraries of the tree relative to it.
  target_link_options(${target} PRIVATE -s -Wl,-Map=${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  set_property(GLOBAL APPEND PROPERTY TF_LINK_MAPS ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  set_property(GLOBAL APPEND PROPERTY TF_SHIPPED_EXECUTABLES ${target})
endfunction()
