read_study <- function(file) {
  if (!is.character(file) || length(file) != 1 || is.na(file)) {
    refuse("file must be the data file's name, one character string")
  }
  shown <- file
  read <- .Call(quorvane_read_study, enc2native(path.expand(file)))
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
