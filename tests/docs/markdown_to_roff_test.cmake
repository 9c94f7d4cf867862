# The manual's page of messages made into a manual page's DIAGNOSTICS section: each row a piece of
# the page, the roff it must become, and the fault it catches.
#   cmake -DSOURCE_DIR=... -P markdown_to_roff_test.cmake
include(${SOURCE_DIR}/cmake/markdown_to_roff.cmake)
set(failures 0)
function(expect name markdown roff)
  quorvane_markdown_to_roff("${markdown}" made)
  if(NOT made STREQUAL roff)
    message(SEND_ERROR "${name}:\n  made     [${made}]\n  expected [${roff}]")
  endif()
endfunction()

# A hyphen left bare is a minus sign or a hyphenation point in roff: options would not copy.
expect("hyphens" "# T\n\nrun --seed 7\n" "run \\-\\-seed 7")
# A backslash left bare starts a roff escape: \xHH would vanish from the page.
expect("backslashes" "# T\n\nshown as `\\xHH`\n" "shown as \\exHH")
# A line starting with a full stop or an apostrophe is a roff request, and one starting with
# '[' or '/' a section of help2man's include file: the line would be lost.
expect("requests" "# T\n\nthe file\n.txt is\n'quoted'\n[x] and\n/dev/zero\n"
       "the file\n\\&.txt is\n\\&'quoted'\n\\&[x] and\n\\&/dev/zero")
# An item's message in bold, its continued line joined, and the paragraph after it a new one.
expect("items" "# T\n\nBefore:\n\n- **`no name`**: type\n  the name.\n\nAfter.\n"
       "Before:\n.IP \\(bu 2\n\\fBno name\\fR: type\nthe name.\n.PP\nAfter.")
# A subsection keeps its title, and a link keeps its words without its target.
expect("subsections and links" "# T\n\n## The journal\n\nSee [the reports](reports.md#x).\n"
       ".SS The journal\n.PP\nSee the reports.")

# The manual's page itself converts, and keeps every message it lists in bold.
file(READ ${SOURCE_DIR}/docs/troubleshooting.md page)
quorvane_markdown_to_roff("${page}" roff)
# (Semicolons would split the matches of a list.)
string(REPLACE ";" "," page "${page}")
string(REPLACE ";" "," roff "${roff}")
string(REGEX MATCHALL "\n- \\*\\*`[^`]+`\\*\\*" items "${page}")
list(LENGTH items count)
string(REGEX MATCHALL "\n\\.IP \\\\\\(bu 2\n\\\\fB" bold_items "${roff}")
list(LENGTH bold_items made_count)
if(count EQUAL 0 OR count GREATER made_count)
  message(SEND_ERROR "the page lists ${count} messages, its roff ${made_count}")
endif()
