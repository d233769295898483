# dbf_fuzzer: repair (both modes) and preview of arbitrary bytes, checked
# against the literal reference model.
add_executable(dbf_fuzzer ${CMAKE_CURRENT_LIST_DIR}/dbf_fuzzer.cpp
                          ${PROJECT_SOURCE_DIR}/tests/support/ReferenceModel.cpp)
target_include_directories(dbf_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_compile_options(dbf_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_options(dbf_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(dbf_fuzzer PRIVATE drelin_engine)
