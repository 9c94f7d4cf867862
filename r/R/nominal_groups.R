# The study's responses as the computation takes them: an integer matrix of 1 (correct) and 0
# (missed), the participants' labels or NULL, and the name the export gives the data.
responses_of <- function(x, name) {
  labels <- NULL
  if (inherits(x, "quorvane_study")) {
    name <- x$file
    labels <- x$labels
    x <- unname(x$responses)
  } else if (is.data.frame(x)) {
    text <- vapply(x, function(column) is.character(column) || is.factor(column), logical(1))
    if (sum(text) > 1) {
      refuse(paste0("the data frame has ", sum(text), " columns of text (",
                    paste(names(x)[text], collapse = ", "), "); keep one column of ",
                    "participants' labels and columns of 0 and 1 for the items"))
    }
    if (any(text)) {
      labels <- as.character(x[[which(text)]])
      x <- x[!text]
    } else if (.row_names_info(x) > 0) {
      labels <- rownames(x)
    }
    numeric <- vapply(x, function(column) is.numeric(column) || is.logical(column), logical(1))
    if (!all(numeric)) {
      refuse(paste0("the column ", names(x)[!numeric][1], " is not numbers; give each item ",
                    "as a column of 0 and 1"))
    }
    x <- as.matrix(x)
    if (!length(x)) dim(x) <- c(nrow(x), 0L)
  } else if (is.matrix(x) && (is.numeric(x) || is.logical(x))) {
    if (!is.null(rownames(x))) labels <- rownames(x)
  } else {
    refuse(paste0("the study must be what read_study() gives, a numeric or logical matrix, ",
                  "or a data frame of 0/1 columns; found an object of class ",
                  class(x)[1]))
  }
  # Where a response is: its row and item, and the column's name when it has one.
  where <- function(at) {
    column <- colnames(x)[at[2]]
    sprintf("row %d, item %d%s", at[1], at[2],
            if (is.null(column) || column == "") "" else paste0(" (column ", column, ")"))
  }
  if (anyNA(x)) {
    at <- which(is.na(x), arr.ind = TRUE)[1, ]
    refuse(paste(where(at), "is NA; every item needs a response, 0 or 1, from every participant"))
  }
  if (!all(x == 0 | x == 1)) {
    at <- which(!(x == 0 | x == 1), arr.ind = TRUE)[1, ]
    refuse(paste0(where(at), " is ", format(x[at[1], at[2]]), ", not 0 or 1; give 1 for a ",
                  "correct answer and 0 for a miss (participants' numbers go in the row names)"))
  }
  if (!is.null(labels)) labels <- enc2utf8(as.character(labels))
  storage.mode(x) <- "integer"
  list(responses = x, labels = labels, file = name)
}

whole_number <- function(value, lowest, highest) {
  is.numeric(value) && length(value) == 1 && !is.na(value) && value == floor(value) &&
    value >= lowest && value <= highest
}

nominal_groups <- function(x, group_size = 3, seed = NULL) {
  study <- responses_of(x, paste(deparse(substitute(x)), collapse = " "))
  limits <- .Call(quorvane_limits)
  largest <- limits$largest_count
  if (!whole_number(group_size, 2, largest %/% 2)) {
    refuse(paste0("group_size must be a whole number from 2 to ", largest %/% 2,
                  " (at least two full groups); found ", format(group_size)[1]))
  }
  participants <- nrow(study$responses)
  items <- ncol(study$responses)
  groups <- paste0(" (at least two full groups of ", group_size, ")")
  if (participants < 2 * group_size || participants > largest) {
    refuse(paste0("the study holds ", count_of(participants, "participant"),
                  "; a run needs ", 2 * group_size, " to ", largest, groups))
  }
  if (items < 1 || items > largest) {
    refuse(paste0("the study holds ", count_of(items, "item"), "; a run needs 1 to ", largest))
  }
  if (is.null(seed)) seed <- floor(as.numeric(Sys.time())) %% 2^32
  if (!whole_number(seed, 0, 4294967295)) {
    refuse(paste0("seed must be a whole number from 0 to 4294967295, or NULL for the clock's ",
                  "seconds; found ", format(seed)[1]))
  }
  run <- .Call(quorvane_run, study$responses, study$labels, enc2utf8(study$file),
               as.integer(group_size), as.double(seed))
  note(run$notes)
  table <- function(columns) {
    structure(columns, class = "data.frame", row.names = .set_row_names(length(columns[[1]])))
  }
  summary <- table(run$summary)
  best <- function(prefix) {
    values <- summary[paste0(prefix, c("set", "mean", "variance", "chi_square"))]
    names(values) <- c("set", "mean", "variance", "chi_square")
    as.list(values)
  }
  structure(list(
    file = study$file, group_size = as.integer(group_size), seed = seed,
    participants = participants, items = items,
    overall = c(mean = summary$overall_mean, variance = summary$overall_variance),
    exact = c(mean = summary$exact_mean, variance = summary$exact_variance),
    mv = best("mv_"), dist = best("dist_"),
    sets = table(run$sets), groups = table(run$groups),
    distribution = table(run$distribution), summary = summary,
    notes = run$notes, reports = run$reports),
    class = "quorvane_fit")
}
