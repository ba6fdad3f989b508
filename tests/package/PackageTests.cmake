# The installation's launchers, and the Debian package: built once by cpack, then looked into and
# checked by lintian.
foreach(part launchers deb)
  add_test(NAME package_${part} COMMAND sh ${CMAKE_SOURCE_DIR}/tests/package/package.sh ${part})
endforeach()
set(environment
    "TOLVA_BUILD_DIR=${CMAKE_BINARY_DIR};TOLVA_SOURCE_DIR=${CMAKE_SOURCE_DIR};TOLVA_RUN_DIR=${TOLVA_RUN_DIR}"
    "TOLVA_VERSION=${PROJECT_VERSION}"
    "TOLVA_BINDIR=${TOLVA_INSTALL_BINDIR};TOLVA_PROGRAMDIR=${TOLVA_INSTALL_PROGRAMDIR};TOLVA_DATADIR=${TOLVA_INSTALL_DATADIR}")
set_tests_properties(package_launchers package_deb PROPERTIES TIMEOUT 900 ENVIRONMENT "${environment}")

# The menu icon's scaling, on pictures made in the test.
find_package(GTest REQUIRED)
include(GoogleTest)
add_executable(tolva_package_tests ${CMAKE_SOURCE_DIR}/tests/package/IconScalingTest.cpp)
target_include_directories(tolva_package_tests PRIVATE ${TOLVA_PACKAGING_DIR}/icon)
target_link_libraries(tolva_package_tests PRIVATE GTest::gtest_main)
gtest_discover_tests(tolva_package_tests DISCOVERY_TIMEOUT 60)
