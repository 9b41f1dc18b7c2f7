# Runs at install time, when the prefix is the one given to `cmake --install`
# rather than the one configured: the desktop entry names the installed
# paths, and an existing profiles directory is left as it is.
#
# Expects TROVIK_SOURCE_DIR, TROVIK_BINARY_DIR and TROVIK_DATADIR.

get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
if(IS_ABSOLUTE "${TROVIK_DATADIR}")
  set(datadir "${TROVIK_DATADIR}")
else()
  set(datadir "${prefix}/${TROVIK_DATADIR}")
endif()
set(gamedir "${datadir}/gtktrovik")

# The players' profiles live here; a new install must not lose them.
set(profiles "$ENV{DESTDIR}${gamedir}/profils")
if(EXISTS "${profiles}" OR IS_SYMLINK "${profiles}")
  message(STATUS "Keeping: ${profiles}")
else()
  message(STATUS "Creating: ${profiles}")
  file(MAKE_DIRECTORY "${profiles}")
endif()

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

desktop_exec_argument(TROVIK_DESKTOP_EXEC "${gamedir}/gtktrovik")
desktop_string(TROVIK_DESKTOP_PATH "${gamedir}")
configure_file("${TROVIK_SOURCE_DIR}/data/gtktrovik.desktop.in"
               "${TROVIK_BINARY_DIR}/gtktrovik.desktop" @ONLY)
file(INSTALL "${TROVIK_BINARY_DIR}/gtktrovik.desktop" DESTINATION "${datadir}/applications")
