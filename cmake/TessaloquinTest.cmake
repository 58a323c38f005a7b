# tessaloquin_add_test(<name> SOURCES <file>... [ASSETS] [XSERVER] [ACCESSIBILITY] [LIBRARIES <lib>...])
#
# Builds one QtTest executable in a folder of its own, so that its applicationDirPath(), and with it the
# res/ and assets/ it uses, belongs to that test alone. ASSETS copies the shipped page and catalogues there.
# The test runs on the offscreen platform with a UTF-8 locale; with XSERVER it runs on an X server of its own
# instead (tests/support/with-xserver), for what offscreen lacks: the selection, a clipboard other programs
# share, real windows. ACCESSIBILITY adds a D-Bus session and an accessibility bus of its own
# (tests/support/with-accessibility-bus), read the way a screen reader reads it.
function(tessaloquin_add_test NAME)
    cmake_parse_arguments(ARG "ASSETS;XSERVER;ACCESSIBILITY" "" "SOURCES;LIBRARIES" ${ARGN})
    set(TEST_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${NAME})

    add_executable(${NAME} ${ARG_SOURCES})
    target_link_libraries(${NAME} PRIVATE tessaloquin_testsupport ${ARG_LIBRARIES})
    set_target_properties(${NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TEST_DIRECTORY})

    if(ARG_ASSETS)
        # Copied at every build, not only when the test relinks: a change to the page alone must reach it.
        add_custom_target(${NAME}_assets ALL
            COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/assets ${TEST_DIRECTORY}/assets)
        add_dependencies(${NAME} ${NAME}_assets)
    endif()

    # Each wrapper runs the command after it: an X server outside (it switches Qt to xcb), the bus inside.
    set(TEST_COMMAND $<TARGET_FILE:${NAME}>)
    if(ARG_ACCESSIBILITY)
        set(TEST_COMMAND ${PROJECT_SOURCE_DIR}/tests/support/with-accessibility-bus ${TEST_COMMAND})
    endif()
    if(ARG_XSERVER OR ARG_ACCESSIBILITY)
        set(TEST_COMMAND ${PROJECT_SOURCE_DIR}/tests/support/with-xserver ${TEST_COMMAND})
    endif()
    add_test(NAME ${NAME} COMMAND ${TEST_COMMAND} WORKING_DIRECTORY ${TEST_DIRECTORY})
    set(TEST_ENVIRONMENT
        "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/tests/runtime")
    if(TESSALOQUIN_ENGINE STREQUAL "webengine")
        # Chromium refuses its sandbox to root, as the tests run here; the program itself never turns it off.
        # What the program sets for itself before its application object exists, the tests' main() does not.
        list(APPEND TEST_ENVIRONMENT "QTWEBENGINE_DISABLE_SANDBOX=1" "QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY=1")
    endif()
    set_tests_properties(${NAME} PROPERTIES TIMEOUT 600 ENVIRONMENT "${TEST_ENVIRONMENT}")
endfunction()
