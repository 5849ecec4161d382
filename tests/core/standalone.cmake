# Compiles core/*.cpp with a main of its own and nothing else of the project,
# exactly as `g++ -std=c++20 -I. core/*.cpp main.cpp` would, then runs it.
file(GLOB core_sources ${SOURCE_DIR}/core/*.cpp)
execute_process(
  COMMAND ${COMPILER} -std=c++20 -I${SOURCE_DIR} ${core_sources}
          ${SOURCE_DIR}/tests/core/standalone_main.cpp -o ${OUTPUT}
  RESULT_VARIABLE compiled)
if(NOT compiled EQUAL 0)
  message(FATAL_ERROR "core/ does not build on its own")
endif()
execute_process(COMMAND ${OUTPUT} RESULT_VARIABLE ran)
if(NOT ran EQUAL 0)
  message(FATAL_ERROR "core/ built on its own gives a wrong answer")
endif()
