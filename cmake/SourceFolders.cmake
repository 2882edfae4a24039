# One target per source folder. Folders are OBJECT libraries: a static archive silently drops
# object files that nothing references, and with them the classes that register themselves at
# static initialisation. Because objects of an OBJECT library reach only the targets that link it
# directly, executables link the whole list VO_ALL_FOLDERS.

set(VO_SYSTEM_LIBS d3d9 d3dx9 dsound dxguid strmiids quartz winmm ole32 oleaut32 uuid comctl32 shlwapi
    advapi32 user32 gdi32 kernel32)
set(VO_ALL_FOLDERS "")

function(vo_source_folder name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/*.cpp)
  # host/main holds the program's entry point, which only the program links.
  list(FILTER sources EXCLUDE REGEX "/host/main/")
  if(sources)
    add_library(${name} OBJECT ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
  set(VO_ALL_FOLDERS ${VO_ALL_FOLDERS} ${name} PARENT_SCOPE)
endfunction()
