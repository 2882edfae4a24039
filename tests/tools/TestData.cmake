# Files the tools' tests read, made by the tools themselves at build time: a test effect from the
# effect packer and one picture of each format from the picture tool. Included from
# tests/CMakeLists.txt after the tools_tests target exists.
set(VO_TOOLS_TEST_DATA ${CMAKE_CURRENT_BINARY_DIR}/tools-data)
set(tools_test_files ${VO_TOOLS_TEST_DATA}/test.fxo)
vo_pack_effect(${VO_TOOLS_TEST_DATA}/test.fxo ${CMAKE_CURRENT_SOURCE_DIR}/tools/effects/test/test.fxd)
foreach(entry test-grey:test-grey.png test-rgb:test-rgb.png test-rgba:test-rgba.png test-jpeg:test-jpeg.jpg
        test-bmp:test-bmp.bmp test-argb-dds:test-argb.dds test-bump-dds:test-bump.dds
        lake-landscape:lake-landscape.png lake-water-mask:lake-water-mask.png
        lake-waterfall-mask:lake-waterfall-mask.png lake-waves-mask:lake-waves-mask.png)
  string(REPLACE ":" ";" parts ${entry})
  list(GET parts 0 name)
  list(GET parts 1 file)
  vo_make_picture(${name} ${VO_TOOLS_TEST_DATA}/${file})
  list(APPEND tools_test_files ${VO_TOOLS_TEST_DATA}/${file})
endforeach()
add_custom_target(tools_test_data DEPENDS ${tools_test_files})

foreach(t IN ITEMS tools_tests model_tests)
  if(TARGET ${t})
    add_dependencies(${t} tools_test_data)
    target_compile_definitions(${t} PRIVATE VO_TOOLS_TEST_DATA="${VO_TOOLS_TEST_DATA}")
  endif()
endforeach()
if(TARGET tools_tests)
  # The packer's error tests run it; the resource test reads the program.
  add_dependencies(tools_tests effectpacker GlimmerSaver)
endif()
