# Installs velmo.desktop with Exec and TryExec naming the installed program by its full path.
# Input: VELMO_ENTRY_SOURCE (the entry), VELMO_PROGRAM (installed program), VELMO_ENTRY_FOLDER.

if(VELMO_PROGRAM MATCHES "\n")
    message(FATAL_ERROR "Le chemin du programme contient un saut de ligne : ${VELMO_PROGRAM}")
endif()

# A desktop entry's string value takes "\\" for a backslash.
function(velmo_entry_string text result)
    string(REPLACE [[\]] [[\\]] text "${text}")
    set(${result} "${text}" PARENT_SCOPE)
endfunction()

# Exec quoting: the path in double quotes, with " ` $ \ escaped by a backslash and % doubled.
set(quoted "${VELMO_PROGRAM}")
foreach(special [[\]] [["]] [[`]] [[$]])
    string(REPLACE "${special}" "\\${special}" quoted "${quoted}")
endforeach()
string(REPLACE "%" "%%" quoted "${quoted}")
velmo_entry_string("\"${quoted}\"" exec)
velmo_entry_string("${VELMO_PROGRAM}" tryExec)

file(READ "${VELMO_ENTRY_SOURCE}" entry)
foreach(line "Exec=velmo %f" "TryExec=velmo")
    string(FIND "${entry}" "\n${line}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${VELMO_ENTRY_SOURCE} n'a pas la ligne « ${line} »")
    endif()
endforeach()
string(REPLACE "\nExec=velmo %f\n" "\nExec=${exec} %f\n" entry "${entry}")
string(REPLACE "\nTryExec=velmo\n" "\nTryExec=${tryExec}\n" entry "${entry}")

set(target "$ENV{DESTDIR}${VELMO_ENTRY_FOLDER}/velmo.desktop")
message(STATUS "Installing: ${target}")
file(WRITE "${target}" "${entry}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")

# File managers learn which programs open a type from the folder's mimeinfo.cache. A staged
# install (DESTDIR) leaves that to the package's own triggers.
if("$ENV{DESTDIR}" STREQUAL "")
    find_program(VELMO_UPDATE_DESKTOP_DATABASE update-desktop-database)
    if(VELMO_UPDATE_DESKTOP_DATABASE)
        execute_process(COMMAND "${VELMO_UPDATE_DESKTOP_DATABASE}" --quiet "${VELMO_ENTRY_FOLDER}")
    else()
        message(STATUS "update-desktop-database manque (paquet desktop-file-utils) : "
                       "« Ouvrir avec » ne proposera Velmo qu'après son passage")
    endif()
endif()
