# Installation (cmake --install) and the Debian package (cpack).
#
# The show reads its assets relative to the folder it runs in. Installed, the programs go to
# lib/tolva, the asset folders to share/tolva, and bin/ gets small launchers that change into
# share/tolva and start the programs; they find both folders relative to themselves, so the
# installation works under any prefix and unpacked anywhere. The programs are not changed.
#
#   <prefix>/bin/tolva, tolva-capture, tolva-preview, tolva-farm, tolva-flashes   launchers (shell scripts)
#   <prefix>/lib/tolva/tolva, tolva-capture, tolva-preview, tolva-farm, tolva-flashes  the programs
#   <prefix>/share/tolva/{fonts,graphics,sounds,shaders}
#   <prefix>/share/applications/tolva.desktop, share/icons/hicolor/*/apps/tolva.png
#   <prefix>/share/man/man6/tolva.6.gz (the other programs' pages link to it)
#   <prefix>/share/doc/tolva/copyright, changelog.gz

include(GNUInstallDirs)

set(TOLVA_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR} CACHE STRING
    "Where the launchers go, relative to the prefix")
set(TOLVA_INSTALL_PROGRAMDIR lib/tolva CACHE STRING
    "Where the programs go, relative to the prefix (the launchers start them)")
set(TOLVA_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/tolva CACHE STRING
    "Where the asset folders go, relative to the prefix (the programs run there)")
foreach(dir TOLVA_INSTALL_BINDIR TOLVA_INSTALL_PROGRAMDIR TOLVA_INSTALL_DATADIR)
  if(IS_ABSOLUTE "${${dir}}")
    message(FATAL_ERROR "${dir} must be relative to the prefix: the launchers find the "
                        "programs and assets relative to themselves")
  endif()
endforeach()
set(TOLVA_PACKAGE_MAINTAINER "Tolva developers <maintainers@users.noreply.c-seed-18864189.example>"
    CACHE STRING "Maintainer of the Debian package")

# Directories the installation creates: 0755 as Debian wants, whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(TOLVA_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(TOLVA_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
# Dates written into the changelog and manual page: fixed, so the package is reproducible.
set(TOLVA_CHANGELOG_DATE "Sun, 06 Dec 2026 12:00:00 +0000")
set(TOLVA_MANUAL_DATE "December 2026")
set(TOLVA_MANUAL_PREFIX /usr)

# --- Programs and launchers ------------------------------------------------------------
set(TOLVA_INSTALLED_PROGRAMS tolva)
foreach(tool tolva-capture tolva-preview tolva-farm tolva-flashes)
  if(TARGET ${tool})
    list(APPEND TOLVA_INSTALLED_PROGRAMS ${tool})
  endif()
