# The study (study.txt, 40 participants by 12 items) as pandas writes it: run from this folder
# with Debian's Python, /usr/bin/python3 write.py. Each file's name says the call that wrote it.
import pandas as pd

d = pd.read_csv("../study.txt", sep=" ", header=None)
names = open("../names.txt", encoding="utf-8").read().splitlines()

d.to_csv("to_csv-index-False.csv", index=False)
d.to_csv("to_csv-default.csv")
d.to_csv("to_csv-header-False-index-False.csv", header=False, index=False)
d.astype(float).to_csv("to_csv-float-index-False.csv", index=False)
d.to_csv("to_csv-sep-tab.tsv", sep="\t")
d.astype(float).to_csv("to_csv-sep-semicolon-decimal-comma.csv", sep=";", decimal=",",
                       index=False, float_format="%.0f")
d.to_csv("to_csv-encoding-utf-16.csv", encoding="utf-16", index=False)
named = d.copy()
named.columns = ["q%02d" % (i + 1) for i in range(12)]
named.insert(0, "participant", names)
named.to_csv("to_csv-participant-labels.csv", index=False)
named.to_excel("to_excel.xlsx", index=False)
d.rename(columns=lambda c: "item%d" % (c + 1)).to_stata("to_stata.dta", write_index=False)
