write_reports <- function(fit, dir = ".") {
  if (!inherits(fit, "quorvane_fit")) refuse("fit must be what nominal_groups() gives")
  if (!is.character(dir) || length(dir) != 1 || is.na(dir) || !dir.exists(dir)) {
    refuse(paste0(format(dir)[1], ": the reports' folder does not exist; create it or choose ",
                  "another folder"))
  }
  # The reports go where a program run in that folder writes them, under its lock.
  old <- setwd(dir)
  on.exit(setwd(old))
  appended <- .Call(quorvane_append, names(fit$reports), unname(fit$reports))
  note(appended$notes)
  if (!is.null(appended$error)) refuse(appended$error)
  invisible(file.path(dir, names(fit$reports)))
}
