# Runs at install time, when the prefix is the one given to `cmake --install`
# rather than the one configured: the desktop entry names the installed
# command.
#
# Expects TROVIK_SOURCE_DIR, TROVIK_BINARY_DIR, TROVIK_COMMANDDIR and
# TROVIK_APPLICATIONSDIR.

get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
foreach(dir COMMANDDIR APPLICATIONSDIR)
  if(IS_ABSOLUTE "${TROVIK_${dir}}")
    set(${dir} "${TROVIK_${dir}}")
  else()
    set(${dir} "${prefix}/${TROVIK_${dir}}")
  endif()
endforeach()

# A desktop entry value is a string with backslash escapes.
function(desktop_string out value)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\n" "\\n" value "${value}")
  string(REPLACE "\t" "\\t" value "${value}")
  string(REPLACE "\r" "\\r" value "${value}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# Exec= is further split into arguments: the program is one quoted argument,
# with the characters special inside quotes escaped and % doubled for the
# field codes, before the string escapes.
function(desktop_exec_argument out value)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  string(REPLACE "`" "\\`" value "${value}")
  string(REPLACE "$" "\\$" value "${value}")
  string(REPLACE "%" "%%" value "${value}")
  desktop_string(value "\"${value}\"")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

desktop_exec_argument(TROVIK_DESKTOP_EXEC "${COMMANDDIR}/gtktrovik")
configure_file("${TROVIK_SOURCE_DIR}/data/gtktrovik.desktop.in"
               "${TROVIK_BINARY_DIR}/gtktrovik.desktop" @ONLY)
file(INSTALL "${TROVIK_BINARY_DIR}/gtktrovik.desktop" DESTINATION "${APPLICATIONSDIR}")
