# Runs an asset generator into a fresh scratch folder and compares every file
# it writes byte for byte with the committed asset:
#   cmake -DGENERATOR=exe -DOUTPUT=dir -DASSETS=dir -DFILES="a;b" [-DPASS_FILE=ON]
#         [-DOPTIONS="--opt;..."] -P compare_generated.cmake
# The generator is given OPTIONS, if any, then the scratch folder, or with
# PASS_FILE the path of the one file in FILES inside it.
file(REMOVE_RECURSE "${OUTPUT}")
file(MAKE_DIRECTORY "${OUTPUT}")
set(argument "${OUTPUT}")
if(PASS_FILE)
  list(LENGTH FILES count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "PASS_FILE needs exactly one name in FILES")
  endif()
  set(argument "${OUTPUT}/${FILES}")
endif()
execute_process(COMMAND "${GENERATOR}" ${OPTIONS} "${argument}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${result}")
endif()
foreach(file ${FILES})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUTPUT}/${file}" "${ASSETS}/${file}"
                  RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${ASSETS}/${file} differs from what ${GENERATOR} writes; regenerate the assets with it")
  endif()
endforeach()
