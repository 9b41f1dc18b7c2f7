# The interface file read without a toolkit (interface_file), and converted
# for GTK 3's GtkBuilder (builder_convert), with their tests and benchmark.
# The toolkit's build links them; they depend only on src/base, GLib and
# GTK 3.

pkg_check_modules(GLIB REQUIRED glib-2.0)
add_library(interface_file STATIC src/interface/glade_file.cpp)
target_include_directories(interface_file PUBLIC src)
target_include_directories(interface_file SYSTEM PUBLIC ${GLIB_INCLUDE_DIRS})
target_link_libraries(interface_file PUBLIC ${GLIB_LINK_LIBRARIES})

# A toolkit class found by the name a file gives it, for the start-up checks
# of both toolkits and the conversion. gmodule finds classes no code has
# asked for yet; its -no-export form keeps the program's own functions out
# of its dynamic symbol table.
pkg_check_modules(GOBJECT REQUIRED gobject-2.0 gmodule-no-export-2.0)
add_library(type_lookup STATIC src/base/type_named.cpp)
target_include_directories(type_lookup PUBLIC src)
target_include_directories(type_lookup SYSTEM PUBLIC ${GOBJECT_INCLUDE_DIRS})
target_link_libraries(type_lookup PUBLIC ${GOBJECT_LINK_LIBRARIES})

pkg_check_modules(GTK3 gtk+-3.0 gmodule-no-export-2.0)
if(NOT GTK3_FOUND)
  message(STATUS "GTK 3 not found: no conversion of the interface file for it")
  return()
endif()

add_library(builder_convert STATIC
  src/interface/builder_xml.cpp
  src/interface/class_map.cpp
  src/interface/gtk3_catalog.cpp
)
target_include_directories(builder_convert SYSTEM PUBLIC ${GTK3_INCLUDE_DIRS})
target_compile_options(builder_convert PUBLIC ${GTK3_CFLAGS_OTHER})
target_link_libraries(builder_convert PUBLIC interface_file type_lookup ${GTK3_LINK_LIBRARIES})

if(TROVIK_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(INTERFACE_TESTS ${CMAKE_SOURCE_DIR}/tests/interface)
  add_executable(test_interface
    ${INTERFACE_TESTS}/test_main.cpp
    ${INTERFACE_TESTS}/glade_file_test.cpp
    ${INTERFACE_TESTS}/builder_xml_test.cpp
  )
  target_link_libraries(test_interface PRIVATE builder_convert GTest::gtest)
  target_compile_definitions(test_interface PRIVATE
    TROVIK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(test_interface DISCOVERY_MODE PRE_TEST
    PROPERTIES TIMEOUT 60 LABELS interface)

  # Each window built by libglade on GTK+ 2 and from the converted XML on
  # GTK 3, described widget by widget by one dumper built for each; the
  # two descriptions must agree. GTK+ 2 and GTK 3 cannot share a process.
  add_executable(dump_gtk3 ${INTERFACE_TESTS}/window_dump.cpp)
  target_link_libraries(dump_gtk3 PRIVATE builder_convert)
  pkg_check_modules(LIBGLADE libglade-2.0)
  if(LIBGLADE_FOUND)
    add_executable(dump_libglade ${INTERFACE_TESTS}/window_dump.cpp)
    target_include_directories(dump_libglade SYSTEM PRIVATE ${LIBGLADE_INCLUDE_DIRS})
    target_compile_options(dump_libglade PRIVATE ${LIBGLADE_CFLAGS_OTHER})
    target_compile_definitions(dump_libglade PRIVATE DUMP_LIBGLADE)
    target_link_libraries(dump_libglade PRIVATE interface_file ${LIBGLADE_LINK_LIBRARIES})
    # libglade finds the handlers a file names in the program's symbols.
    target_link_options(dump_libglade PRIVATE -rdynamic)
    foreach(file IN ITEMS data/gtktrovik.glade tests/interface/data/glade2.glade
                          tests/interface/data/glade3.glade)
      get_filename_component(name ${file} NAME_WE)
      add_test(NAME Interface.LibgladeAndGtkBuilderTreesAgree.${name}
        COMMAND sh ${INTERFACE_TESTS}/compare_dumps.sh
                $<TARGET_FILE:dump_libglade> $<TARGET_FILE:dump_gtk3>
                ${CMAKE_SOURCE_DIR}/${file})
      set_tests_properties(Interface.LibgladeAndGtkBuilderTreesAgree.${name}
        PROPERTIES TIMEOUT 60 LABELS interface)
    endforeach()
  endif()
endif()

if(TROVIK_BENCHMARKS)
  find_package(benchmark REQUIRED)
  add_executable(bench_interface bench/interface_bench.cpp)
  target_link_libraries(bench_interface PRIVATE builder_convert benchmark::benchmark)
  target_compile_definitions(bench_interface PRIVATE TROVIK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
