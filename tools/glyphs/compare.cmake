# Regenerates the glyph sheet into a scratch folder and compares it with the
# committed one: cmake -DGENERATOR=... -DOUTPUT=... -DREFERENCE=... -P compare.cmake
get_filename_component(dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
file(REMOVE "${OUTPUT}")
execute_process(COMMAND "${GENERATOR}" "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the glyph generator failed (${result})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUTPUT}" "${REFERENCE}"
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${REFERENCE} differs from the generator's output ${OUTPUT}; "
                      "regenerate it with velm_glyphs")
endif()
