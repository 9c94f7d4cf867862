# Catches reports written instead of appended, written outside the folder named, or a failure
# reported as success: two runs into one folder leave each report holding both runs' texts in
# order, the working folder is as it was, and a folder that cannot take them is refused with the
# reports untouched.
test_that("write_reports appends as the programs append", {
  study <- quietly(read_study(study_path("small-study.csv")))
  first <- nominal_groups(study, group_size = 2, seed = 1)
  second <- nominal_groups(study, group_size = 2, seed = 2)
  dir <- empty_folder()
  here <- getwd()
  paths <- write_reports(first, dir)
  write_reports(second, dir)
  expect_identical(getwd(), here)
  expect_setequal(list.files(dir), names(first$reports))
  for (name in names(first$reports)) {
    expect_same_bytes(bytes_of(file.path(dir, name)),
                      paste0(first$reports[[name]], second$reports[[name]]), name)
  }
  expect_identical(paths, file.path(dir, names(first$reports)))
  expect_error(write_reports(first, file.path(dir, "missing")), "does not exist",
               class = "quorvane_error")
  # A report's name taken by a folder: refused, and no report file is created.
  taken <- empty_folder()
  dir.create(file.path(taken, names(first$reports)[3]))
  expect_error(write_reports(first, taken), class = "quorvane_error")
  expect_identical(list.files(taken), names(first$reports)[3])
})
