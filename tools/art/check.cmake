# Runs an asset generator into a fresh directory and compares every file it
# writes byte for byte with the committed asset:
#   cmake -DGENERATOR=exe -DOUTPUT=dir -DASSETS=dir -DFILES="a;b" -P check.cmake
file(REMOVE_RECURSE "${OUTPUT}")
file(MAKE_DIRECTORY "${OUTPUT}")
execute_process(COMMAND "${GENERATOR}" "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${result}")
endif()
foreach(file ${FILES})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUTPUT}/${file}" "${ASSETS}/${file}"
                  RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${file} differs from what ${GENERATOR} draws; regenerate the assets")
  endif()
endforeach()
