# SPDX-License-Identifier: GPL-3.0-or-later
# Run at install time (install(CODE)): writes the desktop entry with the installed program's absolute
# path in Exec, so the desktop finds the program even when the prefix's bin is not on PATH. Expects
# SOURCE (the entry as committed), BINARY (the installed program's path) and DESTINATION (the folder
# to install into, DESTDIR not yet applied).

# The path as one Exec argument: quoted, with the characters the quoting reserves escaped, when it
# holds anything beyond plain path characters; "%" is doubled, as field codes reserve it.
if(BINARY MATCHES "^[A-Za-z0-9/._+-]+$")
    set(argument "${BINARY}")
else()
    set(argument "${BINARY}")
    # Each escape is written as the string escape of the quoting escape: "\\" becomes "\\\\".
    string(REPLACE "\\" "\\\\\\\\" argument "${argument}")
    string(REPLACE "\"" "\\\\\"" argument "${argument}")
    string(REPLACE "`" "\\\\`" argument "${argument}")
    string(REPLACE "$" "\\\\$" argument "${argument}")
    string(REPLACE "%" "%%" argument "${argument}")
    set(argument "\"${argument}\"")
endif()

file(READ "${SOURCE}" entry)
string(REPLACE "\nExec=glimbar " "\nExec=${argument} " entry "${entry}")
get_filename_component(name "${SOURCE}" NAME)
set(written "${CMAKE_CURRENT_BINARY_DIR}/${name}")
file(WRITE "${written}" "${entry}")
file(INSTALL "${written}" DESTINATION "$ENV{DESTDIR}${DESTINATION}")
