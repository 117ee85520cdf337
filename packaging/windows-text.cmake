# cmake -D INPUT=FILE -D OUTPUT=FILE [-D GROFF=PROGRAM] -P windows-text.cmake
# Writes INPUT to OUTPUT as a Windows text file, whose lines end in CR LF;
# given GROFF, INPUT is a manual page, rendered first as plain text for
# people who have no man.
if(GROFF)
  execute_process(COMMAND ${GROFF} -mandoc -Tascii -P-cbou ${INPUT}
    OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
else()
  file(READ ${INPUT} text)
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
