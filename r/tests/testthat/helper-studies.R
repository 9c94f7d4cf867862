# The studies of the tests: the package's small study, the programs' sample study (copied here
# when the package is built) and two saved as R and SPSS save them.
study_path <- function(name) {
  if (name == "small-study.csv") {
    return(system.file("extdata", "small-study.csv", package = "quorvane"))
  }
  test_path("studies", name)
}

# A fresh empty folder, removed when the calling test ends.
empty_folder <- function(env = parent.frame()) {
  dir <- tempfile("quorvane-")
  dir.create(dir)
  withr::defer(unlink(dir, recursive = TRUE), envir = env)
  dir
}

quietly <- function(expr) suppressMessages(expr)

# The file's bytes.
bytes_of <- function(path) readBin(path, "raw", file.size(path))

# Expects two files' bytes or two texts to be the same, naming the first difference (without a
# diff of the whole, which takes minutes for reports of 10,000 lines).
expect_same_bytes <- function(actual, expected, label) {
  if (is.character(actual)) actual <- charToRaw(actual)
  if (is.character(expected)) expected <- charToRaw(expected)
  common <- seq_len(min(length(actual), length(expected)))
  first <- which(actual[common] != expected[common])[1]
  if (is.na(first)) first <- length(common) + 1
  expect(identical(actual, expected),
         sprintf("%s: %d bytes against %d, first different at byte %d", label, length(actual),
                 length(expected), first))
}
