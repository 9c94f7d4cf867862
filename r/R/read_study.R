read_study <- function(file) {
  if (!is.character(file) || length(file) != 1 || is.na(file)) {
    refuse("file must be the data file's name, one character string")
  }
  shown <- file
  info <- file.info(file, extra_cols = FALSE)
  if (is.na(info$size)) {
    refuse(paste0(shown, ": cannot open the data file: no such file; check the name given"))
  }
  if (isTRUE(info$isdir)) {
    refuse(paste0(shown, ": cannot open the data file: it is a folder; check the name given"))
  }
  largest <- 600 * 2^20
  if (info$size > largest) {
    refuse(paste0(shown, ": the data file is larger than 600 MB, more than a study of 10000 by ",
                  "10000 takes; check that it is the study's file"))
  }
  bytes <- readBin(file, "raw", n = max(info$size, 1) + 1)
  read <- .Call(quorvane_read_study, bytes)
  if (!is.null(read$error)) refuse(paste0(shown, ": ", read$error))
  if (length(read$notes)) note(paste0(shown, ": ", read$notes))
  responses <- read$responses
  dimnames(responses) <- list(read$labels, NULL)
  structure(list(file = basename(file), responses = responses, labels = read$labels,
                 notes = read$notes),
            class = "quorvane_study")
}

print.quorvane_study <- function(x, ...) {
  cat(sprintf("Study %s: %s, %s%s\n", x$file, count_of(nrow(x$responses), "participant"),
              count_of(ncol(x$responses), "item"),
              if (is.null(x$labels)) "" else " (labelled)"))
  for (line in x$notes) cat("note: ", line, "\n", sep = "")
  invisible(x)
}
