# Scene documents (and test fixtures) are written as text listings and assembled into archive
# bytes at build time by the native tool docasm (tools/host/docasm).
#
#   vo_assemble_document(<output> <listing> [DEPENDS <file>...])
#
# <listing> is relative to the current source folder, <output> to the current binary folder.
# The tool reports every listing it includes and every data file it reads in a dependency file,
# so editing any of them re-assembles the document; DEPENDS adds files it cannot know about.
# A target must list <output> among its sources or DEPENDS for the rule to run.
function(vo_assemble_document output listing)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "" "" "DEPENDS")
  set(docasm ${VO_HOST_TOOLS_DIR}/docasm/docasm)
  cmake_path(ABSOLUTE_PATH listing BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE
             OUTPUT_VARIABLE listing_path)
  cmake_path(ABSOLUTE_PATH output BASE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} NORMALIZE
             OUTPUT_VARIABLE output_path)
  add_custom_command(
    OUTPUT ${output_path}
    COMMAND ${docasm} --depfile ${output_path}.d -o ${output_path} ${listing_path}
    # host_tools is an external project: the target orders the build, the tool's path makes a
    # changed assembler re-assemble.
    DEPENDS host_tools ${docasm} ${listing_path} ${ARG_DEPENDS}
    DEPFILE ${output_path}.d
    COMMENT "Assembling ${output}"
    VERBATIM)
endfunction()
