# The layers, each a library that links only to those below it:
#   platform <- settings <- core <- clients <- views <- ui, app
# Headers are included as "<folder>/Name.h". Each layer puts on its users' include path a folder of its own that
# holds just a link to its source folder, never the source root: a header of a higher layer is then not found
# from a lower one, and including it fails to build.
function(nimbrel_layer_includes target folder)
    set(root ${CMAKE_BINARY_DIR}/layers/${folder})
    if(NOT EXISTS ${root}/${folder})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC COPY_ON_ERROR)
    endif()
    target_include_directories(${target} PUBLIC ${root})
endfunction()

# One layer library from the sources of its folder, linked to the layers below it.
function(nimbrel_layer target folder)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    add_library(${target} STATIC ${sources})
    nimbrel_layer_includes(${target} ${folder})
    target_link_libraries(${target} PUBLIC ${ARGN})
    target_compile_options(${target} PRIVATE ${NIMBREL_WARNINGS})
endfunction()
