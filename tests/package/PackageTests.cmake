# Tests of the installation and the Debian package (included from cmake/Install.cmake once
# BUILD_TESTING is known). They run after a full build, like every test.
# The Xvfb on which the package test starts the installed show (see tests/CMakeLists.txt).
math(EXPR TOLVA_PACKAGE_TEST_DISPLAY "${TOLVA_TEST_DISPLAY} + 10")
set(TOLVA_PACKAGE_TEST_DIR ${CMAKE_BINARY_DIR}/package-test)
set(TOLVA_PACKAGE_TEST_ENV
    "TOLVA_BUILD_DIR=${CMAKE_BINARY_DIR}"
    "TOLVA_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    "TOLVA_RUN_DIR=${TOLVA_RUN_DIR}"
    "TOLVA_WORK_DIR=${TOLVA_PACKAGE_TEST_DIR}"
    "TOLVA_VERSION=${PROJECT_VERSION}"
    "TOLVA_BINDIR=${TOLVA_INSTALL_BINDIR}"
    "TOLVA_PROGRAMDIR=${TOLVA_INSTALL_PROGRAMDIR}"
    "TOLVA_DATADIR=${TOLVA_INSTALL_DATADIR}"
    "TOLVA_DISPLAY=:${TOLVA_PACKAGE_TEST_DISPLAY}"
    "TOLVA_XVFB_SCRIPT=${CMAKE_SOURCE_DIR}/tests/display/xvfb.sh")
set(here ${CMAKE_SOURCE_DIR}/tests/package)

# The launchers, installed with cmake --install and tried on stand-in programs that report the
# folder they run in and the arguments they get.
add_test(NAME package_launchers COMMAND sh ${here}/launchers.sh)

# The Debian package: built once by cpack, then looked into, started, and checked by lintian.
add_test(NAME package_build COMMAND sh ${here}/build.sh)
add_test(NAME package_contents COMMAND sh ${here}/contents.sh)
add_test(NAME package_starts_from_any_folder COMMAND sh ${here}/start.sh)
add_test(NAME package_lintian COMMAND sh ${here}/lintian.sh)

set_tests_properties(package_launchers package_build package_contents
                     package_starts_from_any_folder package_lintian
    PROPERTIES ENVIRONMENT "${TOLVA_PACKAGE_TEST_ENV}" TIMEOUT 600)
set_tests_properties(package_build PROPERTIES FIXTURES_SETUP tolva_deb RUN_SERIAL TRUE)
set_tests_properties(package_contents package_starts_from_any_folder package_lintian
    PROPERTIES FIXTURES_REQUIRED tolva_deb)
# The show under software GL wants the machine to itself.
set_tests_properties(package_starts_from_any_folder PROPERTIES RUN_SERIAL TRUE)

# The menu icon's scaling, on pictures made in the test.
find_package(GTest REQUIRED)
include(GoogleTest)
add_executable(tolva_package_tests ${here}/IconScalingTest.cpp)
target_include_directories(tolva_package_tests PRIVATE ${TOLVA_PACKAGING_DIR}/icon)
target_link_libraries(tolva_package_tests PRIVATE GTest::gtest GTest::gtest_main)
gtest_discover_tests(tolva_package_tests DISCOVERY_TIMEOUT 60)
