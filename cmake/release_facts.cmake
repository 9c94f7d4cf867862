# Facts of a release that are written once and read by the build, the packaging scripts and the
# check that every file agrees: the release date of a version (its heading in CHANGELOG.md,
# "## 2.0 (2026-12-08)") and the copyright line of LICENSE.

# The date (YYYY-MM-DD) of `version` in `changelog`; stops with an error naming the fix when the
# changelog has no heading for it.
function(quorvane_release_date changelog version result)
  file(STRINGS ${changelog} headings REGEX "^## ")
  foreach(heading IN LISTS headings)
    if(heading MATCHES "^## ([^ ]+) \\(([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])\\)$")
      if(CMAKE_MATCH_1 STREQUAL version)
        set(${result} ${CMAKE_MATCH_2} PARENT_SCOPE)
        return()
      endif()
    endif()
  endforeach()
  message(NOTICE "${changelog} has no entry for version ${version}: add a heading "
                 "'## ${version} (YYYY-MM-DD)' saying what the version brings")
  message(FATAL_ERROR "no release date for version ${version}")
endfunction()

# The "Copyright (c) YEAR HOLDER" line of `license`.
function(quorvane_copyright license result)
  file(STRINGS ${license} lines REGEX "^Copyright \\(c\\) ")
  list(LENGTH lines count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "${license} must hold one line 'Copyright (c) YEAR HOLDER'")
  endif()
  set(${result} "${lines}" PARENT_SCOPE)
endfunction()

# Days from 1970-01-01 to the date YYYY-MM-DD (proleptic Gregorian calendar).
function(quorvane_days_since_epoch date result)
  if(NOT date MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    message(FATAL_ERROR "'${date}' is not a date written YYYY-MM-DD")
  endif()
  set(year ${CMAKE_MATCH_1})
  set(month_text ${CMAKE_MATCH_2})
  set(day_text ${CMAKE_MATCH_3})
  # No leading zero, which math() would not take for decimal.
  string(REGEX REPLACE "^0" "" month "${month_text}")
  string(REGEX REPLACE "^0" "" day "${day_text}")
  if(month LESS 1 OR month GREATER 12 OR day LESS 1 OR day GREATER 31)
    message(FATAL_ERROR "'${date}' is not a date written YYYY-MM-DD")
  endif()
  # Counted from 1 March, so that a leap day falls at the end of the year.
  if(month LESS_EQUAL 2)
    math(EXPR year "${year} - 1")
    math(EXPR month "${month} + 9")
  else()
    math(EXPR month "${month} - 3")
  endif()
  math(EXPR era "${year} / 400")
  math(EXPR year_of_era "${year} - ${era} * 400")
  math(EXPR day_of_year "(153 * ${month} + 2) / 5 + ${day} - 1")
  math(EXPR day_of_era
       "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
  math(EXPR days "${era} * 146097 + ${day_of_era} - 719468")
  set(${result} ${days} PARENT_SCOPE)
endfunction()

# The date YYYY-MM-DD at midnight UTC as RFC 5322 writes it: "Tue, 08 Dec 2026 00:00:00 +0000".
function(quorvane_mail_date date result)
  quorvane_days_since_epoch(${date} days)
  # 1970-01-01 was a Thursday.
  math(EXPR weekday "(${days} + 4) % 7")
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  list(GET weekdays ${weekday} weekday_name)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  string(SUBSTRING ${date} 5 2 month)
  string(REGEX REPLACE "^0" "" month "${month}")
  math(EXPR month_index "${month} - 1")
  list(GET months ${month_index} month_name)
  string(SUBSTRING ${date} 8 2 day)
  string(SUBSTRING ${date} 0 4 year)
  set(${result} "${weekday_name}, ${day} ${month_name} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()
