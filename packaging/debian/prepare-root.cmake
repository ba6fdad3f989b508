# CPack pre-build script for the Debian package: runs on the staged tree before it is packed.
#
# - A staged font that is a file of an installed Debian font package becomes a relative link to
#   that file: the package depends on the font packages instead of carrying copies. Their
#   notices beside the fonts go too; /usr/share/doc/tolva/copyright carries them.
# - The programs lose the .comment and .note sections that a plain strip leaves.

set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(fonts_rel "${CPACK_TOLVA_DATADIR}/fonts")
set(fonts "${root}/${fonts_rel}")

if(IS_DIRECTORY "${fonts}")
  file(GLOB_RECURSE system_fonts LIST_DIRECTORIES false
       /usr/share/fonts/*.ttf /usr/share/fonts/*.otf /usr/share/fonts/*.TTF /usr/share/fonts/*.OTF)
  file(GLOB staged LIST_DIRECTORIES false "${fonts}/*")
  foreach(file IN LISTS staged)
    get_filename_component(name "${file}" NAME)
    if(IS_SYMLINK "${file}" OR NOT name MATCHES "\\.(ttf|otf|TTF|OTF)$")
      continue()
    endif()
    file(SIZE "${file}" size)
    file(SHA256 "${file}" digest)
    set(twin "")
    foreach(candidate IN LISTS system_fonts)
      if(IS_SYMLINK "${candidate}")
        continue()
      endif()
      file(SIZE "${candidate}" candidate_size)
      if(candidate_size EQUAL size)
        file(SHA256 "${candidate}" candidate_digest)
        if(candidate_digest STREQUAL digest)
          set(twin "${candidate}")
          break()
        endif()
      endif()
    endforeach()
    if(twin)
      file(RELATIVE_PATH target "${CPACK_PACKAGING_INSTALL_PREFIX}/${fonts_rel}" "${twin}")
      file(REMOVE "${file}")
      file(CREATE_LINK "${target}" "${file}" SYMBOLIC)
      file(REMOVE "${file}.copyright")
      message(STATUS "Package: fonts/${name} -> ${target}")
    endif()
  endforeach()
  file(REMOVE "${fonts}/README.md")
endif()

file(GLOB programs LIST_DIRECTORIES false "${root}/${CPACK_TOLVA_PROGRAMDIR}/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note "${program}"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "strip failed on ${program}")
  endif()
endforeach()
