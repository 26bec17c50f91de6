# mirabolo_add_library(<folder> LINKS <targets...>)
# One library per folder of src/, named mirabolo_<folder>. A library sees the
# headers of what it links and of nothing else: its folder is reached through
# an include root of its own (build/include/<folder>/<folder> -> src/<folder>),
# so an include that goes against the layering fails to build instead of
# holding by convention. Sources are added by the folder's CMakeLists.
include_guard(GLOBAL)

function(mirabolo_add_library folder)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    set(target mirabolo_${folder})
    add_library(${target} STATIC)
    set(root ${CMAKE_BINARY_DIR}/include/${folder})
    file(MAKE_DIRECTORY ${root})
    if(NOT EXISTS ${root}/${folder})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    endif()
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
    target_link_libraries(${target} PUBLIC ${ARG_LINKS} PRIVATE mirabolo_compile_options)
endfunction()
