# Catches a study that reaches the computation transposed, with its labels lost or misplaced, or
# with a column of labels taken as an item: the study read from its file, the same responses as a
# numeric matrix, a logical matrix, a data frame with row names and one with a column of labels
# give the same reports and the same groups, labels included.
test_that("every form of a study gives the same run", {
  study <- quietly(read_study(study_path("small-study.csv")))
  responses <- unname(study$responses)
  labelled <- as.data.frame(responses)
  rownames(labelled) <- study$labels
  forms <- list(
    matrix = structure(responses * 1.0, dimnames = list(study$labels, NULL)),
    logical = structure(responses == 1, dimnames = list(study$labels, NULL)),
    row_names = labelled,
    label_column = data.frame(who = study$labels, as.data.frame(responses))
  )
  expected <- nominal_groups(study, group_size = 3, seed = 11)
  for (form in names(forms)) {
    fit <- nominal_groups(forms[[form]], group_size = 3, seed = 11)
    for (report in names(expected$reports)) {
      expect_same_bytes(fit$reports[[report]], expected$reports[[report]], paste(form, report))
    }
    expect_identical(fit$groups, expected$groups, label = form)
    expect(identical(fit$sets, expected$sets), paste(form, "gives other sets"))
  }
  expect_identical(expected$groups$label_1[1], study$labels[expected$groups$member_1[1]])
})

# Catches values of the seed and the group size handed to the computation changed on the way
# (truncated to 31 bits, rounded, a seed of NULL not kept): the largest seed runs and is kept, two
# seeds differ, and NULL takes the clock's seconds.
test_that("the seed reaches the run whole and is kept", {
  study <- quietly(read_study(study_path("small-study.csv")))
  largest <- nominal_groups(study, group_size = 2, seed = 4294967295)
  expect_identical(largest$summary$seed, 4294967295)
  expect_false(identical(largest$reports[[2]],
                         nominal_groups(study, group_size = 2, seed = 2147483647)$reports[[2]]))
  before <- floor(as.numeric(Sys.time()))
  clock <- nominal_groups(study, group_size = 2)
  expect_true(clock$seed >= before && clock$seed <= before + 2)
  expect_same_bytes(clock$reports[[2]],
                    nominal_groups(study, group_size = 2, seed = clock$seed)$reports[[2]],
                    "a run with the clock's seed")
  expect_identical(ncol(nominal_groups(study, group_size = 4, seed = 1)$groups),
                   2L + 4L + 4L + 1L)
})

# Catches a refusal that lets a bad study, group size or seed through, or one that is a plain
# error rather than a quorvane_error: each is refused with words that say what is wrong.
test_that("what the programs refuse is a quorvane_error", {
  study <- quietly(read_study(study_path("small-study.csv")))
  m <- unname(study$responses)
  with_na <- m
  with_na[2, 3] <- NA
  with_two <- m
  with_two[4, 5] <- 2
  refusals <- list(
    list(quote(nominal_groups(with_na, 3, 1)), "row 2, item 3 is NA"),
    list(quote(nominal_groups(with_two, 3, 1)), "row 4, item 5 is 2"),
    list(quote(nominal_groups(m[1:5, ], 3, 1)), "holds 5 participants; a run needs 6"),
    list(quote(nominal_groups(m, 5000, 1)), "at least two full groups of 5000"),
    list(quote(nominal_groups(m, 1, 1)), "group_size must be a whole number from 2"),
    list(quote(nominal_groups(m, 2.5, 1)), "group_size must be a whole number"),
    list(quote(nominal_groups(m, 3, -1)), "seed must be a whole number from 0 to 4294967295"),
    list(quote(nominal_groups(m, 3, 4294967296)), "seed must be"),
    list(quote(nominal_groups(m, 3, 1.5)), "seed must be"),
    list(quote(nominal_groups(m[, 0, drop = FALSE], 3, 1)), "holds 0 items"),
    list(quote(nominal_groups(data.frame(a = "x", b = "y", c = 1), 3, 1)), "2 columns of text"),
    list(quote(nominal_groups(list(1, 2), 3, 1)), "found an object of class list"),
    list(quote(read_study(file.path(tempdir(), "no-such-study.csv"))),
         "cannot open the data file: No such file or directory"),
    list(quote(read_study(tempdir())), "cannot open the data file: Is a directory")
  )
  for (refusal in refusals) {
    expect_error(eval(refusal[[1]]), refusal[[2]], class = "quorvane_error", fixed = TRUE,
                 label = deparse(refusal[[1]]))
  }
  bad <- file.path(empty_folder(), "bad.csv")
  writeLines(c("1,0,1", "1,0"), bad)
  expect_error(read_study(bad), "bad.csv: line 2 of the file holds 2 responses", fixed = TRUE,
               class = "quorvane_error")
  # A pipe is refused at once instead of waiting for a writer that never comes.
  skip_on_os("windows")
  pipe <- file.path(empty_folder(), "study.csv")
  skip_if(system2("mkfifo", pipe) != 0, "no mkfifo")
  expect_error(read_study(pipe), "cannot open the data file: not a plain file", fixed = TRUE,
               class = "quorvane_error")
})

# Catches notes of the reader dropped or not said as notes: a header and a column of labels, and
# a response coded 2, are each noted, in the programs' words, prefixed with the file's name.
test_that("the reader's notes are quorvane_note messages", {
  notes_of <- function(study) {
    notes <- character()
    withCallingHandlers(read_study(study_path(study)), quorvane_note = function(m) {
      notes <<- c(notes, conditionMessage(m))
      invokeRestart("muffleMessage")
    })
    notes
  }
  small <- notes_of("small-study.csv")
  expect_length(small, 2)
  expect_match(small[1], "small-study.csv: the first line was taken as the names of the columns",
               fixed = TRUE)
  expect_match(small[2], "small-study.csv: the first column was taken as the participants' labels",
               fixed = TRUE)
  expect_match(notes_of("recall.tsv"), "recall.tsv: .*neither 0 nor 1", all = FALSE)
})

# Catches a citation that does not follow the package's version.
test_that("the citation gives the package's version", {
  expect_match(format(citation("quorvane"), style = "text"),
               paste0("Version ", packageVersion("quorvane")), fixed = TRUE)
})
