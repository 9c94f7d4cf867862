* The study (study.txt, 40 participants by 12 items) as PSPP writes it: run from this folder
* with  pspp write.sps. Each file's name says the command that wrote it.
DATA LIST FILE='../study.txt' FREE / i1 TO i12.
FORMATS i1 TO i12 (F4.2).
SAVE TRANSLATE /OUTFILE='save-translate-csv-F4.2.csv' /TYPE=CSV /FIELDNAMES
  /TEXTOPTIONS FORMAT=VARIABLE /REPLACE.
SAVE TRANSLATE /OUTFILE='save-translate-tab-F4.2.txt' /TYPE=TAB /FIELDNAMES
  /TEXTOPTIONS FORMAT=VARIABLE /REPLACE.
FORMATS i1 TO i12 (F1.0).
SAVE TRANSLATE /OUTFILE='save-translate-csv-F1.0.csv' /TYPE=CSV /FIELDNAMES
  /TEXTOPTIONS FORMAT=VARIABLE /REPLACE.
VALUE LABELS i1 TO i12 0 'incorrect' 1 'correct'.
SAVE TRANSLATE /OUTFILE='save-translate-csv-labels.csv' /TYPE=CSV /FIELDNAMES /CELLS=LABELS
  /REPLACE.
SAVE OUTFILE='save.sav'.
