# quorvane_markdown_to_roff(MARKDOWN OUT): the text of a page of the manual, as the body of a
# manual page's section, so that a man page and the manual say the same from one text. It takes
# the subset the manual's pages use: a first-level heading (left out, the section has its own),
# second-level headings (subsections), paragraphs, lists of "- " items whose lines go on indented
# by two blanks, **bold**, `code` and [links](target), whose text is kept. Fenced code blocks are
# refused, as they would need lines kept as they are.
function(quorvane_markdown_to_roff markdown out)
  set(text "\n${markdown}")
  if(text MATCHES "\n(```|~~~)")
    message(FATAL_ERROR "a page made into a manual page's section cannot hold a code block")
  endif()
  # The page's own heading.
  string(REGEX REPLACE "^\n# [^\n]*\n" "\n" text "${text}")
  # roff's escape character, then the characters roff reads as its own: a hyphen is a minus sign
  # unless escaped, and a line that starts with a full stop or an apostrophe (or, for help2man,
  # with '[' or '/') would be read as a request.
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "\n( *)([.'[/])" "\n\\1\\\\&\\2" text "${text}")
  # Inline markup: links keep their text, bold is bold, code spans are plain.
  string(REGEX REPLACE "\\[([^]\n]*)\\]\\([^)\n]*\\)" "\\1" text "${text}")
  string(REGEX REPLACE "\\*\\*([^*]+)\\*\\*" "\\\\fB\\1\\\\fR" text "${text}")
  string(REPLACE "`" "" text "${text}")
  # Blocks: subsections, list items and the lines that go on with them, paragraphs.
  string(REGEX REPLACE "\n## ([^\n]*)" "\n.SS \\1" text "${text}")
  string(REGEX REPLACE "\n\\\\\\- " "\n.IP \\\\(bu 2\n" text "${text}")
  string(REGEX REPLACE "\n  +" "\n" text "${text}")
  string(REGEX REPLACE "\n\n+" "\n.PP\n" text "${text}")
  # A subsection or an item begins a paragraph of its own.
  string(REGEX REPLACE "\n\\.PP\n(\\.SS|\\.IP)" "\n\\1" text "${text}")
  string(REGEX REPLACE "^\n(\\.PP\n)?" "" text "${text}")
  string(REGEX REPLACE "\n(\\.PP\n)?$" "" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