endforeach()
install(TARGETS ${TOLVA_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${TOLVA_INSTALL_PROGRAMDIR})

# The launchers' relative paths, worked out on a stand-in prefix (they do not depend on it).
file(RELATIVE_PATH TOLVA_LAUNCHER_TO_DATA
     /prefix/${TOLVA_INSTALL_BINDIR} /prefix/${TOLVA_INSTALL_DATADIR})
file(RELATIVE_PATH TOLVA_LAUNCHER_TO_PROGRAMS
     /prefix/${TOLVA_INSTALL_BINDIR} /prefix/${TOLVA_INSTALL_PROGRAMDIR})
# The farm runs this machine's parts through the capture beside it, in the asset folder.
if(TARGET tolva-farm)
  file(RELATIVE_PATH TOLVA_FARM_TO_DATA
       /prefix/${TOLVA_INSTALL_PROGRAMDIR} /prefix/${TOLVA_INSTALL_DATADIR})
  target_compile_definitions(tolva-farm PRIVATE TOLVA_FARM_TO_DATA="${TOLVA_FARM_TO_DATA}")
endif()
# The launchers are generated (the tests try them on stand-in programs); each is installed
# with its program.
foreach(TOLVA_LAUNCHED_PROGRAM tolva tolva-capture tolva-farm)
  configure_file(${TOLVA_PACKAGING_DIR}/launcher/${TOLVA_LAUNCHED_PROGRAM}.in
                 ${TOLVA_PACKAGING_OUT}/launchers/${TOLVA_LAUNCHED_PROGRAM} @ONLY)
endforeach()
# The preview takes no paths: the show's own launcher serves it.
set(TOLVA_LAUNCHED_PROGRAM tolva-preview)
configure_file(${TOLVA_PACKAGING_DIR}/launcher/tolva.in
               ${TOLVA_PACKAGING_OUT}/launchers/tolva-preview @ONLY)
# The flash checker reads no assets: the farm's launcher, which stays in the caller's folder,
# serves it.
set(TOLVA_LAUNCHED_PROGRAM tolva-flashes)
configure_file(${TOLVA_PACKAGING_DIR}/launcher/tolva-farm.in
               ${TOLVA_PACKAGING_OUT}/launchers/tolva-flashes @ONLY)
foreach(TOLVA_LAUNCHED_PROGRAM IN LISTS TOLVA_INSTALLED_PROGRAMS)
  install(PROGRAMS ${TOLVA_PACKAGING_OUT}/launchers/${TOLVA_LAUNCHED_PROGRAM}
          DESTINATION ${TOLVA_INSTALL_BINDIR})
endforeach()

# --- Assets ----------------------------------------------------------------------------
# Whatever the asset build has staged; a folder it does not make yet is left out.
foreach(folder fonts graphics sounds shaders)
  install(DIRECTORY ${TOLVA_RUN_DIR}/${folder} DESTINATION ${TOLVA_INSTALL_DATADIR} OPTIONAL)
endforeach()

# --- Menu entry, icon, manual page, copyright --------------------------------------------
add_executable(tolva-icon ${TOLVA_PACKAGING_DIR}/icon/make_icon.cpp)
target_include_directories(tolva-icon PRIVATE ${TOLVA_PACKAGING_DIR}/icon)
target_link_libraries(tolva-icon PRIVATE sfml-graphics)
set_target_properties(tolva-icon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TOLVA_PACKAGING_OUT})

configure_file(${TOLVA_PACKAGING_DIR}/man/tolva.6.in ${TOLVA_PACKAGING_OUT}/man/tolva.6 @ONLY)
configure_file(${TOLVA_PACKAGING_DIR}/debian/changelog.in ${TOLVA_PACKAGING_OUT}/doc/changelog @ONLY)
file(CREATE_LINK tolva.6.gz ${TOLVA_PACKAGING_OUT}/man/tolva-capture.6.gz SYMBOLIC)
file(CREATE_LINK tolva.6.gz ${TOLVA_PACKAGING_OUT}/man/tolva-preview.6.gz SYMBOLIC)
file(CREATE_LINK tolva.6.gz ${TOLVA_PACKAGING_OUT}/man/tolva-farm.6.gz SYMBOLIC)
file(CREATE_LINK tolva.6.gz ${TOLVA_PACKAGING_OUT}/man/tolva-flashes.6.gz SYMBOLIC)

set(TOLVA_ICON_SIZES 48 128 256)
# Runs on every build (it is quick): the title picture and the fonts come from other targets,
# whose outputs this folder cannot name as file dependencies.
add_custom_target(tolva_package_files ALL
    COMMAND ${CMAKE_COMMAND}
            -DICON_TOOL=$<TARGET_FILE:tolva-icon>
            -DTITLE_PICTURE=${TOLVA_RUN_DIR}/graphics/demoname.png
            -DICON_DIR=${TOLVA_PACKAGING_OUT}/icons
            "-DICON_SIZES=${TOLVA_ICON_SIZES}"
            -DFONTS_DIR=${TOLVA_RUN_DIR}/fonts
            -DCOPYRIGHT_HEADER=${TOLVA_PACKAGING_DIR}/debian/copyright.in
            -DCOPYRIGHT_SCRIPT=${TOLVA_PACKAGING_DIR}/debian/make-copyright.sh
            -DCOPYRIGHT_OUT=${TOLVA_PACKAGING_OUT}/doc/copyright
            "-DGZIP_INPUTS=${TOLVA_PACKAGING_OUT}/man/tolva.6;${TOLVA_PACKAGING_OUT}/doc/changelog"
            -P ${TOLVA_PACKAGING_DIR}/stage-package-files.cmake
    COMMENT "Making the menu icon, copyright file and manual page"
    VERBATIM)
