# Build step (cmake -P) that makes the installed extras from what the build has staged:
# the menu icons from the title picture, the copyright file with the fonts' licences, and the
# gzipped manual page and changelog. Every -D below is passed by cmake/Install.cmake.
#   ICON_TOOL TITLE_PICTURE ICON_DIR ICON_SIZES
#   FONTS_DIR COPYRIGHT_HEADER COPYRIGHT_SCRIPT COPYRIGHT_OUT
#   GZIP_INPUTS (list of plain files, each gzipped beside itself as FILE.gz)

# Icons: only once the asset build has drawn the title picture.
if(EXISTS "${TITLE_PICTURE}")
  foreach(size IN LISTS ICON_SIZES)
    set(dir "${ICON_DIR}/hicolor/${size}x${size}/apps")
    file(MAKE_DIRECTORY "${dir}")
    execute_process(COMMAND "${ICON_TOOL}" "${TITLE_PICTURE}" "${dir}/tolva.new.png" ${size}
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "making the ${size}x${size} icon from ${TITLE_PICTURE} failed")
    endif()
    file(COPY_FILE "${dir}/tolva.new.png" "${dir}/tolva.png" ONLY_IF_DIFFERENT)
    file(REMOVE "${dir}/tolva.new.png")
  endforeach()
else()
  message(STATUS "No title picture at ${TITLE_PICTURE} yet: the package gets no menu icon")
  file(REMOVE_RECURSE "${ICON_DIR}/hicolor")
endif()

# Copyright: the show's own notice and one paragraph for each staged font.
execute_process(COMMAND sh "${COPYRIGHT_SCRIPT}" "${COPYRIGHT_HEADER}" "${FONTS_DIR}"
                           "${COPYRIGHT_OUT}.new"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "writing the copyright file failed")
endif()
file(COPY_FILE "${COPYRIGHT_OUT}.new" "${COPYRIGHT_OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${COPYRIGHT_OUT}.new")

# gzip -n: no name or time stamp inside, so the same text gives the same bytes.
foreach(plain IN LISTS GZIP_INPUTS)
  execute_process(COMMAND gzip -9 -n -c INPUT_FILE "${plain}" OUTPUT_FILE "${plain}.gz.new"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip of ${plain} failed")
  endif()
  file(COPY_FILE "${plain}.gz.new" "${plain}.gz" ONLY_IF_DIFFERENT)
  file(REMOVE "${plain}.gz.new")
endforeach()
