# Installs the desktop entry and its launcher. Runs at install time, when CMAKE_INSTALL_PREFIX
# is the final prefix (the package's /usr, or whatever --prefix names): both files need
# absolute paths, which only then are known. Set by the caller: TW_SOURCE_DIR, TW_STAGE_DIR,
# TW_BINDIR, TW_LIBEXECDIR, TW_DATADIR.

set(program "${CMAKE_INSTALL_PREFIX}/${TW_BINDIR}/tarnwick")
set(launcher "${CMAKE_INSTALL_PREFIX}/${TW_LIBEXECDIR}/tarnwick/desktop-start")
# A folder of this install's own: cpack and a test may install at the same time.
string(MD5 key "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
set(stage "${TW_STAGE_DIR}/${key}")

# The shell takes the program's path in single quotes, with each quote in it written '\''.
string(REPLACE "'" "'\\''" quoted "${program}")
set(TARNWICK_PROGRAM "'${quoted}'")
configure_file("${TW_SOURCE_DIR}/package/desktop-start.in" "${stage}/desktop-start" @ONLY)

# The entry's Exec takes a path with reserved characters in double quotes, with ", `, $ and \
# escaped by a backslash, and each backslash doubled again by the entry's string rules.
set(exec "${launcher}")
if(exec MATCHES "[^A-Za-z0-9/._+-]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" exec "${exec}")
    string(REPLACE "\\" "\\\\" exec "${exec}")
    set(exec "\"${exec}\"")
endif()
file(READ "${TW_SOURCE_DIR}/src/res/tarnwick.desktop" entry)
# A plain replace: a regular expression's replacement would take the backslashes for its own.
string(REGEX MATCH "\nExec=[^\n]*" line "${entry}")
string(REPLACE "${line}" "\nExec=${exec}" entry "${entry}")
file(WRITE "${stage}/tarnwick.desktop" "${entry}")

file(INSTALL "${stage}/desktop-start" DESTINATION "${CMAKE_INSTALL_PREFIX}/${TW_LIBEXECDIR}/tarnwick"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                      WORLD_EXECUTE)
file(INSTALL "${stage}/tarnwick.desktop" DESTINATION "${CMAKE_INSTALL_PREFIX}/${TW_DATADIR}/applications"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(REMOVE_RECURSE "${stage}")
