# vo_make_mesh(<name> <output>): writes one mesh of the mesh tool's catalogue (tools/host/meshes,
# `meshmaker --list`) as a text .x file at build time. The mesh is rebuilt when the tool's
# sources change.
set(VO_MESHMAKER ${VO_HOST_TOOLS_DIR}/meshes/meshmaker)
file(GLOB VO_MESHMAKER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/host/meshes/*)

function(vo_make_mesh name output)
  get_filename_component(dir ${output} DIRECTORY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${VO_MESHMAKER} ${name} ${output}
    DEPENDS host_tools ${VO_MESHMAKER_SOURCES}
    COMMENT "Mesh ${name}"
    VERBATIM)
endfunction()
