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
