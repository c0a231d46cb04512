# Only the targets of a `widgets` folder may link QtGui or QtWidgets: the engines stay free of the
# toolkit. citavox_check_toolkit_links() runs at the end of the configure step over every target
# and fails the configure step when another target links them, directly or, for a library,
# through the libraries of ours it links.

# The Qt modules that bring no part of the toolkit along; any other Qt module (Gui, Widgets,
# PrintSupport, OpenGL, Svg, ...) counts as the toolkit. The names are matched as written, since
# Qt's imported targets are not visible where the check runs.
set(CITAVOX_TOOLKIT_FREE_QT Core Concurrent DBus Network Sql Test Xml)

# Every target defined in `dir` and the folders below it.
function(citavox_targets_below dir out)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirs)
        citavox_targets_below(${sub} below)
        list(APPEND targets ${below})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

# The first toolkit module that `target` links, as the chain of links that leads to it ("" when
# none); with `transitive`, through the libraries of ours it links. The arguments after `out` name
# the targets already walked.
function(citavox_toolkit_link target transitive out)
    set(found "")
    set(visited ${ARGN})
    get_target_property(type ${target} TYPE)
    set(links)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(links ${target} LINK_LIBRARIES)
    endif()
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    foreach(link IN LISTS links interface)
        if(link MATCHES "Qt[0-9]*::([A-Za-z0-9_]+)")
            if(NOT CMAKE_MATCH_1 IN_LIST CITAVOX_TOOLKIT_FREE_QT)
                set(found ${CMAKE_MATCH_0})
                break()
            endif()
        elseif(transitive AND TARGET ${link} AND NOT link IN_LIST visited)
            list(APPEND visited ${link})
            citavox_toolkit_link(${link} TRUE below ${visited})
            if(below)
                set(found "${link} -> ${below}")
                break()
            endif()
        endif()
    endforeach()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

function(citavox_check_toolkit_links)
    citavox_targets_below(${PROJECT_SOURCE_DIR} targets)
    set(offenders)
    foreach(target IN LISTS targets)
        get_target_property(source_dir ${target} SOURCE_DIR)
        if(source_dir MATCHES "/widgets$")
            continue()
        endif()
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "UTILITY")
            continue()
        endif()
        # A library hands what it links to its users; a program only uses it.
        set(transitive FALSE)
        if(type MATCHES "LIBRARY$")
            set(transitive TRUE)
        endif()
        citavox_toolkit_link(${target} ${transitive} toolkit)
        if(toolkit)
            file(RELATIVE_PATH where ${PROJECT_SOURCE_DIR} ${source_dir})
            list(APPEND offenders "${target} (${where}) links ${toolkit}")
        endif()
    endforeach()
    if(offenders)
        list(JOIN offenders "\n  " text)
        message(FATAL_ERROR
            "Only targets in a widgets folder may link QtGui, QtWidgets or another Qt module of the "
            "toolkit:\n  ${text}")
    endif()
endfunction()
