# The study (study.txt, 40 participants by 12 items) as R writes it: run from this folder with
#   Rscript write.R
# Each file's name says the call that wrote it.
d <- as.matrix(read.table("../study.txt"))
dimnames(d) <- NULL
names <- readLines("../names.txt", encoding = "UTF-8")
frame <- as.data.frame(d)

write.csv(frame, "write.csv-row.names-FALSE.csv", row.names = FALSE)
write.csv(frame, "write.csv-default.csv")
write.csv(cbind(VPN = 1:40, frame), "write.csv-cbind-VPN.csv", row.names = FALSE)
write.csv(cbind(Teilnehmer = 1:40, frame), "write.csv-cbind-Teilnehmer.csv", row.names = FALSE)
write.csv2(frame, "write.csv2-default.csv")
write.table(cbind(participant = names, frame), "write.table-default.txt")
write.table(d, "write.table-tab-bare.txt", sep = "\t", quote = FALSE, row.names = FALSE,
            col.names = FALSE)
write.csv(d, "write.csv-matrix.csv")
write.csv(cbind(name = names, frame), "write.csv-names-UTF-16LE.csv", row.names = FALSE,
          fileEncoding = "UTF-16LE")
labelled <- as.data.frame(lapply(frame, function(x) factor(x, 0:1, c("incorrect", "correct"))))
write.csv(labelled, "write.csv-factor-labels.csv", row.names = FALSE)
saveRDS(frame, "saveRDS.rds")
save(frame, file = "save.RData")
