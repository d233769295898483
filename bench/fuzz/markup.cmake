# markup_fuzzer: measures and draws arbitrary markup into an image on Qt's
# offscreen platform. The toolkit is instrumented too, so coverage and the
# sanitizers reach the layout code.
if(NOT TARGET drelin_toolkit)
  return()
endif()
add_executable(markup_fuzzer ${CMAKE_CURRENT_LIST_DIR}/markup_fuzzer.cpp)
foreach(target IN ITEMS drelin_toolkit drelin_platform_qt)
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
endforeach()
target_compile_options(markup_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_options(markup_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(markup_fuzzer PRIVATE drelin_toolkit)
