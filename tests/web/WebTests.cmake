# The browser build held to the native one (scripts/web.sh builds it into TOLVA_WEB_BUILD; these
# tests are added when it is there). The native inspector needs the X display of the xvfb fixture.
set(TOLVA_WEB_COMPARE /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/web/compare-inspectors.py
    ${TOLVA_RUN_DIR} ${TOLVA_WEB_BUILD}/run ${CMAKE_CURRENT_SOURCE_DIR}/support/SceneMoments.h)
# Both timelines identical; every scene moment equal but for floats' last bits; a glyph export
# cut short or missing leaves its font empty as a missing font file does natively.
foreach(part timelines moments lost-font)
  add_test(NAME web_inspector_${part} COMMAND ${TOLVA_WEB_COMPARE} ${part})
  set_tests_properties(web_inspector_${part} PROPERTIES
      ENVIRONMENT "DISPLAY=:${TOLVA_UNIT_DISPLAY};ALSOFT_DRIVERS=null"
      FIXTURES_REQUIRED xvfb
      TIMEOUT 900)
endforeach()

# The page's own tests, in headless Chromium.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/web/PageTests.cmake)
  include(${CMAKE_CURRENT_SOURCE_DIR}/web/PageTests.cmake)
endif()
