# The WebAssembly build (emcmake cmake ...): the show's core on the browser's stand-ins for SFML,
# the inspector for node, and, when its folder exists, the page (src/web/CMakeLists.txt).
#
# Debian's header-only libraries come from the host: only their folders are put on the include
# path (the host's /usr/include as a whole would bring glibc's headers in).
set(TOLVA_HOST_INCLUDE ${CMAKE_BINARY_DIR}/host-include)
file(MAKE_DIRECTORY ${TOLVA_HOST_INCLUDE})
foreach(folder fmt nlohmann CLI stb)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/web.sh, which installs it")
  endif()
  if(NOT EXISTS ${TOLVA_HOST_INCLUDE}/${folder})
    file(CREATE_LINK /usr/include/${folder} ${TOLVA_HOST_INCLUDE}/${folder} SYMBOLIC)
  endif()
endforeach()

# Everything the page or the inspector reads at run time is staged here (scripts/web.sh copies the
# native build's assets and the glyph exports in).
set(TOLVA_RUN_DIR ${CMAKE_BINARY_DIR}/run)
file(MAKE_DIRECTORY ${TOLVA_RUN_DIR})

# The core: what touches no window, GL context, X11, process or SFML audio.
set(TOLVA_SRC ${CMAKE_SOURCE_DIR}/src)
file(GLOB TOLVA_WEB_CORE_SOURCES CONFIGURE_DEPENDS
     ${TOLVA_SRC}/scenes/*.cpp
     ${TOLVA_SRC}/show/*.cpp
     ${TOLVA_SRC}/worktime/*.cpp
     ${TOLVA_SRC}/web/sfml/*.cpp)
foreach(source driver/Show driver/StartUp driver/Timeline
               render/Batch render/DrawPlan render/Occlusion render/ShapeGeometry
               render/TextGeometry render/Recorder
               sound/Voices sound/SoundDeck sound/SoundFile)
  list(APPEND TOLVA_WEB_CORE_SOURCES ${TOLVA_SRC}/${source}.cpp)
endforeach()

add_library(tolva_web_core STATIC ${TOLVA_WEB_CORE_SOURCES})
# The stand-ins come before anything else named SFML.
target_include_directories(tolva_web_core BEFORE PUBLIC ${TOLVA_SRC}/web/sfml)
target_include_directories(tolva_web_core PUBLIC ${TOLVA_SRC})
target_include_directories(tolva_web_core SYSTEM PUBLIC ${TOLVA_HOST_INCLUDE} ${TOLVA_HOST_INCLUDE}/stb)
target_compile_definitions(tolva_web_core PUBLIC FMT_HEADER_ONLY)

# The inspector for node: the same arguments and output as the native one. Its refusals are
# exceptions, so it catches them (the core itself throws none on the show's paths).
add_executable(tolva-inspect ${CMAKE_SOURCE_DIR}/tools/inspect.cpp ${TOLVA_SRC}/web/NodeDesktop.cpp)
target_link_libraries(tolva-inspect PRIVATE tolva_web_core)
target_compile_options(tolva-inspect PRIVATE -fexceptions)
target_link_options(tolva-inspect PRIVATE -fexceptions -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH=1
                    -sEXIT_RUNTIME=1 -sNODERAWFS=1)
set_target_properties(tolva-inspect PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TOLVA_RUN_DIR} SUFFIX ".js")

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/web/CMakeLists.txt)
  add_subdirectory(bench/web)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/src/web/CMakeLists.txt)
  add_subdirectory(src/web)
endif()
