# Catches a long run that ignores an interrupt until it ends: a run of 10,000 participants, which
# takes many seconds, interrupted a second after it started, ends within about a second.
test_that("a long run stops at an interrupt", {
  skip_on_cran()
  skip_on_os("windows")
  skip_if_not_installed("processx")
  script <- paste(
    "library(quorvane)",
    "set.seed(1); m <- matrix(rbinom(10000 * 400, 1, 0.5), 10000)",
    "cat('started\\n')",
    "nominal_groups(m, group_size = 2, seed = 1)",
    "cat('finished\\n')", sep = "; ")
  child <- processx::process$new(file.path(R.home("bin"), "Rscript"), c("-e", script),
                                 stdout = "|", stderr = "|",
                                 env = c("current", R_LIBS = paste(.libPaths(), collapse = ":")))
  withr::defer(child$kill())
  child$poll_io(30000)
  expect_identical(child$read_output_lines(), "started")
  Sys.sleep(1)
  expect_true(child$is_alive())
  interrupted <- Sys.time()
  child$interrupt()
  child$wait(5000)
  expect_false(child$is_alive())
  expect_lt(as.numeric(Sys.time() - interrupted, units = "secs"), 1.5)
  expect_false(any(grepl("finished", child$read_all_output_lines())))
})
