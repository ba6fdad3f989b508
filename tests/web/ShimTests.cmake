# The browser build's stand-ins for SFML, compiled natively with `sf` renamed (so that they sit
# beside the real SFML in one program), held to SFML bit for bit.
file(GLOB TOLVA_SHIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/web/sfml/*.cpp)
add_library(tolva_sfml_shim STATIC ${TOLVA_SHIM_SOURCES} ${CMAKE_CURRENT_SOURCE_DIR}/web/ShimProbe.cpp)
target_include_directories(tolva_sfml_shim BEFORE PRIVATE ${CMAKE_SOURCE_DIR}/src/web/sfml)
target_include_directories(tolva_sfml_shim SYSTEM PRIVATE /usr/include/stb)
target_compile_definitions(tolva_sfml_shim PRIVATE sf=tolva_shim_sf)

add_executable(tolva_web_shim_tests ${CMAKE_CURRENT_SOURCE_DIR}/web/ShimTest.cpp)
target_link_libraries(tolva_web_shim_tests PRIVATE tolva_sfml_shim sfml-graphics sfml-window sfml-system
                      GTest::gtest GTest::gtest_main)
target_compile_definitions(tolva_web_shim_tests PRIVATE TOLVA_GLYPHS="$<TARGET_FILE:tolva-glyphs>")
add_dependencies(tolva_web_shim_tests tolva-glyphs)
gtest_discover_tests(tolva_web_shim_tests
    WORKING_DIRECTORY ${TOLVA_RUN_DIR}
    PROPERTIES ENVIRONMENT "DISPLAY=:${TOLVA_UNIT_DISPLAY}"
               FIXTURES_REQUIRED xvfb
    DISCOVERY_TIMEOUT 60)
