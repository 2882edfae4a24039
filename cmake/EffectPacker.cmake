# vo_pack_effect(<output> <description>): builds a compiled effect binary with the effect packer
# (tools/effectpacker), a Windows program that runs through the cross-compiling emulator. The
# binary is rebuilt when the description, any shader beside it or the packer changes.
function(vo_pack_effect output description)
  get_filename_component(description ${description} ABSOLUTE)
  get_filename_component(source_dir ${description} DIRECTORY)
  get_filename_component(output_dir ${output} DIRECTORY)
  file(GLOB shaders CONFIGURE_DEPENDS ${source_dir}/*.psh ${source_dir}/*.vsh)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    # An executable target as the command runs through CMAKE_CROSSCOMPILING_EMULATOR.
    COMMAND effectpacker ${description} ${output}
    DEPENDS effectpacker ${description} ${shaders}
    COMMENT "Effect ${description}"
    VERBATIM)
endfunction()
