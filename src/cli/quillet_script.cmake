# quillet-script FILE [ARGS]: runs a VBScript file as a console script host.
add_executable(quillet-script ${CMAKE_CURRENT_LIST_DIR}/quillet_script.cpp
                              ${CMAKE_CURRENT_LIST_DIR}/wscript_object.cpp)
target_link_libraries(quillet-script PRIVATE quillet_script)
quillet_layered_program(quillet-script)
