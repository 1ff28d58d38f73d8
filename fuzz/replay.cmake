# Every fuzz target's seeds as a test of this build, the Windows one under Wine included: the
# target's source with a plain driver in place of libFuzzer. Included from tests/.
include(${CMAKE_CURRENT_LIST_DIR}/targets.cmake)
foreach(name ${VOXTRANE_FUZZ_TARGETS})
  add_executable(${name}_replay ${CMAKE_CURRENT_LIST_DIR}/${name}_fuzz.cpp ${CMAKE_CURRENT_LIST_DIR}/replay_main.cpp)
  target_include_directories(${name}_replay PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name}_replay PRIVATE ${VOXTRANE_FUZZ_LIBS_${name}})
  voxtrane_warnings(${name}_replay)
  add_test(NAME fuzz_seeds_${name} COMMAND ${name}_replay ${CMAKE_CURRENT_LIST_DIR}/corpus/${name})
  set_tests_properties(fuzz_seeds_${name} PROPERTIES ENVIRONMENT "${VOXTRANE_TEST_ENVIRONMENT}")
endforeach()
