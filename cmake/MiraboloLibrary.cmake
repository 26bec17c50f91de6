# mirabolo_add_library(<folder> [TARGET <name>] [HEADERS <headers...>] LINKS <targets...>)
# One library per folder of src/, named mirabolo_<folder> unless TARGET names
# it. A library sees the headers of what it links and of nothing else: its
# folder is reached through an include root of its own
# (build/include/<name>/<folder> -> src/<folder>), so an include that goes
# against the layering fails to build instead of holding by convention. With
# HEADERS, only those headers of the folder are reached (a unit that lower
# layers link, kept in the folder whose subject it is). Sources are added by
# the folder's CMakeLists.
include_guard(GLOBAL)

function(mirabolo_add_library folder)
    cmake_parse_arguments(ARG "" "TARGET" "HEADERS;LINKS" ${ARGN})
    set(target mirabolo_${folder})
    if(ARG_TARGET)
        set(target ${ARG_TARGET})
    endif()
    add_library(${target} STATIC)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    if(ARG_HEADERS)
        file(MAKE_DIRECTORY ${root}/${folder})
        foreach(header IN LISTS ARG_HEADERS)
            if(NOT EXISTS ${root}/${folder}/${header})
                file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${root}/${folder}/${header} SYMBOLIC)
            endif()
        endforeach()
    else()
        file(MAKE_DIRECTORY ${root})
        if(NOT EXISTS ${root}/${folder})
            file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
        endif()
    endif()
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
    target_link_libraries(${target} PUBLIC ${ARG_LINKS} PRIVATE mirabolo_compile_options)
endfunction()
