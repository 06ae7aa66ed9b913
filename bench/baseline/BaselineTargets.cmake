# The benchmarks of this tree (QUORIN_BENCH_SOURCE: its bench folder) built over the libraries of the earlier
# release being configured, with QUORIN_BENCH_BASELINE defined where the two libraries differ. They land in the
# baseline build's top folder under the names they have in this tree.
set(bench ${QUORIN_BENCH_SOURCE})

add_executable(baseline_bench_first_save ${bench}/cases/bench_first_save.cpp)
target_link_libraries(baseline_bench_first_save PRIVATE quorin_cases benchmark::benchmark)

add_executable(baseline_bench_case_save ${bench}/mainwin/bench_case_save.cpp ${bench}/mainwin/gui_bench_main.cpp)
# The case file is made by this tree's maker, so that both builds save beside the same cases.
target_include_directories(baseline_bench_case_save PRIVATE ${bench}/../tests/mainwin)
target_link_libraries(baseline_bench_case_save PRIVATE quorin_mainwin benchmark::benchmark)

set(baseline_benches baseline_bench_first_save baseline_bench_case_save)
foreach(target ${baseline_benches})
  string(REPLACE "baseline_" "" name ${target})
  target_include_directories(${target} PRIVATE ${bench})
  target_compile_definitions(${target} PRIVATE QUORIN_BENCH_BASELINE)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endforeach()
add_custom_target(quorin_baseline_benches DEPENDS ${baseline_benches})
