# The GTK 3 build, for now the banner alone: the rest of the launcher still
# needs libglade. The banner's tests that need no window of the launcher,
# and its benchmarks that need no launcher, against the banner library.
enable_testing()
if(TROVIK_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_executable(test_banner
    tests/support/test_main.cpp
    tests/support/tempdir.cpp
    tests/support/process.cpp
    tests/support/tga_writer.cpp
    tests/banner/banner_window.cpp
    tests/banner/gl_test.cpp
    tests/banner/gl_area_test.cpp
    tests/banner/tga_test.cpp
  )
  target_include_directories(test_banner PRIVATE tests/support)
  target_link_libraries(test_banner PRIVATE banner GTest::gtest)
  # No launcher to run in this build.
  target_compile_definitions(test_banner PRIVATE
    TROVIK_SOURCE_DIR="${CMAKE_SOURCE_DIR}" GTKTROVIK_BIN="/nonexistent/gtktrovik")
  gtest_discover_tests(test_banner DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES TIMEOUT 120 LABELS banner)
endif()
if(TROVIK_BENCHMARKS)
  find_package(benchmark REQUIRED)
  add_executable(bench_banner bench/banner_bench.cpp)
  target_link_libraries(bench_banner PRIVATE banner benchmark::benchmark)
  target_compile_definitions(bench_banner PRIVATE TROVIK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_executable(bare_window bench/bare_window.cpp)
  target_link_libraries(bare_window PRIVATE banner)
  add_executable(bare_banner bench/bare_banner.cpp)
  target_link_libraries(bare_banner PRIVATE banner)
endif()
