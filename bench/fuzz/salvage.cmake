# salvage_fuzzer: record salvage (both modes) of arbitrary bytes, checked for
# a sound output made only of record-length slices of the source. The engine
# is instrumented too, so coverage and the sanitizers reach the salvage code.
add_executable(salvage_fuzzer ${CMAKE_CURRENT_LIST_DIR}/salvage_fuzzer.cpp
                              ${PROJECT_SOURCE_DIR}/tests/support/ReferenceModel.cpp)
target_compile_options(drelin_engine PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
target_include_directories(salvage_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_compile_options(salvage_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_options(salvage_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(salvage_fuzzer PRIVATE drelin_engine)
