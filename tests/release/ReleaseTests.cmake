# The party release: the archive scripts/release.sh writes from this build, built twice; its
# contents; the programs started from it every way a person would; and the archive on a bare
# Debian 12 desktop root, read-only (needs root; skipped otherwise).
set(TOLVA_RELEASE_ROOT_DISPLAY "" CACHE STRING
    "X display number of the release test's server inside its Debian root (default: the tests' base + 23)")
if(TOLVA_RELEASE_ROOT_DISPLAY STREQUAL "")
  math(EXPR tolva_release_root_display "${TOLVA_TEST_DISPLAY} + 23")
else()
  set(tolva_release_root_display ${TOLVA_RELEASE_ROOT_DISPLAY})
endif()
math(EXPR tolva_release_display "${TOLVA_TEST_DISPLAY} + 22")

add_executable(tolva_release_tests ${CMAKE_CURRENT_LIST_DIR}/AssetFolderTest.cpp)
target_link_libraries(tolva_release_tests PRIVATE tolva_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(tolva_release_tests TEST_PREFIX "release." DISCOVERY_TIMEOUT 60)

add_executable(tolva-release-heard ${CMAKE_CURRENT_LIST_DIR}/Heard.cpp)
target_link_libraries(tolva-release-heard PRIVATE sfml-audio sfml-system)
add_dependencies(tolva_release_tests tolva-release-heard)

set(tolva_release_script ${CMAKE_CURRENT_LIST_DIR}/release-test.sh)
set(tolva_release_environment
    "TOLVA_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    "TOLVA_BUILD_DIR=${CMAKE_BINARY_DIR}"
    "TOLVA_RUN_DIR=${TOLVA_RUN_DIR}"
    "TOLVA_HEARD=$<TARGET_FILE:tolva-release-heard>"
    "TOLVA_RELEASE_DISPLAY=${tolva_release_display}"
    "TOLVA_RELEASE_ROOT_DISPLAY=${tolva_release_root_display}")
foreach(check built-twice contents any-way bare-desktop)
  add_test(NAME release.${check} COMMAND ${tolva_release_script} ${check})
  set_tests_properties(release.${check} PROPERTIES
      ENVIRONMENT "${tolva_release_environment}" TIMEOUT 300 SKIP_RETURN_CODE 77)
endforeach()
set_tests_properties(release.built-twice PROPERTIES FIXTURES_SETUP release_archive)
set_tests_properties(release.contents release.any-way release.bare-desktop PROPERTIES
    FIXTURES_REQUIRED release_archive)
# Making the Debian root the first time takes a few minutes more.
set_tests_properties(release.bare-desktop PROPERTIES TIMEOUT 900 RESOURCE_LOCK tolva_release_root)
