# quillet-script FILE [ARGS]: runs a VBScript file as a console script host.
add_executable(quillet-script ${CMAKE_CURRENT_LIST_DIR}/quillet_script.cpp
                              ${CMAKE_CURRENT_LIST_DIR}/wscript_object.cpp)
target_link_libraries(quillet-script PRIVATE quillet_script)
quillet_layered_program(quillet-script)
# The C++ library linked in: a script run is a short process, and loading
# the shared one (its relocations bound at every start) costs more than
# the run of a small script.  Sanitized builds keep the shared one.
if(NOT QUILLET_SANITIZE)
    target_link_options(quillet-script PRIVATE -static-libstdc++ -static-libgcc)
endif()
