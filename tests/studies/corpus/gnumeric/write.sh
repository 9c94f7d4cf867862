#!/bin/sh
# The study (study.txt, 40 participants by 12 items) as gnumeric's ssconvert writes it: run from
# this folder with  sh write.sh. Each file's name says the exporter and options that wrote it.
set -e
# ssconvert takes a CSV with one separator: the study's blanks made commas.
tr ' ' ',' < ../study.txt > study-commas.csv
ssconvert study-commas.csv ssconvert-stf_csv.csv
ssconvert -O 'separator=; format=raw' -T Gnumeric_stf:stf_assistant study-commas.csv \
  ssconvert-stf_assistant-semicolon.csv
ssconvert -O 'charset=UTF-16LE' -T Gnumeric_stf:stf_assistant study-commas.csv \
  ssconvert-stf_assistant-UTF-16LE.csv
ssconvert -O 'charset=UTF-16' -T Gnumeric_stf:stf_assistant study-commas.csv \
  ssconvert-stf_assistant-UTF-16.csv
# Every field quoted: lines long enough that the converter's second byte-order mark, which it
# writes after 1,024 characters, falls inside the file (on line 21).
ssconvert -O 'charset=UTF-16 quoting-mode=always' -T Gnumeric_stf:stf_assistant study-commas.csv \
  ssconvert-stf_assistant-UTF-16-quoted.csv
ssconvert study-commas.csv ssconvert.xls
ssconvert study-commas.csv ssconvert.ods
# Every field quoted: lines long enough that the converter's second byte-order mark, which it
# writes after 1,024 characters, falls inside the file (on line 21).
ssconvert -O 'charset=UTF-16 quoting-mode=always' -T Gnumeric_stf:stf_assistant study-commas.csv \
  ssconvert-stf_assistant-UTF-16-quoted.csv
ssconvert study-commas.csv ssconvert.xlsx
rm study-commas.csv
