# The program's version resource, from one description (assets/version.json).
#
# quavik_add_version_resource(<target> [RC_FILE <variable>])
#   Gives the executable <target> the version resource. At build time
#   cmake/version_resource_generate.cmake (plain CMake, so it runs on the build machine in
#   cross builds too) turns the description into VS_VERSIONINFO bytes, written twice:
#     <target>_version_resource.cpp  the bytes as an array in the ELF section ".quavik_version",
#                                    where the version reader finds them (Linux builds);
#     <target>_version_resource.rc   the same bytes as a raw RT_VERSION resource, ID 1, for
#                                    windres (Windows builds, where the RC language is enabled).
#   RC_FILE names a variable that receives the path of the .rc file.
include_guard(GLOBAL)


function(quavik_add_version_resource target)
  cmake_parse_arguments(V "" "RC_FILE" "" ${ARGN})
  # Where the version reader looks for the bytes in an ELF file.
  set(section ".quavik_version")
  set(generator "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version_resource_generate.cmake")
  get_filename_component(description "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../assets/version.json"
                         ABSOLUTE)
  set(cpp "${CMAKE_CURRENT_BINARY_DIR}/${target}_version_resource.cpp")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_version_resource.rc")
  add_custom_command(
    OUTPUT "${cpp}" "${rc}"
    COMMAND ${CMAKE_COMMAND}
            -DDESCRIPTION=${description}
            -DOUT_CPP=${cpp} -DSECTION=${section}
            -DSYMBOL=kQuavikVersionResource
            -DOUT_RC=${rc}
            -P "${generator}"
    DEPENDS "${description}" "${generator}"
    COMMENT "Generating the version resource of ${target}"
    VERBATIM)
  if(WIN32)
    target_sources(${target} PRIVATE "${rc}")
  else()
    target_sources(${target} PRIVATE "${cpp}")
  endif()
  if(V_RC_FILE)
    set(${V_RC_FILE} "${rc}" PARENT_SCOPE)
  endif()
endfunction()
