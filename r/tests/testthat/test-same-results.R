# The programs' results from R: for each study, group size and seed, write_reports into an empty
# folder writes byte for byte the eight reports the program writes, and the fit's data frames hold
# the numbers of the tables its --export writes. Runs where QUORVANE_PROGRAMS names the folder of
# the built programs (scripts/build-r-package --check sets it).

programs <- Sys.getenv("QUORVANE_PROGRAMS")
program_of <- c("2" = "Quorvane-Pairs", "3" = "Quorvane-Triads", "4" = "Quorvane-Quads")

# The program's reports and export for the study, in a folder of their own.
run_program <- function(study, group_size, seed) {
  dir <- empty_folder(parent.frame())
  file.copy(study_path(study), dir)
  # Groups of 5 or more are Quorvane-Groups's, told the size.
  larger <- group_size > 4
  program <- file.path(programs, if (larger) "Quorvane-Groups" else
    program_of[[as.character(group_size)]])
  size <- if (larger) c("--group-size", group_size) else character()
  status <- withr::with_dir(dir, system2(program, c(size, "--seed", format(seed, scientific = FALSE),
                                                    "--export", "run", study),
                                         stdout = FALSE, stderr = FALSE, stdin = ""))
  expect_identical(status, 0L)
  dir
}

# The table's fields as text, an empty field NA.
read_table <- function(path) {
  utils::read.csv(path, check.names = FALSE, colClasses = "character", na.strings = "",
                  encoding = "UTF-8")
}

# A number's text as its sign, significant digits and decimal exponent: "-0.0125" and "-1.25e-2"
# both give "- 125 -1".
canonical <- function(text) {
  sign <- ifelse(startsWith(text, "-"), "-", "")
  text <- sub("^-", "", text)
  exponent <- ifelse(grepl("[eE]", text), as.integer(sub("^.*[eE]", "", text)), 0L)
  mantissa <- sub("[eE].*$", "", text)
  point <- regexpr(".", mantissa, fixed = TRUE)
  point <- ifelse(point < 0, nchar(mantissa), point - 1L)
  digits <- gsub(".", "", mantissa, fixed = TRUE)
  lead <- attr(regexpr("^0*", digits), "match.length")
  digits <- sub("0+$", "", substring(digits, lead + 1L))
  ifelse(digits == "", "0", paste(sign, digits, exponent + point - lead))
}

# Whether each double is the number its text writes: R's own reading of a decimal text may miss
# the nearest double by one bit, so the double is written back instead, correctly rounded to the
# text's significant digits, and the two texts are compared.
same_numbers <- function(values, texts) {
  # An empty field is NA, not NaN (is.na() takes both).
  both_na <- is.na(values) & !is.nan(values) & is.na(texts)
  digits <- nchar(sub(" .*$", "", sub("^-? ?", "", canonical(ifelse(is.na(texts), "0", texts)))))
  written <- sprintf("%.*e", pmax(digits - 1L, 0L), ifelse(is.na(values), 0, values))
  both_na | (!is.na(values) & !is.na(texts) & canonical(written) == canonical(texts))
}

# Column by column: the same names, the same numbers (to the last bit) or texts, NA alike.
expect_same_table <- function(actual, expected, label) {
  expect_identical(names(actual), names(expected), label = label)
  expect_identical(nrow(actual), nrow(expected), label = label)
  if (!identical(nrow(actual), nrow(expected))) return(invisible())
  for (column in names(expected)) {
    a <- actual[[column]]
    e <- expected[[column]]
    if (is.double(a)) {
      differ <- which(!same_numbers(a, e))
      expect(length(differ) == 0, sprintf("%s %s: row %d holds %.17g, the table %s", label,
                                          column, differ[1], a[differ[1]], e[differ[1]]))
    } else {
      a <- as.character(a)
      differ <- which(!((is.na(a) & is.na(e)) | (!is.na(a) & !is.na(e) & a == e)))
      expect(length(differ) == 0, sprintf("%s %s: row %d holds %s, the table %s", label, column,
                                          differ[1], a[differ[1]], e[differ[1]]))
    }
  }
}

runs <- list(
  list(study = "sample-study.txt", group_size = 3, seeds = c(20261207, 4294967295)),
  list(study = "sample-study.txt", group_size = 2, seeds = 1),
  list(study = "pilot.csv", group_size = 2, seeds = c(7, 123456789)),
  list(study = "pilot.csv", group_size = 4, seeds = 7),
  list(study = "recall.tsv", group_size = 4, seeds = c(0, 99)),
  list(study = "recall.tsv", group_size = 3, seeds = 5),
  list(study = "sample-study.txt", group_size = 5, seeds = 11),
  list(study = "pilot.csv", group_size = 6, seeds = 7),
  # Every answer correct: the MV search chooses no set, and its columns and rows are empty.
  list(study = "ceiling.txt", group_size = 2, seeds = 3)
)

for (run in runs) {
  for (seed in run$seeds) {
    label <- sprintf("%s, groups of %d, seed %s", run$study, run$group_size,
                     format(seed, scientific = FALSE))
    test_that(paste("R gives the program's results:", label), {
      skip_if(programs == "", "QUORVANE_PROGRAMS does not name the programs' folder")
      expected <- run_program(run$study, run$group_size, seed)
      fit <- quietly(nominal_groups(read_study(study_path(run$study)), run$group_size, seed))
      written <- empty_folder()
      write_reports(fit, written)
      expect_setequal(list.files(written), names(fit$reports))
      for (name in names(fit$reports)) {
        expect_same_bytes(bytes_of(file.path(written, name)), bytes_of(file.path(expected, name)),
                          paste(label, name))
      }
      tables <- list(distribution = fit$distribution, sets = fit$sets, groups = fit$groups,
                     summary = summary(fit))
      for (table in names(tables)) {
        expect_same_table(tables[[table]],
                          read_table(file.path(expected, paste0("run-", table, ".csv"))),
                          paste(label, table))
      }
    })
  }
}
