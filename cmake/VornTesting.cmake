include(GoogleTest)

# Tests never see the user's session: a private runtime folder (mode 0700), their own
# config and data homes, a fixed language and the offscreen platform.
set(VORN_TEST_ROOT "${CMAKE_BINARY_DIR}/test-env")
file(MAKE_DIRECTORY "${VORN_TEST_ROOT}/runtime" "${VORN_TEST_ROOT}/config"
     "${VORN_TEST_ROOT}/data")
file(CHMOD "${VORN_TEST_ROOT}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE
     OWNER_EXECUTE)
set(VORN_TEST_ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen"
    "XDG_RUNTIME_DIR=${VORN_TEST_ROOT}/runtime"
    "XDG_CONFIG_HOME=${VORN_TEST_ROOT}/config"
    "XDG_DATA_HOME=${VORN_TEST_ROOT}/data"
    "LANG=C.UTF-8"
    "VORN_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    "VORN_BINARY_DIR=${CMAKE_BINARY_DIR}"
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
    "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# vorn_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI] [LOCK <resource>])
# One executable per unit; GUI tests get a QApplication, the others a QCoreApplication.
# Tests sharing a LOCK never run at the same time.
function(vorn_add_test name)
    cmake_parse_arguments(ARG "GUI" "LOCK" "SOURCES;LIBS" ${ARGN})
    set(lock)
    if(ARG_LOCK)
        set(lock RESOURCE_LOCK ${ARG_LOCK})
    endif()
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE vorn_test_main_gui)
    else()
        target_link_libraries(${name} PRIVATE vorn_test_main_core)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} vorn_test_support GTest::gtest
                                          GTest::gmock Qt6::Test)
    # The environment goes through the test launcher: gtest_discover_tests flattens a list
    # handed to its ENVIRONMENT property, so only the first variable would arrive.
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
                          "${CMAKE_COMMAND};-E;env;${VORN_TEST_ENVIRONMENT}")
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT 120 ${lock})
endfunction()
