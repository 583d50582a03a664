# qv_library(folder deps...): a static library qv_<folder> from every .cpp in <folder>/, except a
# program's Main.cpp.
function(qv_library folder)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/Main\\.cpp$")
  if(NOT sources)
    set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(qv_${folder} STATIC ${sources})
  target_include_directories(qv_${folder} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(qv_${folder} PUBLIC ${ARGN})
endfunction()

# qv_program(name pattern): an executable from the sources matching <pattern>, linked to every
# library (qv_shell sits on top of all of them).
function(qv_program name pattern)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${pattern})
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE qv_shell)
endfunction()
