# The layer check refuses an include that climbs and Qt in a Qt-free
# library, and lets through what a library may use.
#   cmake -DCHECK=<src/check_includes.cmake> -DWORK=<scratch folder> -P check_includes_test.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/src/character)

function(run_check name content qt expect_failure)
    set(file ${WORK}/src/character/${name}.cpp)
    file(WRITE ${file} "${content}")
    file(WRITE ${WORK}/${name}.args "set(TARGET quillet_character)
set(SOURCE_ROOT \"${WORK}/src/\")
set(FILES \"${file}\")
set(FOLDERS \"common/;character/;state/;sheet/;sheet/qt/\")
set(ALLOWED \"character/;common/\")
set(QT ${qt})
")
    execute_process(COMMAND ${CMAKE_COMMAND} -DARGS=${WORK}/${name}.args -DSTAMP=${WORK}/${name}.stamp -P ${CHECK}
                    RESULT_VARIABLE result ERROR_VARIABLE errors)
    if(expect_failure AND result EQUAL 0)
        message(FATAL_ERROR "${name}: the check let it through")
    elseif(NOT expect_failure AND NOT result EQUAL 0)
        message(FATAL_ERROR "${name}: refused an allowed include:\n${errors}")
    elseif(expect_failure AND NOT errors MATCHES "src/character/${name}.cpp")
        message(FATAL_ERROR "${name}: the refusal does not name the file:\n${errors}")
    endif()
endfunction()

run_check(own_and_below "#include \"character/cls_item.h\"\n#include \"common/text.h\"\n#include <vector>\n#include \"beside.h\"\n" OFF FALSE)
run_check(climbs "#include \"common/text.h\"\n#include \"state/app_state.h\"\n" OFF TRUE)
run_check(climbs_into_subfolder "  #  include \"sheet/qt/surface_adapter.h\"\n" OFF TRUE)
run_check(qt_in_qt_free "#include <QString>\n" OFF TRUE)
run_check(qt_where_linked "#include <QString>\n" ON FALSE)
file(REMOVE_RECURSE ${WORK})
