# Given to the configure of an earlier release's checkout as CMAKE_PROJECT_INCLUDE (bench/CMakeLists.txt does so):
# once that tree's top folder is read and its libraries are defined, BaselineTargets.cmake adds to it the
# benchmarks of this tree that compare with it.
include_guard(GLOBAL)
cmake_language(DEFER CALL include ${QUORIN_BENCH_SOURCE}/baseline/BaselineTargets.cmake)
