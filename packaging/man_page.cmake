# Makes a man page from a program's own --help: the help text verbatim as
# the synopsis (so the page never drifts from the program), between the
# name line and the hand-written sections of SECTIONS (roff). Run by the
# build as
#   cmake -DPROGRAM=FILE -DNAME=NAME -DSUMMARY=TEXT -DVERSION=V
#         -DSECTIONS=FILE -DOUT=FILE -P man_page.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${code}")
endif()
# Roff reads a backslash as an escape, a line that starts with . or ' as a
# request, and - as a hyphen.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
file(READ ${SECTIONS} sections)
string(TOUPPER "${NAME}" title)
file(WRITE ${OUT}.tmp ".TH ${title} 1 \"\" \"${NAME} ${VERSION}\" \"User Commands\"\n"
  ".SH NAME\n${NAME} \\- ${SUMMARY}\n.SH SYNOPSIS\n.nf\n${help}.fi\n${sections}")
file(RENAME ${OUT}.tmp ${OUT})
