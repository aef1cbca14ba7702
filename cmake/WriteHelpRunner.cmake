# cmake -DOUT=<file> -DRUN=<command;args> -P WriteHelpRunner.cmake: writes an
# executable shell script that runs the command with the script's arguments
# (help2man runs its program as "<program> --help"). The script is named after
# the program, so the manual page names it so too.
list(JOIN RUN "' '" quoted)
file(WRITE ${OUT} "#!/bin/sh\nexec '${quoted}' \"$@\"\n")
file(CHMOD ${OUT} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
