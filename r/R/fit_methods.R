print.quorvane_fit <- function(x, ...) {
  number <- function(value) if (is.na(value)) "NA" else formatC(value, digits = 4, format = "f")
  cat(sprintf("Nominal groups of %d: %s, %s, %s; seed %s\n", x$group_size, x$file,
              count_of(x$participants, "participant"), count_of(x$items, "item"),
              format(x$seed, scientific = FALSE)))
  cat(sprintf("Overall (10,000 sets): mean %s, variance %s\n", number(x$overall[["mean"]]),
              number(x$overall[["variance"]])))
  cat(sprintf("Exact:                 mean %s, variance %s\n", number(x$exact[["mean"]]),
              number(x$exact[["variance"]])))
  for (fit in c("mv", "dist")) {
    best <- x[[fit]]
    cat(sprintf("%-4s best set: %s\n", toupper(fit),
                if (is.na(best$set)) "none" else
                  sprintf("%s, mean %s, variance %s, chi-square %s", best$set, number(best$mean),
                          number(best$variance), number(best$chi_square))))
  }
  for (line in x$notes) cat("note: ", line, "\n", sep = "")
  invisible(x)
}

summary.quorvane_fit <- function(object, ...) object$summary

plot.quorvane_fit <- function(x, ...) {
  d <- x$distribution
  plot(d$number_correct, d$overall_percent, type = "h", lwd = 6, col = "grey60",
       xlab = "Number correct", ylab = "Percent of groups",
       main = sprintf("%s: groups of %d, seed %s", x$file, x$group_size,
                      format(x$seed, scientific = FALSE)), ...)
  points(d$number_correct, d$exact_percent, pch = 19)
  lines(d$number_correct, d$mv_best_percent, type = "b", lty = 2, col = "blue")
  lines(d$number_correct, d$dist_best_percent, type = "b", lty = 3, col = "red")
  legend("topleft", bty = "n", legend = c("10,000 sets", "exact", "MV best set", "DIST best set"),
         col = c("grey60", "black", "blue", "red"), lty = c(1, NA, 2, 3), pch = c(NA, 19, 1, 1),
         lwd = c(6, NA, 1, 1))
  invisible(x)
}
