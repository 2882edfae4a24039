# vo_make_picture(<name> <output>): writes one picture of the picture tool's catalogue
# (tools/host/pictures, `picturemaker --list`) at build time. The picture is rebuilt when the
# tool's sources change.
set(VO_PICTUREMAKER ${VO_HOST_TOOLS_DIR}/pictures/picturemaker)
file(GLOB VO_PICTUREMAKER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/host/pictures/*)

function(vo_make_picture name output)
  get_filename_component(dir ${output} DIRECTORY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${VO_PICTUREMAKER} ${name} ${output}
    DEPENDS host_tools ${VO_PICTUREMAKER_SOURCES}
    COMMENT "Picture ${name}"
    VERBATIM)
endfunction()
