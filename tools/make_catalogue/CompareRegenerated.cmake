# Runs make_catalogue into a scratch file and fails unless it equals the committed catalogue.
execute_process(COMMAND ${TOOL} ${NAMEPLATES} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_catalogue failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${EXPECTED} RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "regenerated catalogue differs from ${EXPECTED}")
endif()