add_dependencies(tolva_package_files tolva-icon)
# After every target of the asset build (the title picture, the fonts and their notices).
function(tolva_asset_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    tolva_asset_targets(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/assets/CMakeLists.txt)
  tolva_asset_targets(${CMAKE_SOURCE_DIR}/tools/assets TOLVA_ASSET_TARGETS)
  if(TOLVA_ASSET_TARGETS)
    add_dependencies(tolva_package_files ${TOLVA_ASSET_TARGETS})
  endif()
endif()

install(FILES ${TOLVA_PACKAGING_DIR}/desktop/tolva.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${TOLVA_PACKAGING_OUT}/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons OPTIONAL)
install(FILES ${TOLVA_PACKAGING_OUT}/man/tolva.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The tools' pages are links to the show's (one page tells them all).
foreach(tool tolva-capture tolva-preview tolva-farm tolva-flashes)
  if(TARGET ${tool})
    install(FILES ${TOLVA_PACKAGING_OUT}/man/${tool}.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  endif()
endforeach()
install(FILES ${TOLVA_PACKAGING_OUT}/doc/copyright ${TOLVA_PACKAGING_OUT}/doc/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# --- Debian package ----------------------------------------------------------------------
# Runtime dependencies: the shared libraries' packages (libsfml-*, found by dpkg-shlibdeps), the
# font packages the show's fonts come from (every fonts-* line of scripts/packages.txt), and
# ffmpeg for the capture tool and the flash checker.
set(TOLVA_PACKAGE_LIST ${CMAKE_SOURCE_DIR}/scripts/packages.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TOLVA_PACKAGE_LIST})
file(STRINGS ${TOLVA_PACKAGE_LIST} TOLVA_FONT_PACKAGES REGEX "^[ \t]*fonts-[a-z0-9.+-]+[ \t]*$")
list(TRANSFORM TOLVA_FONT_PACKAGES STRIP)
list(REMOVE_DUPLICATES TOLVA_FONT_PACKAGES)
list(JOIN TOLVA_FONT_PACKAGES ", " TOLVA_FONT_DEPENDS)

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PACKAGE_NAME tolva)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tolva developers")
set(CPACK_PACKAGE_CONTACT "${TOLVA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "self-running audiovisual show in the demoscene manner")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TOLVA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${TOLVA_FONT_DEPENDS}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
# What tolva-farm drives, here and on its hosts.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "parallel, openssh-client, rsync, xvfb, xauth, slurm-client")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Tolva is a demo: started, it opens a full-screen window and plays a fixed
timeline of nine scenes, close to six minutes of pictures made of tens of
thousands of circles and squares computed from formulas, with synthesized
tones and two tracks, then closes itself. Escape ends it early.

Photosensitivity warning: near the end of its seventh scene, about 5:13 to
5:15 into the show, its field of small dots passes each point of a quarter
of the picture four times in one second: four flashes, past the general
flash threshold of WCAG 2.2 (three). Tell the audience before showing it.

The package also has tolva-capture, which records the show to a video file
with ffmpeg, tolva-preview, which plays it in a window from any second,
with keys to pause, step and seek, for rehearsing and checking the show,
and tolva-farm, which spreads one capture over many machines with GNU
parallel or a Slurm cluster and joins the parts into the video one capture
would make.
tolva-flashes checks any video for flashes past the general flash and red
flash thresholds of WCAG 2.2, for organisers and video sites.")
# Debian's own touches on the staged tree: the fonts become links to the font packages' files.
set(CPACK_TOLVA_DATADIR ${TOLVA_INSTALL_DATADIR})
set(CPACK_TOLVA_PROGRAMDIR ${TOLVA_INSTALL_PROGRAMDIR})
set(CPACK_PRE_BUILD_SCRIPTS ${TOLVA_PACKAGING_DIR}/debian/prepare-root.cmake)
include(CPack)

# --- Tests -------------------------------------------------------------------------------
# Registered at the end of the top folder, once BUILD_TESTING is known.
function(tolva_register_package_tests)
  if(NOT BUILD_TESTING)
    return()
  endif()
  include(${CMAKE_SOURCE_DIR}/tests/package/PackageTests.cmake)
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL tolva_register_package_tests)
