# The show's web page in headless Chromium (tests/web/page_test.py), from the web build's run
# folder: it loads without a console error, its stills of scenes 1, 3 and 5 match the native
# capture's frames, a live run reports its frames and Escape ends it, the show ends by itself and
# the page says so, tracks that do not decode are silent, and a browser without WebGL 2 is told so. Chromium runs one page test at a time.
set(TOLVA_WEB_RUN_DIR ${TOLVA_WEB_BUILD}/run)
if(EXISTS ${TOLVA_WEB_RUN_DIR}/index.html)
  set(TOLVA_PAGE_TEST ${CMAKE_CURRENT_LIST_DIR}/page_test.py)
  set(TOLVA_PAGE_WORK ${CMAKE_CURRENT_BINARY_DIR}/page-frames)
  # Seconds of scene 1 (the credits), scene 3 (the scroller and its shader pair) and scene 5.
  set(TOLVA_PAGE_STILLS 30 100 205)

  add_test(NAME web_page_native_frames
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/native-frames.sh $<TARGET_FILE:tolva-capture> ${TOLVA_RUN_DIR}
                   ${TOLVA_PAGE_WORK} ${TOLVA_PAGE_STILLS})
  set_tests_properties(web_page_native_frames PROPERTIES
      ENVIRONMENT "DISPLAY=:${TOLVA_UNIT_DISPLAY};ALSOFT_DRIVERS=null"
      FIXTURES_REQUIRED xvfb FIXTURES_SETUP web_native_frames TIMEOUT 120)

  add_test(NAME web_page_loads COMMAND /usr/bin/python3 ${TOLVA_PAGE_TEST} loads ${TOLVA_WEB_RUN_DIR})
  add_test(NAME web_page_stills
           COMMAND /usr/bin/python3 ${TOLVA_PAGE_TEST} still ${TOLVA_WEB_RUN_DIR} ${TOLVA_PAGE_WORK} ${TOLVA_PAGE_STILLS})
  add_test(NAME web_page_live_and_escape COMMAND /usr/bin/python3 ${TOLVA_PAGE_TEST} live ${TOLVA_WEB_RUN_DIR})
  add_test(NAME web_page_ends_by_itself COMMAND /usr/bin/python3 ${TOLVA_PAGE_TEST} ends ${TOLVA_WEB_RUN_DIR})
  add_test(NAME web_page_silent_tracks COMMAND /usr/bin/python3 ${TOLVA_PAGE_TEST} silent ${TOLVA_WEB_RUN_DIR})
  add_test(NAME web_page_without_webgl2 COMMAND /usr/bin/python3 ${TOLVA_PAGE_TEST} no-webgl2 ${TOLVA_WEB_RUN_DIR})
  set_tests_properties(web_page_stills PROPERTIES FIXTURES_REQUIRED web_native_frames TIMEOUT 240)
  set_tests_properties(web_page_loads web_page_live_and_escape web_page_silent_tracks web_page_without_webgl2
                       PROPERTIES TIMEOUT 120)
  set_tests_properties(web_page_ends_by_itself PROPERTIES TIMEOUT 200)
  set_tests_properties(web_page_loads web_page_stills web_page_live_and_escape web_page_ends_by_itself
                       web_page_silent_tracks web_page_without_webgl2 PROPERTIES RESOURCE_LOCK chromium)
endif()
