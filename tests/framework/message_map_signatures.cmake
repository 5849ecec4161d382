# Shows that message-map entries are type-checked: the table with correct
# handlers compiles, and each table with a wrongly typed handler fails with
# the message map's own diagnostic.
set(source ${SOURCE_DIR}/tests/framework/message_map_signature.cpp)
function(compile define result_var output_var)
  execute_process(
    COMMAND ${COMPILER} -std=c++20 -fsyntax-only -I${SOURCE_DIR} -D${define} ${source}
    RESULT_VARIABLE result ERROR_VARIABLE output OUTPUT_QUIET)
  set(${result_var} ${result} PARENT_SCOPE)
  set(${output_var} "${output}" PARENT_SCOPE)
endfunction()

compile(CORRECT result output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "correct handlers do not compile:\n${output}")
endif()
foreach(wrong WRONG_RESULT WRONG_ARGUMENT NOT_A_MEMBER_OF_THE_CLASS)
  compile(${wrong} result output)
  if(result EQUAL 0)
    message(FATAL_ERROR "${wrong}: a wrongly typed handler compiled")
  endif()
  if(NOT output MATCHES "handler must be a member")
    message(FATAL_ERROR "${wrong}: failed, but not on the handler's type:\n${output}")
  endif()
endforeach()
