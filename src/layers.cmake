# The layers of the project, enforced by the build.
#
# Every library lives in one folder of src/ (quillet_library registers it)
# and links only the libraries below it.  After all targets are defined,
# quillet_enforce_layers() gives each registered target a check that runs
# before it is compiled: every "folder/file.h" its files include must belong
# to the target itself or to a library it links (directly or through the
# public links of those), and only targets that link Qt may include Qt.  An
# include that climbs a layer therefore fails the build with the file and
# the line, instead of compiling by accident through the shared include
# path.

set(QUILLET_LAYER_CHECK ${CMAKE_CURRENT_LIST_DIR}/check_includes.cmake)

# quillet_library(<target> FOLDER <folder under src/>): the target owns the
# headers of that folder (less subfolders that other libraries own).
function(quillet_library target)
    cmake_parse_arguments(L "" "FOLDER" "" ${ARGN})
    set_property(GLOBAL APPEND PROPERTY QUILLET_LAYER_TARGETS ${target})
    set_property(GLOBAL APPEND PROPERTY QUILLET_LAYER_FOLDERS "${L_FOLDER}/")
    set_property(GLOBAL PROPERTY QUILLET_LAYER_OWNER_${L_FOLDER} ${target})
    set_target_properties(${target} PROPERTIES QUILLET_FOLDER "${L_FOLDER}")
endfunction()

# quillet_layered_program(<target>): a program's own sources are checked
# against what it links; it owns no headers.
function(quillet_layered_program target)
    set_property(GLOBAL APPEND PROPERTY QUILLET_LAYER_TARGETS ${target})
endfunction()

# The targets `target` may include from: itself, what it links, and the
# public links of those, all the way down.
function(quillet_link_closure target out)
    get_target_property(direct ${target} LINK_LIBRARIES)
    set(seen "")
    set(todo "")
    if(direct)
        list(APPEND todo ${direct})
    endif()
    while(todo)
        list(POP_FRONT todo dep)
        if(NOT TARGET ${dep} OR dep IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${dep})
        get_target_property(public ${dep} INTERFACE_LINK_LIBRARIES)
        if(public)
            list(APPEND todo ${public})
        endif()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(quillet_enforce_layers)
    get_property(targets GLOBAL PROPERTY QUILLET_LAYER_TARGETS)
    get_property(folders GLOBAL PROPERTY QUILLET_LAYER_FOLDERS)
    set(src ${PROJECT_SOURCE_DIR}/src)
    foreach(target ${targets})
        if(NOT TARGET ${target})
            continue()
        endif()
        quillet_link_closure(${target} closure)
        set(allowed "")
        set(qt OFF)
        foreach(dep ${target} ${closure})
            if(dep MATCHES "^Qt6::")
                set(qt ON)
            elseif(TARGET ${dep})
                get_target_property(folder ${dep} QUILLET_FOLDER)
                if(folder)
                    list(APPEND allowed "${folder}/")
                endif()
            endif()
        endforeach()

        # The target's own sources, then the headers of its folder.
        set(files "")
        get_target_property(target_dir ${target} SOURCE_DIR)
        get_target_property(sources ${target} SOURCES)
        foreach(source ${sources})
            if(source MATCHES "\\.(cpp|h)$")
                get_filename_component(source ${source} ABSOLUTE BASE_DIR ${target_dir})
                list(APPEND files ${source})
                # A program may include the headers beside its own sources.
                file(RELATIVE_PATH rel ${src} ${source})
                get_filename_component(rel_dir ${rel} DIRECTORY)
                list(APPEND allowed "${rel_dir}/")
            endif()
        endforeach()
        get_target_property(own ${target} QUILLET_FOLDER)
        if(own)
            file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${src}/${own}/*.h)
            foreach(header ${headers})
                file(RELATIVE_PATH rel ${src} ${header})
                set(owner "")
                set(owner_length 0)
                foreach(folder ${folders})
                    string(LENGTH "${folder}" length)
                    string(SUBSTRING "${rel}" 0 ${length} head)
                    if(head STREQUAL folder AND length GREATER owner_length)
                        set(owner ${folder})
                        set(owner_length ${length})
                    endif()
                endforeach()
                if(owner STREQUAL "${own}/")
                    list(APPEND files ${header})
                endif()
            endforeach()
        endif()
        list(REMOVE_DUPLICATES files)
        list(REMOVE_DUPLICATES allowed)

        set(dir ${CMAKE_BINARY_DIR}/layers)
        set(args ${dir}/${target}.cmake)
        file(CONFIGURE OUTPUT ${args} CONTENT
"set(TARGET \"${target}\")
set(SOURCE_ROOT \"${src}/\")
set(FILES \"${files}\")
set(FOLDERS \"${folders}\")
set(ALLOWED \"${allowed}\")
set(QT ${qt})
")
        set(stamp ${dir}/${target}.checked)
        add_custom_command(OUTPUT ${stamp}
            COMMAND ${CMAKE_COMMAND} -DARGS=${args} -DSTAMP=${stamp} -P ${QUILLET_LAYER_CHECK}
            DEPENDS ${files} ${args} ${QUILLET_LAYER_CHECK}
            COMMENT "Checking the includes of ${target}"
            VERBATIM)
        add_custom_target(${target}_layers DEPENDS ${stamp})
        add_dependencies(${target} ${target}_layers)
    endforeach()
endfunction()
