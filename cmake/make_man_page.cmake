# Writes PAGE, the manual page of PROGRAM made by help2man from its --help and --version with the
# extra SECTIONS, dated RELEASE_DATE (so that a build makes the same page on any day), and
# PAGE.gz, compressed as Debian's packages want it.
#   cmake -DHELP2MAN=... -DPROGRAM=... -DNAME=... -DSECTIONS=... -DRELEASE_DATE=YYYY-MM-DD
#         -DPAGE=... -P make_man_page.cmake
include(${CMAKE_CURRENT_LIST_DIR}/release_facts.cmake)
quorvane_days_since_epoch(${RELEASE_DATE} days)
math(EXPR epoch "${days} * 86400")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${epoch} LC_ALL=C.UTF-8
          ${HELP2MAN} --no-info --section=1 --manual=User\ Commands
          --name=${NAME} --include=${SECTIONS} --output=${PAGE} ${PROGRAM}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man could not make ${PAGE} from ${PROGRAM}: ${status}")
endif()
# help2man takes the usage's second line ("NAME --help | --version") for the description's
# first paragraph: it belongs to the synopsis.
file(READ ${PAGE} page)
if(page MATCHES "\n\\.SH DESCRIPTION\n\\.IP\n([^\n]+)\n\\.PP\n")
  set(usage "${CMAKE_MATCH_1}")
  set(paragraph "${CMAKE_MATCH_0}")
  string(REPLACE "${paragraph}" "\n.SH DESCRIPTION\n" page "${page}")
  string(FIND "${usage}" " " blank)
  string(SUBSTRING "${usage}" 0 ${blank} name)
  math(EXPR blank "${blank} + 1")
  string(SUBSTRING "${usage}" ${blank} -1 arguments)
  string(REPLACE "\n.SH DESCRIPTION\n" "\n.br\n.B ${name}\n${arguments}\n.SH DESCRIPTION\n"
                 page "${page}")
  file(WRITE ${PAGE} "${page}")
endif()
execute_process(COMMAND gzip -9 --no-name --force --keep ${PAGE} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip could not compress ${PAGE}: ${status}")
endif()
