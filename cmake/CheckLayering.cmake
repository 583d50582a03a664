# cmake -DSOURCE_DIR=<root> -P CheckLayering.cmake: fails when a source folder includes a header it
# may not. The stack is platform <- scene <- collision <- models <- game <- shell; a folder
# includes its own headers and those of the folders below it, nothing above. Every quoted include
# names its folder ("scene/Geometry.h"), so the rule reads from the text alone. Only platform/
# talks to SDL, Xlib, FreeType and fontconfig; OpenGL is for platform/, scene/, shell/ and the tools;
# the scene loader (assimp) and the image decoder (stb_image) are for the tools' importer only.
# Tests and benchmarks link everything and are not checked.

cmake_minimum_required(VERSION 3.25)

set(stack platform scene collision models game shell)
set(allowed_platform platform)
set(allowed_scene platform scene)
set(allowed_collision platform scene collision)
set(allowed_models platform scene collision models)
set(allowed_game platform scene collision models game)
set(allowed_shell platform scene collision models game shell)
set(allowed_assets platform scene collision models assets)
set(allowed_tools platform scene collision models game shell assets tools)

# System headers only some folders may use: regex on the name inside <...>, then the folders.
set(system_rules "^(SDL2?/|SDL\\.h|X11/)|^ft2build\\.h|^freetype/|^fontconfig/" "^GL/"
                 "^assimp/|^stb/stb_image\\.h$")
set(system_folders_0 platform)
set(system_folders_1 platform scene shell tools)
set(system_folders_2 tools)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(faults "")
foreach(folder ${stack} assets tools)
  if(NOT IS_DIRECTORY "${SOURCE_DIR}/${folder}")
    continue()
  endif()
  file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${folder}/*.h"
       "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.c")
  foreach(file ${files})
    file(STRINGS "${SOURCE_DIR}/${file}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      if(line MATCHES "include[ \t]*\"([^\"]+)\"")
        set(name "${CMAKE_MATCH_1}")
        if(NOT name MATCHES "^([^/]+)/")
          list(APPEND faults "${file}: \"${name}\" does not name its folder")
          continue()
        endif()
        set(target "${CMAKE_MATCH_1}")
        if(NOT target IN_LIST allowed_${folder})
          list(APPEND faults "${file}: ${folder}/ may not include \"${name}\"")
        endif()
      elseif(line MATCHES "include[ \t]*<([^>]+)>")
        set(name "${CMAKE_MATCH_1}")
        set(index 0)
        foreach(rule ${system_rules})
          if(name MATCHES "${rule}" AND NOT folder IN_LIST system_folders_${index})
            list(APPEND faults "${file}: ${folder}/ may not include <${name}>")
          endif()
          math(EXPR index "${index} + 1")
        endforeach()
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(LENGTH faults count)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "layering: ${count} include(s) against the stack:\n  ${text}")
endif()
message(STATUS "layering: every include keeps to the stack")
